#version 330 compatibility
// The credits: the credits bitmap glows on the front of a black lacquered slab
// that stands on a mirror-dark floor, with three chrome spheres circling it under
// two soft lights. The camera sways slowly; "time" is the scene time in seconds.
//
// The bitmap arrives with nearest filtering; this shader filters it itself (a
// bilinear tap, four of them when a texel is smaller than a pixel) so the small
// lines stay readable at any window size.
uniform sampler2D tex0;
uniform float time;
uniform int ScreenWidth;
uniform int ScreenHeight;

const float kFar = 1e4;
const float kFovY = 0.80; // radians
const vec3 kSlabCentre = vec3(0.0, 1.55, 0.0);
const vec3 kSlabHalf = vec3(2.1, 1.05, 0.08); // 2:1, the bitmap's shape
const int kSpheres = 3;
const float kSphereRadius = 0.25;
const float kBeatsPerSecond = 130.0 / 60.0;

const int kNone = 0;
const int kFloor = 1;
const int kSlab = 2;
const int kSphere = 3;

struct Hit {
    float t;
    int kind;
    vec3 normal;
    vec2 uv; // slab front: bitmap coordinates
};

struct Light {
    vec3 position;
    vec3 colour;
    float radius;
};

vec3 spherePosition(int i) {
    float a = 0.35 * time + 2.094 * float(i);
    return vec3(2.9 * cos(a), kSphereRadius + 0.08 * sin(3.0 * a + time), 1.3 * sin(a) - 0.4);
}

Light lightOf(int i) {
    if (i == 0)
        return Light(vec3(-3.5 + 0.8 * sin(0.3 * time), 5.0, 4.5), vec3(1.0, 0.86, 0.70) * 0.9, 0.9);
    return Light(vec3(4.0, 3.0, -3.0 + cos(0.25 * time)), vec3(0.45, 0.60, 1.0) * 0.8, 0.6);
}

float hash12(vec2 p) {
    vec3 q = fract(vec3(p.xyx) * 0.1031);
    q += dot(q, q.yzx + 33.33);
    return fract((q.x + q.y) * q.z);
}

bool hitBox(vec3 ro, vec3 rd, vec3 centre, vec3 halfSize, float tMax, out float t, out vec3 n) {
    vec3 inv = 1.0 / rd;
    vec3 t0 = (centre - halfSize - ro) * inv;
    vec3 t1 = (centre + halfSize - ro) * inv;
    vec3 tn = min(t0, t1), tf = max(t0, t1);
    float tNear = max(max(tn.x, tn.y), tn.z);
    float tFar = min(min(tf.x, tf.y), tf.z);
    if (tNear > tFar || tFar < 1e-3 || tNear > tMax || tNear < 1e-3)
        return false;
    t = tNear;
    n = -sign(rd) * step(tn.yzx, tn.xyz) * step(tn.zxy, tn.xyz);
    return true;
}

bool hitSphere(vec3 ro, vec3 rd, vec3 centre, float radius, float tMax, out float t) {
    vec3 oc = ro - centre;
    float b = dot(oc, rd);
    float c = dot(oc, oc) - radius * radius;
    float h = b * b - c;
    if (h < 0.0)
        return false;
    t = -b - sqrt(h);
    return t > 1e-3 && t < tMax;
}

Hit trace(vec3 ro, vec3 rd) {
    Hit hit = Hit(kFar, kNone, vec3(0.0), vec2(0.0));
    if (rd.y < 0.0) {
        float t = -ro.y / rd.y;
        if (t > 1e-3)
            hit = Hit(t, kFloor, vec3(0.0, 1.0, 0.0), vec2(0.0));
    }
    float t;
    vec3 n;
    if (hitBox(ro, rd, kSlabCentre, kSlabHalf, hit.t, t, n)) {
        vec3 p = ro + t * rd;
        vec2 uv = (p.xy - (kSlabCentre.xy - kSlabHalf.xy)) / (2.0 * kSlabHalf.xy);
        hit = Hit(t, kSlab, n, n.z > 0.5 ? uv : vec2(-1.0));
    }
    for (int i = 0; i < kSpheres; ++i) {
        vec3 c = spherePosition(i);
        if (hitSphere(ro, rd, c, kSphereRadius, hit.t, t))
            hit = Hit(t, kSphere, normalize(ro + t * rd - c), vec2(0.0));
    }
    return hit;
}

