#version 330 compatibility
// A square brick tunnel: the distance to the axis is the larger of |x| and |y|, so
// the four walls are flat. Bricks of dirt with dark mortar, lava running in the
// floor channel and rings of fire racing toward the viewer.
uniform sampler2D tex0; // lava
uniform sampler2D tex1; // dirt
uniform float time;
uniform int ScreenWidth;
uniform int ScreenHeight;
in vec2 screenPos;

void main() {
    float aspect = float(ScreenWidth) / float(max(ScreenHeight, 1));
    vec2 p = screenPos * vec2(aspect, 1.0);
    float roll = 0.15 * sin(0.4 * time);
    p = mat2(cos(roll), sin(roll), -sin(roll), cos(roll)) * p;
    vec2 a = abs(p);
    float r = max(max(a.x, a.y), 1e-3);
    bool sideWall = a.x > a.y;
    float across = (sideWall ? p.y : p.x) / r; // -1 .. 1 along the wall
    float depth = 0.5 / r + 1.2 * time;

    // Bricks: every other row shifted by half a brick.
    vec2 brick = vec2(across * 2.0, depth * 2.0);
    brick.x += 0.5 * mod(floor(brick.y), 2.0);
    vec2 inBrick = fract(brick);
    float mortar = smoothstep(0.0, 0.06, inBrick.x) * smoothstep(1.0, 0.94, inBrick.x) *
                   smoothstep(0.0, 0.1, inBrick.y) * smoothstep(1.0, 0.9, inBrick.y);
    vec3 dirt = texture(tex1, brick * 0.25 + floor(brick) * 0.37).rgb;
    vec3 colour = dirt * (0.3 + 0.7 * mortar);

    // Faces lit differently: ceiling brightest, floor darkest.
    float face = sideWall ? 0.75 : (p.y > 0.0 ? 1.0 : 0.5);
    colour *= face;

    // A lava channel down the middle of the floor.
    if (!sideWall && p.y < 0.0) {
        float channel = smoothstep(0.3, 0.2, abs(across));
        vec3 lava = texture(tex0, vec2(across * 0.5, depth * 0.3 - 0.4 * time)).rgb;
        colour = mix(colour, lava * 1.5, channel);
        colour += vec3(0.4, 0.1, 0.0) * smoothstep(0.6, 0.2, abs(across));
    }

    // Rings of fire travelling toward the viewer.
    float ring = pow(0.5 + 0.5 * sin(depth * 1.5 + 4.0 * time), 24.0);
    colour += vec3(1.0, 0.45, 0.1) * ring * (0.3 + 0.7 * mortar);

    colour *= smoothstep(0.02, 0.6, r); // the far end is dark
    gl_FragColor = vec4(colour, 1.0);
}
