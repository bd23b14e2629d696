#version 330 compatibility
// A display panel floating over a dark mirror floor, ray-traced: the panel shows
// the beat's bitmap with crisp pixels (nearest filtering), a scan bar sweeps it,
// and the floor mirrors it and catches its light.
uniform sampler2D tex0; // the bitmap of the beat
uniform float time;
uniform int ScreenWidth;
uniform int ScreenHeight;
in vec2 screenPos;

const float kFloorY = -1.1;
const vec3 kPanelCentre = vec3(0.0, 0.25, 0.0);

struct Panel {
    vec3 right, up, normal;
    vec2 halfSize;
};

Panel makePanel() {
    vec2 size = vec2(textureSize(tex0, 0));
    float bitmapAspect = clamp(size.x / max(size.y, 1.0), 0.6, 1.8);
    float yaw = 0.35 * sin(0.4 * time);
    Panel panel;
    panel.right = vec3(cos(yaw), 0.0, sin(yaw));
    panel.up = vec3(0.0, 1.0, 0.0);
    panel.normal = vec3(-sin(yaw), 0.0, cos(yaw)) * -1.0;
    panel.halfSize = vec2(bitmapAspect, 1.0);
    return panel;
}

// Distance along the ray to the panel's plane, and where on it (in half sizes).
float hitPanel(Panel panel, vec3 origin, vec3 dir, out vec2 local) {
    float facing = dot(dir, panel.normal);
    local = vec2(9.0);
    if (abs(facing) < 1e-4)
        return -1.0;
    float t = dot(kPanelCentre - origin, panel.normal) / facing;
    vec3 offset = origin + dir * t - kPanelCentre;
    local = vec2(dot(offset, panel.right), dot(offset, panel.up)) / panel.halfSize;
    return t;
}

vec3 display(vec2 local, bool front) {
    vec2 uv = local * 0.5 + 0.5;
    if (max(abs(local.x), abs(local.y)) > 1.0)
        return vec3(0.12, 0.13, 0.15); // the frame
    if (!front)
        return vec3(0.05, 0.05, 0.06);
    vec3 picture = texture(tex0, uv).rgb;
    float scan = exp(-abs(uv.y - fract(-0.4 * time)) * 30.0);
    float lines = 0.88 + 0.12 * sin(gl_FragCoord.y * 2.0);
    return picture * lines * 1.15 + vec3(0.2, 0.5, 0.6) * scan * 0.4;
}

// What a ray sees of the panel (with its frame) or nothing (alpha 0).
vec4 tracePanel(Panel panel, vec3 origin, vec3 dir, out float t) {
    vec2 local;
    t = hitPanel(panel, origin, dir, local);
    float frame = 1.0 + 0.06 / panel.halfSize.y;
    if (t <= 0.0 || abs(local.x) > frame || abs(local.y) > frame)
        return vec4(0.0);
    return vec4(display(local, dot(dir, panel.normal) < 0.0), 1.0);
}

vec3 panelGlow() {
    vec3 sum = vec3(0.0);
    for (int i = 0; i < 4; ++i)
        sum += texture(tex0, vec2(0.25 + 0.5 * float(i & 1), 0.25 + 0.5 * float(i / 2))).rgb;
    return sum * 0.25 + vec3(0.05, 0.1, 0.15);
}

void main() {
    float aspect = float(ScreenWidth) / float(max(ScreenHeight, 1));
    vec2 p = screenPos * vec2(aspect, 1.0);
    float orbit = 0.45 * sin(0.23 * time);
    vec3 eye = vec3(3.6 * sin(orbit), 0.4 + 0.3 * sin(0.31 * time), -3.6 * cos(orbit));
    vec3 forward = normalize(vec3(0.0, 0.0, 0.0) - eye);
    vec3 right = normalize(cross(vec3(0.0, 1.0, 0.0), forward));
    vec3 up = cross(forward, right);
    vec3 dir = normalize(forward * 1.8 + right * p.x + up * p.y);
    Panel panel = makePanel();

    vec3 colour = mix(vec3(0.02, 0.03, 0.06), vec3(0.08, 0.1, 0.16), 0.5 + 0.5 * dir.y);
    float tPanel;
    vec4 seen = tracePanel(panel, eye, dir, tPanel);
    float tFloor = dir.y < 0.0 ? (kFloorY - eye.y) / dir.y : -1.0;
    if (seen.a > 0.0 && (tFloor < 0.0 || tPanel < tFloor)) {
        colour = seen.rgb;
    } else if (tFloor > 0.0) {
        vec3 at = eye + dir * tFloor;
        vec2 cell = abs(fract(at.xz * 2.0) - 0.5);
        float grid = smoothstep(0.47, 0.5, max(cell.x, cell.y));
        vec3 floorColour = vec3(0.03, 0.035, 0.05) + vec3(0.05, 0.12, 0.16) * grid;
        float spill = exp(-1.2 * length(at.xz - kPanelCentre.xz));
        floorColour += panelGlow() * spill * 0.35;
        vec3 bounce = reflect(dir, vec3(0.0, 1.0, 0.0));
        float tMirror;
        vec4 mirrored = tracePanel(panel, at, bounce, tMirror);
        float fresnel = 0.25 + 0.5 * pow(1.0 - abs(dir.y), 4.0);
        floorColour += mirrored.rgb * mirrored.a * fresnel;
        colour = mix(floorColour, colour, 1.0 - exp(-0.12 * tFloor));
    }
    gl_FragColor = vec4(colour, 1.0);
}