bool occluded(vec3 ro, vec3 rd, float tMax) {
    float t;
    vec3 n;
    if (hitBox(ro, rd, kSlabCentre, kSlabHalf, tMax, t, n))
        return true;
    for (int i = 0; i < kSpheres; ++i)
        if (hitSphere(ro, rd, spherePosition(i), kSphereRadius, tMax, t))
            return true;
    return false;
}

// Fraction of a disc light seen from p: a few rays spread over the disc, turned
// per pixel so the penumbra dithers instead of banding.
float softShadow(vec3 p, Light light, float spin) {
    vec3 toLight = light.position - p;
    vec3 w = normalize(toLight);
    vec3 u = normalize(cross(w, abs(w.y) < 0.9 ? vec3(0.0, 1.0, 0.0) : vec3(1.0, 0.0, 0.0)));
    vec3 v = cross(w, u);
    float seen = 0.0;
    const int kSamples = 6;
    for (int k = 0; k < kSamples; ++k) {
        float a = 6.2831853 * (float(k) + spin) / float(kSamples);
        float r = light.radius * sqrt((float(k) + 0.5) / float(kSamples));
        vec3 target = light.position + r * (cos(a) * u + sin(a) * v);
        vec3 d = target - p;
        float len = length(d);
        if (!occluded(p, d / len, len))
            seen += 1.0;
    }
    return seen / float(kSamples);
}

// The bitmap at uv, filtered here over `footprint` texels.
vec3 creditsAt(vec2 uv, float footprint) {
    ivec2 size = textureSize(tex0, 0);
    if (size.x < 1 || size.y < 1 || any(lessThan(uv, vec2(0.0))) || any(greaterThan(uv, vec2(1.0))))
        return vec3(0.0);
    vec3 sum = vec3(0.0);
    float spread = max(footprint, 1.0) * 0.25;
    for (int k = 0; k < 4; ++k) {
        vec2 offset = spread * vec2(k == 1 || k == 3 ? 1.0 : -1.0, k >= 2 ? 1.0 : -1.0);
        vec2 st = uv * vec2(size) - 0.5 + (footprint > 1.0 ? offset : vec2(0.0));
        ivec2 i = ivec2(floor(st));
        vec2 f = st - floor(st);
        ivec2 top = size - 1;
        vec3 a = texelFetch(tex0, clamp(i, ivec2(0), top), 0).rgb;
        vec3 b = texelFetch(tex0, clamp(i + ivec2(1, 0), ivec2(0), top), 0).rgb;
        vec3 c = texelFetch(tex0, clamp(i + ivec2(0, 1), ivec2(0), top), 0).rgb;
        vec3 d = texelFetch(tex0, clamp(i + ivec2(1, 1), ivec2(0), top), 0).rgb;
        sum += mix(mix(a, b, f.x), mix(c, d, f.x), f.y);
    }
    return pow(sum * 0.25, vec3(2.2)); // the bitmap's colours are sRGB
}

vec3 sky(vec3 rd) {
    float up = clamp(rd.y * 0.5 + 0.5, 0.0, 1.0);
    vec3 c = mix(vec3(0.002, 0.002, 0.006), vec3(0.010, 0.014, 0.045), up);
    // A warm glow behind the slab and a cool one high up.
    c += vec3(0.07, 0.03, 0.008) * pow(max(dot(rd, normalize(vec3(0.0, 0.2, -1.0))), 0.0), 24.0);
    c += vec3(0.01, 0.02, 0.06) * pow(max(rd.y, 0.0), 2.0);
    return c;
}

vec3 floorColour(vec3 p) {
    // Faint tiles, fading into the distance.
    vec2 g = abs(fract(p.xz * 0.5) - 0.5);
    float line = smoothstep(0.47, 0.5, max(g.x, g.y));
    return mix(vec3(0.012), vec3(0.05, 0.04, 0.03), line) * exp(-0.02 * dot(p.xz, p.xz));
}

struct Surface {
    vec3 albedo;
    vec3 emission;
    float shininess;
    float reflectance; // at normal incidence
};

