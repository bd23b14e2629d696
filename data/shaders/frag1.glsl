#version 330 compatibility
// Lava crawling under a cooled crust: the dirt bitmap is a flow field that warps
// the lava bitmap twice over; where the lava is dim, the dirt shows as crust.
uniform sampler2D tex0; // lava
uniform sampler2D tex1; // dirt
uniform float time;
uniform int ScreenWidth;
uniform int ScreenHeight;
in vec2 screenPos;

float heatOf(vec3 c) {
    return dot(c, vec3(0.55, 0.35, 0.10));
}

void main() {
    float aspect = float(ScreenWidth) / float(max(ScreenHeight, 1));
    vec2 p = screenPos * vec2(aspect, 1.0);
    float angle = 0.07 * time;
    mat2 turn = mat2(cos(angle), sin(angle), -sin(angle), cos(angle));
    vec2 q = turn * p * (0.85 + 0.15 * sin(0.23 * time));

    vec2 flow = texture(tex1, q * 0.35 + vec2(0.021 * time, 0.0)).rg - 0.5;
    vec2 flow2 = texture(tex1, q * 0.6 - vec2(0.0, 0.033 * time) + flow).gb - 0.5;
    vec2 lavaUv = q * 0.5 + 0.9 * flow + 0.6 * flow2 + vec2(0.0, 0.025 * time);
    vec3 lava = texture(tex0, lavaUv).rgb;
    float heat = heatOf(lava);
    // Pulsing white-hot cores where the lava is brightest.
    float pulse = 0.8 + 0.2 * sin(3.0 * time + 6.0 * heat);
    vec3 glow = lava * 1.3 + vec3(1.0, 0.45, 0.08) * pow(heat, 2.5) * 2.0 * pulse;

    vec2 crustUv = q * 0.9 + flow * 0.15;
    vec3 crust = texture(tex1, crustUv).rgb;
    // Relief of the crust from its brightness, lit from the upper left.
    float dx = heatOf(texture(tex1, crustUv + vec2(0.004, 0.0)).rgb) - heatOf(crust);
    float dy = heatOf(texture(tex1, crustUv + vec2(0.0, 0.004)).rgb) - heatOf(crust);
    float light = clamp(0.55 - 6.0 * (dx - dy), 0.1, 1.2);
    crust *= 0.55 * light;

    float molten = smoothstep(0.22, 0.5, heat);
    vec3 colour = mix(crust, glow, molten);
    // The crust glows red along the edges of the molten veins.
    colour += vec3(0.6, 0.12, 0.02) * smoothstep(0.12, 0.3, heat) * (1.0 - molten);
    colour *= 1.0 - 0.3 * dot(screenPos, screenPos);
    gl_FragColor = vec4(colour, 1.0);
}
