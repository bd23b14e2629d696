#version 330 compatibility
// A ray-marched tunnel whose walls are pushed in by the dirt bitmap taken as a
// height map. A lamp travels with the viewer; lava glows in the deep cracks and
// the far end drowns in smoke.
uniform sampler2D tex0; // lava
uniform sampler2D tex1; // dirt, read as height
uniform float time;
uniform int ScreenWidth;
uniform int ScreenHeight;
in vec2 screenPos;

const float PI = 3.14159265;

// Around the axis, one turn of the bitmap; the angle's wrap meets seamlessly.
vec2 wallUv(vec3 pos) {
    return vec2(atan(pos.y, pos.x) / PI, pos.z * 0.12);
}

// Stone ribs around and along the tunnel, roughened by the bitmap.
float ribsAt(vec3 pos) {
    float around = atan(pos.y, pos.x) / PI;
    float rings = pow(abs(sin(pos.z * PI * 0.5)), 6.0);
    float struts = pow(abs(sin(around * PI * 4.0)), 4.0);
    return max(rings, 0.6 * struts);
}

float heightAt(vec3 pos) {
    return 0.5 * ribsAt(pos) + 0.6 * dot(texture(tex1, wallUv(pos)).rgb, vec3(0.333));
}

// Positive inside the tunnel's free space, about the distance to the wall.
float freeSpace(vec3 pos) {
    return 1.1 - 0.6 * heightAt(pos) - length(pos.xy);
}

vec3 wallNormal(vec3 pos) {
    const vec2 e = vec2(0.01, 0.0);
    return normalize(vec3(freeSpace(pos + e.xyy) - freeSpace(pos - e.xyy),
                          freeSpace(pos + e.yxy) - freeSpace(pos - e.yxy),
                          freeSpace(pos + e.yyx) - freeSpace(pos - e.yyx)));
}

void main() {
    float aspect = float(ScreenWidth) / float(max(ScreenHeight, 1));
    vec2 p = screenPos * vec2(aspect, 1.0);
    vec3 eye = vec3(0.2 * sin(0.5 * time), 0.15 * cos(0.37 * time), 1.7 * time);
    float roll = 0.3 * sin(0.21 * time);
    p = mat2(cos(roll), sin(roll), -sin(roll), cos(roll)) * p;
    vec3 dir = normalize(vec3(p, 1.5));

    float t = 0.05;
    bool hit = false;
    for (int i = 0; i < 120; ++i) {
        float d = freeSpace(eye + dir * t);
        if (d < 0.002) {
            hit = true;
            break;
        }
        t += d * 0.4;
        if (t > 24.0)
            break;
    }

    vec3 smoke = vec3(0.10, 0.06, 0.05);
    vec3 colour = smoke;
    if (hit) {
        vec3 pos = eye + dir * t;
        vec3 n = wallNormal(pos);
        vec3 lamp = eye + vec3(0.3 * sin(1.3 * time), 0.3, 1.2);
        vec3 toLamp = normalize(lamp - pos);
        float diffuse = max(dot(n, toLamp), 0.0);
        float specular = pow(max(dot(reflect(-toLamp, n), -dir), 0.0), 20.0);
        float reach = 1.0 / (1.0 + 0.12 * t * t);
        vec3 dirt = texture(tex1, wallUv(pos) * 5.0).rgb * 1.2;
        // Light grazes the relief: the lamp's side of each bump is lit, the other dark.
        colour = (dirt * (0.04 + 1.5 * diffuse * diffuse) + vec3(0.5) * specular) * reach;

        // Deep cracks carry lava that flows along the tunnel.
        float depth = smoothstep(0.3, 0.15, heightAt(pos));
        vec3 lava = texture(tex0, wallUv(pos) * vec2(2.0, 1.0) - vec2(0.0, 0.1 * time)).rgb;
        colour += lava * depth * 1.8 * (0.8 + 0.2 * sin(5.0 * time + pos.z));
        colour = mix(smoke, colour, exp(-0.15 * t));
    }
    gl_FragColor = vec4(colour, 1.0);
}
