#version 330 compatibility
// A cube built of unit cells, growing and shrinking on a glossy floor. Its two
// opposite corners and its colour come from the cube buffer (texels 0, 1 and 2,
// the edge length in texel 1's w); the camera circles it.
uniform samplerBuffer tex0; // the cube buffer
uniform float time;
uniform int ScreenWidth;
uniform int ScreenHeight;
in vec2 screenPos;

const vec3 kLightDir = normalize(vec3(-0.5, 0.8, -0.35));

vec3 boxLow;
vec3 boxHigh;

// Entry distance of a ray into the box (or -1) and the face normal there.
float hitBox(vec3 origin, vec3 dir, out vec3 normal) {
    vec3 inverse = 1.0 / dir;
    vec3 t0 = (boxLow - origin) * inverse;
    vec3 t1 = (boxHigh - origin) * inverse;
    vec3 tNear = min(t0, t1);
    vec3 tFar = max(t0, t1);
    float enter = max(max(tNear.x, tNear.y), tNear.z);
    float leave = min(min(tFar.x, tFar.y), tFar.z);
    normal = vec3(0.0);
    if (enter > leave || leave < 1e-3 || enter < 1e-3)
        return -1.0;
    normal = -sign(dir) * step(tNear.yzx, tNear) * step(tNear.zxy, tNear);
    return enter;
}

vec3 background(vec3 dir) {
    return mix(vec3(0.05, 0.03, 0.08), vec3(0.18, 0.12, 0.25), 0.5 + 0.5 * dir.y);
}

// The cube's face: its colour, lit, with the unit cells scored into it and its
// edges glowing.
vec3 shadeCube(vec3 at, vec3 n, vec3 dir, vec3 colour, float size) {
    vec3 local = at - boxLow;
    vec3 cell = abs(fract(local) - 0.5);
    // The axis the face is perpendicular to plays no part.
    vec3 across = abs(n);
    vec3 lines = step(0.46, cell) * (1.0 - across);
    float cellLine = max(max(lines.x, lines.y), lines.z);
    vec3 edge = min(local, boxHigh - at) + across * 1e3;
    float nearEdge = min(min(edge.x, edge.y), edge.z);
    float diffuse = max(dot(n, kLightDir), 0.0);
    float specular = pow(max(dot(reflect(-kLightDir, n), -dir), 0.0), 30.0);
    vec3 result = colour * (0.25 + 0.85 * diffuse) * (1.0 - 0.35 * cellLine);
    result += vec3(specular * 0.6);
    result += mix(colour, vec3(1.0), 0.6) * exp(-nearEdge * 12.0 / max(size * 0.1, 0.3)) * 0.8;
    return result;
}

void main() {
    boxLow = texelFetch(tex0, 0).xyz;
    vec4 high = texelFetch(tex0, 1);
    boxHigh = high.xyz;
    float size = high.w;
    vec3 colour = texelFetch(tex0, 2).rgb;

    float aspect = float(ScreenWidth) / float(max(ScreenHeight, 1));
    vec2 p = screenPos * vec2(aspect, 1.0);
    vec3 target = boxLow + vec3(10.5, 5.0, 10.5);
    float orbit = 0.3 * time + 0.6;
    vec3 eye = target + vec3(40.0 * cos(orbit), 22.0, 40.0 * sin(orbit));
    vec3 forward = normalize(target - eye);
    vec3 right = normalize(cross(vec3(0.0, 1.0, 0.0), forward));
    vec3 up = cross(forward, right);
    vec3 dir = normalize(forward * 1.6 + right * p.x + up * p.y);

    vec3 result = background(dir);
    vec3 n;
    float tBox = hitBox(eye, dir, n);
    float tFloor = dir.y < 0.0 ? (boxLow.y - eye.y) / dir.y : -1.0;
    if (tBox > 0.0) {
        vec3 at = eye + dir * tBox;
        result = shadeCube(at, n, dir, colour, size);
    } else if (tFloor > 0.0) {
        vec3 at = eye + dir * tFloor;
        vec2 grid = abs(fract(at.xz * 0.25) - 0.5);
        float line = smoothstep(0.46, 0.5, max(grid.x, grid.y));
        vec3 floorColour = vec3(0.06, 0.05, 0.09) + vec3(0.12, 0.08, 0.2) * line;
        vec3 ignored;
        float shadow = hitBox(at + vec3(0.0, 1e-2, 0.0), kLightDir, ignored) > 0.0 ? 0.35 : 1.0;
        floorColour *= shadow;
        // The cube mirrored in the floor, and its glow around its foot.
        vec3 bounce = reflect(dir, vec3(0.0, 1.0, 0.0));
        vec3 mirrorNormal;
        float tMirror = hitBox(at + vec3(0.0, 1e-2, 0.0), bounce, mirrorNormal);
        if (tMirror > 0.0)
            floorColour += 0.35 * shadeCube(at + bounce * tMirror, mirrorNormal, bounce, colour, size);
        vec2 foot = clamp(at.xz, boxLow.xz, boxHigh.xz);
        floorColour += colour * 0.25 * exp(-0.4 * length(at.xz - foot));
        result = mix(floorColour, background(dir), 1.0 - exp(-0.008 * tFloor));
    }
    gl_FragColor = vec4(result, 1.0);
}
