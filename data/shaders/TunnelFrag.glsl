#version 330 compatibility
// A round tunnel: every pixel maps to an angle around the axis and a depth along
// it. Dirt walls rush past, lava seeps through the cracks, and the far end fades
// into a hot haze while the tunnel's mouth drifts.
uniform sampler2D tex0; // lava
uniform sampler2D tex1; // dirt
uniform float time;
uniform int ScreenWidth;
uniform int ScreenHeight;
in vec2 screenPos;

const float PI = 3.14159265;

void main() {
    float aspect = float(ScreenWidth) / float(max(ScreenHeight, 1));
    vec2 p = screenPos * vec2(aspect, 1.0);
    p -= 0.3 * vec2(sin(0.61 * time), cos(0.47 * time)) * vec2(aspect * 0.5, 0.4);
    float r = max(length(p), 1e-3);
    // Two turns of the bitmap around the tunnel meet seamlessly at the angle's wrap.
    float around = atan(p.y, p.x) / PI + 0.05 * time;
    float depth = 0.45 / r + 0.9 * time;
    vec2 uv = vec2(around, depth * 0.5);

    vec3 wall = texture(tex1, uv).rgb;
    vec3 lava = texture(tex0, uv * vec2(1.0, 0.7) + vec2(0.0, 0.15 * time)).rgb;
    float crack = smoothstep(0.35, 0.7, dot(lava, vec3(0.6, 0.3, 0.1)));
    float flicker = 0.85 + 0.15 * sin(7.0 * time + depth * 3.0);

    // Rings of light sweep down the tunnel, beat-like.
    float ring = pow(0.5 + 0.5 * cos(2.0 * PI * (depth * 0.5 - 0.6 * time)), 12.0);
    vec3 colour = wall * (0.4 + 0.5 * ring) + lava * crack * 1.6 * flicker;

    // Near walls are bright, the far end disappears into a glowing haze.
    float fog = smoothstep(0.08, 0.5, r);
    vec3 haze = vec3(0.5, 0.16, 0.04) * (0.8 + 0.2 * sin(time));
    colour = mix(haze * (1.0 - r), colour, fog);
    colour *= 0.6 + 0.5 * smoothstep(0.0, 1.2, r);
    gl_FragColor = vec4(colour, 1.0);
}