Surface surfaceAt(Hit hit, vec3 p, float footprint) {
    if (hit.kind == kFloor)
        return Surface(floorColour(p), vec3(0.0), 60.0, 0.2);
    if (hit.kind == kSphere)
        return Surface(vec3(0.20, 0.19, 0.18), vec3(0.0), 120.0, 0.85);
    float pulse = 1.0 + 0.12 * pow(0.5 + 0.5 * cos(6.2831853 * kBeatsPerSecond * time), 6.0);
    vec3 text = creditsAt(hit.uv, footprint);
    // A thin gold line frames the front face.
    vec2 edge = min(hit.uv, 1.0 - hit.uv) * 2.0 * kSlabHalf.xy;
    float frame = hit.uv.x >= 0.0 ? smoothstep(0.035, 0.02, min(edge.x, edge.y)) : 0.0;
    return Surface(vec3(0.01), 2.2 * pulse * text + 0.5 * frame * vec3(1.0, 0.6, 0.2), 200.0, 0.05);
}

vec3 direct(vec3 p, vec3 n, vec3 rd, Surface s, bool soft, float spin) {
    vec3 c = s.emission + 0.04 * s.albedo; // ambient
    for (int i = 0; i < 2; ++i) {
        Light light = lightOf(i);
        vec3 l = normalize(light.position - p);
        float diffuse = max(dot(n, l), 0.0);
        if (diffuse <= 0.0)
            continue;
        float shadow = soft ? softShadow(p + n * 1e-3, light, spin)
                            : (occluded(p + n * 1e-3, l, length(light.position - p)) ? 0.0 : 1.0);
        float highlight = pow(max(dot(reflect(rd, n), l), 0.0), s.shininess) * (s.shininess + 8.0) / 25.0;
        c += shadow * light.colour * (s.albedo * diffuse + 0.2 * highlight);
    }
    return c;
}

vec3 shade(vec3 ro, vec3 rd, float pixelAngle, float spin) {
    vec3 colour = vec3(0.0);
    vec3 weight = vec3(1.0);
    float travelled = 0.0;
    for (int bounce = 0; bounce < 3; ++bounce) {
        Hit hit = trace(ro, rd);
        if (hit.kind == kNone) {
            colour += weight * sky(rd);
            break;
        }
        vec3 p = ro + hit.t * rd;
        travelled += hit.t;
        float facing = max(abs(dot(rd, hit.normal)), 0.2);
        float footprint = travelled * pixelAngle * float(textureSize(tex0, 0).x) / (2.0 * kSlabHalf.x) / facing;
        Surface s = surfaceAt(hit, p, footprint);
        float fresnel = s.reflectance + (1.0 - s.reflectance) * pow(1.0 - abs(dot(rd, hit.normal)), 5.0);
        colour += weight * (1.0 - fresnel) * direct(p, hit.normal, rd, s, bounce == 0, spin);
        weight *= fresnel * (hit.kind == kSphere ? vec3(0.95, 0.88, 0.75) : vec3(1.0));
        if (max(weight.r, max(weight.g, weight.b)) < 0.02)
            break;
        ro = p + hit.normal * 1e-3;
        rd = reflect(rd, hit.normal);
    }
    return colour;
}

void main() {
    vec2 size = vec2(max(ScreenWidth, 1), max(ScreenHeight, 1));
    vec2 ndc = (2.0 * gl_FragCoord.xy - size) / size.y; // y in [-1, 1]
    float tanHalf = tan(0.5 * kFovY);

    vec3 eye = vec3(0.9 * sin(0.17 * time), 1.75 + 0.12 * sin(0.23 * time), 4.6 - 0.25 * sin(0.11 * time));
    vec3 target = vec3(0.15 * sin(0.13 * time), 1.45, 0.0);
    vec3 forward = normalize(target - eye);
    vec3 right = normalize(cross(forward, vec3(0.0, 1.0, 0.0)));
    vec3 up = cross(right, forward);
    vec3 rd = normalize(forward + tanHalf * (ndc.x * right + ndc.y * up));

    float pixelAngle = 2.0 * tanHalf / size.y;
    vec3 c = shade(eye, rd, pixelAngle, hash12(gl_FragCoord.xy));

    // Exposure curve, vignette, gamma; the scene fades in over its first second and a half.
    c = 1.0 - exp(-1.6 * c);
    c *= 1.0 - 0.35 * dot(ndc * vec2(0.6, 0.8), ndc * vec2(0.6, 0.8));
    c *= smoothstep(0.0, 1.5, time);
    gl_FragColor = vec4(pow(clamp(c, 0.0, 1.0), vec3(1.0 / 2.2)), 1.0);
}
