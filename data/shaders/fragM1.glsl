#version 330 compatibility
// Liquid metal blobs merging and parting over an old, grainy film. The blobs are
// a field of six moving charges; the surface where the field reaches 1 is shaded
// as chrome that mirrors the dirt bitmap, and the grain bitmap flickers per frame.
uniform sampler2D tex0; // grain
uniform sampler2D tex1; // dirt
uniform float time;
uniform int ScreenWidth;
uniform int ScreenHeight;
in vec2 screenPos;

vec2 frameJitter(float frame) {
    return fract(sin(vec2(frame * 12.9898, frame * 78.233)) * 43758.5453);
}

void main() {
    float aspect = float(ScreenWidth) / float(max(ScreenHeight, 1));
    vec2 p = screenPos * vec2(aspect, 1.0);

    float field = 0.0;
    vec2 gradient = vec2(0.0);
    for (int i = 0; i < 6; ++i) {
        float fi = float(i);
        vec2 centre = vec2(0.8 * aspect * sin(time * (0.31 + 0.07 * fi) + fi * 1.9),
                           0.65 * cos(time * (0.27 + 0.05 * fi) + fi * 2.7));
        vec2 d = p - centre;
        float dd = dot(d, d) + 1e-4;
        float weight = 0.03 * (1.0 + 0.4 * sin(fi * 1.3));
        field += weight / dd;
        gradient -= 2.0 * weight * d / (dd * dd);
    }

    // The film: grain that jumps every projector frame, a scratch, a flicker.
    float frame = floor(time * 18.0);
    vec2 jitter = frameJitter(frame);
    vec2 uv = gl_FragCoord.xy / vec2(max(ScreenWidth, 1), max(ScreenHeight, 1));
    vec3 grain = texture(tex0, uv * 1.7 + jitter).rgb;
    float flicker = 0.9 + 0.1 * jitter.y;
    vec3 film = vec3(0.10, 0.10, 0.12) + (grain - 0.5) * 0.3;
    float scratch = smoothstep(0.003, 0.0, abs(uv.x - jitter.x)) * step(0.6, jitter.y);
    film += vec3(0.25) * scratch;
    // The blobs' halo on the film.
    film += vec3(0.15, 0.25, 0.45) * smoothstep(0.25, 1.0, field);

    // Height 1 - 1/field rises from the rim and flattens on top.
    vec2 slope = gradient / (field * field);
    vec3 n = normalize(vec3(-0.12 * slope, 1.0));
    vec3 mirrored = texture(tex1, n.xy * 0.6 + 0.5 + vec2(0.03 * time, 0.0)).rgb;
    float fresnel = pow(1.0 - n.z, 2.0);
    vec3 lightDir = normalize(vec3(-0.4, 0.5, 1.0));
    float highlight = pow(max(dot(reflect(-lightDir, n), vec3(0.0, 0.0, 1.0)), 0.0), 40.0);
    vec3 chrome = mirrored * 0.7 + vec3(0.55, 0.65, 0.8) * fresnel + vec3(1.0) * highlight;

    float inside = smoothstep(0.97, 1.03, field);
    vec3 colour = mix(film, chrome, inside) * flicker;
    colour += (grain.r - 0.5) * 0.08;
    colour *= 1.0 - 0.35 * dot(screenPos, screenPos);
    gl_FragColor = vec4(colour, 1.0);
}
