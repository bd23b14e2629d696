#version 330 compatibility
// Three mirror spheres bouncing on a tiled floor under an evening sky, ray-traced
// with shadows and two reflections. The floor's tiles are the beat's bitmap.
uniform sampler2D tex0; // the tiles of the beat
uniform float time;
uniform int ScreenWidth;
uniform int ScreenHeight;
in vec2 screenPos;

const int kSpheres = 3;
const float kRadius = 0.75;
const vec3 kSunDir = normalize(vec3(0.6, 0.7, -0.4));

vec3 sphereCentre(int i) {
    float phase = float(i) * 2.0944;
    float bounce = abs(sin(2.2 * time + phase * 1.3));
    return vec3(1.7 * cos(0.5 * time + phase), kRadius + 1.2 * bounce, 1.7 * sin(0.5 * time + phase));
}

vec3 sphereTint(int i) {
    return i == 0 ? vec3(1.0, 0.45, 0.3) : i == 1 ? vec3(0.4, 0.9, 0.5) : vec3(0.45, 0.6, 1.0);
}

float hitSphere(vec3 origin, vec3 dir, vec3 centre) {
    vec3 oc = origin - centre;
    float b = dot(oc, dir);
    float c = dot(oc, oc) - kRadius * kRadius;
    float disc = b * b - c;
    if (disc < 0.0)
        return -1.0;
    float t = -b - sqrt(disc);
    return t > 1e-3 ? t : -1.0;
}

// Nearest hit: distance, and which (-1 floor, 0.. spheres, -2 nothing).
float trace(vec3 origin, vec3 dir, out int what) {
    float nearest = 1e9;
    what = -2;
    if (dir.y < 0.0) {
        nearest = -origin.y / dir.y;
        what = -1;
    }
    for (int i = 0; i < kSpheres; ++i) {
        float t = hitSphere(origin, dir, sphereCentre(i));
        if (t > 0.0 && t < nearest) {
            nearest = t;
            what = i;
        }
    }
    return nearest;
}

vec3 sky(vec3 dir) {
    vec3 horizon = vec3(0.95, 0.6, 0.4);
    vec3 zenith = vec3(0.15, 0.25, 0.55);
    vec3 colour = mix(horizon, zenith, pow(max(dir.y, 0.0), 0.5));
    colour += vec3(1.0, 0.8, 0.5) * pow(max(dot(dir, kSunDir), 0.0), 200.0) * 2.0;
    return colour;
}

float sunShadow(vec3 at) {
    int what;
    trace(at, kSunDir, what);
    return what >= 0 ? 0.25 : 1.0;
}

void main() {
    float aspect = float(ScreenWidth) / float(max(ScreenHeight, 1));
    vec2 p = screenPos * vec2(aspect, 1.0);
    float orbit = 0.15 * time;
    vec3 eye = vec3(6.5 * sin(orbit), 2.6, -6.5 * cos(orbit));
    vec3 forward = normalize(vec3(0.0, 0.9, 0.0) - eye);
    vec3 right = normalize(cross(vec3(0.0, 1.0, 0.0), forward));
    vec3 up = cross(forward, right);
    vec3 dir = normalize(forward * 1.7 + right * p.x + up * p.y);

    vec3 origin = eye;
    vec3 colour = vec3(0.0);
    vec3 weight = vec3(1.0);
    for (int bounce = 0; bounce < 3; ++bounce) {
        int what;
        float t = trace(origin, dir, what);
        if (what == -2) {
            colour += weight * sky(dir);
            break;
        }
        vec3 at = origin + dir * t;
        vec3 n;
        vec3 surface;
        float mirror;
        if (what == -1) {
            n = vec3(0.0, 1.0, 0.0);
            surface = texture(tex0, at.xz * 0.25).rgb;
            mirror = 0.25;
        } else {
            n = normalize(at - sphereCentre(what));
            surface = sphereTint(what) * 0.6;
            mirror = 0.65;
        }
        float light = max(dot(n, kSunDir), 0.0) * sunShadow(at + n * 1e-3);
        float specular = pow(max(dot(reflect(-kSunDir, n), -dir), 0.0), 60.0);
        vec3 local = surface * (0.2 + 0.9 * light) + vec3(specular * light);
        // The floor fades into the sky far away.
        float haze = what == -1 ? 1.0 - exp(-0.015 * t * t * 0.2) : 0.0;
        local = mix(local, sky(dir), haze);
        colour += weight * (1.0 - mirror) * local;
        weight *= mirror * (what >= 0 ? sphereTint(what) * 0.5 + 0.5 : vec3(1.0)) * (1.0 - haze);
        origin = at + n * 1e-3;
        dir = reflect(dir, n);
    }
    gl_FragColor = vec4(colour, 1.0);
}
