#version 330 compatibility
// Ray tracer over the primitive buffer. A ray walks the runs of mesh entries the
// CPU hands in (box test), the mesh entries of each run it enters (box test),
// then each entered mesh's bounding-volume entries (triangle-group boxes, spheres,
// boxes), then the triangles of an entered group, and keeps the nearest hit. The hit is
// shaded with its material for every light that is on, with hard shadows, and
// followed by up to numrefl mirror reflections. Alpha carries the distance of the
// first hit, which the depth-of-field pass compares with the focus distance.
//
// The layout numbers repeat core/PrimitiveLayout.h; a unit test keeps
// the two equal.
const int kHeaderTexel = 0;
const int kHeaderTriangleTexels = 0;
const int kHeaderVolumes = 1;
const int kHeaderLights = 2;
const int kHeaderMeshes = 3;
const int kTriangleBase = 1;
const int kTriangleTexels = 8;
const int kTriangleCapacity = 65535;
const int kTriangleOrigin = 0;
const int kTriangleEdge0 = 1;
const int kTriangleEdge2 = 2;
const int kTriangleNormal0 = 3;
const int kTriangleNormal1 = 4;
const int kTriangleNormal2 = 5;
const int kTriangleUv01 = 6;
const int kTriangleUv2 = 7;
const int kVolumeBase = 524288;
const int kVolumeTexels = 2;
const int kVolumeCapacity = 131072;
const float kVolumeSphere = -3.0;
const float kVolumeBox = -2.0;
const int kVolumeA = 0;
const int kVolumeB = 1;
const int kMaterialBase = 786432;
const int kMaterialTexels = 3;
const int kMaterialCapacity = 4522;
const int kMaterialDiffuse = 0;
const int kMaterialSpecular = 1;
const int kMaterialReflection = 2;
const int kLightBase = 800000;
const int kLightTexels = 2;
const int kLightCapacity = 50000;
const int kLightPosition = 0;
const int kLightColour = 1;
const int kMeshBase = 900000;
const int kMeshTexels = 2;
const int kMeshCapacity = 74288;
const int kMeshMin = 0;
const int kMeshMax = 1;
const int kMaterialSamplers = 9;
const int kMaxMeshRuns = 32;

uniform samplerBuffer tboSampler;
uniform sampler2D tex[kMaterialSamplers];
uniform int numrefl;
uniform float camx, camy, camz;
uniform float camtx, camty, camtz;
uniform float camroll;
uniform float fov; // horizontal, in degrees
uniform int ScreenWidth;
uniform int ScreenHeight;
// Runs of consecutive mesh entries and the box around each (w: the run's first
// mesh, and the mesh after its last), so that a ray skips a run it misses with one
// box test. Without runs (meshRuns 0) the walk takes every mesh in one run.
uniform int meshRuns;
uniform vec4 runMin[kMaxMeshRuns];
uniform vec4 runMax[kMaxMeshRuns];

in vec2 screenCoord;

const float kFar = 60000.0; // distance of a miss; within half-float range
const int kMaxReflections = 16;
const vec3 kAmbient = vec3(0.12);
const vec3 kBackground = vec3(0.0);
const float kNoHit = -1.0;

const int kKindNone = 0;
const int kKindTriangle = 1;
const int kKindSphere = 2;
const int kKindBox = 3;

vec4 fetch(int texel) { return texelFetch(tboSampler, texel); }

#ifdef COUNT_TESTS
// Measuring build: the output holds, per pixel, the box tests, triangle tests,
// sphere and box primitive tests and rays traced instead of the colour.
int boxTests = 0, triangleTests = 0, solidTests = 0, raysTraced = 0;
#define COUNT(counter) ++counter
#else
#define COUNT(counter)
#endif

// What a walk found: the primitive and where on it; the surface is read from the
// buffer once, after the walk.
struct HitRef {
    float t;
    int kind;
    int texel;  // triangle: first texel of its record; sphere, box: entry texel A
    vec2 bary;  // triangle: weights of P0 and P2
};

// Distance at which the ray enters the box (0 when it starts inside), or kNoHit
// when it misses it or enters beyond tMax. Empty groups (min above max) are missed.
float boxEntry(vec3 lo, vec3 hi, vec3 origin, vec3 invDir, float tMax) {
    COUNT(boxTests);
    if (any(greaterThan(lo, hi))) return kNoHit;
    vec3 t0 = (lo - origin) * invDir;
    vec3 t1 = (hi - origin) * invDir;
    vec3 tNear3 = min(t0, t1);
    vec3 tFar3 = max(t0, t1);
    float tNear = max(max(tNear3.x, tNear3.y), max(tNear3.z, 0.0));
    float tFar = min(min(tFar3.x, tFar3.y), tFar3.z);
    return (tNear <= tFar && tNear < tMax) ? tNear : kNoHit;
}

// The box as a solid primitive: its surface where the ray enters it, or where it
// leaves it for a ray that starts inside.
float boxSurface(vec3 lo, vec3 hi, vec3 origin, vec3 invDir, float tMin) {
    vec3 t0 = (lo - origin) * invDir;
    vec3 t1 = (hi - origin) * invDir;
    vec3 tNear3 = min(t0, t1);
    vec3 tFar3 = max(t0, t1);
    float tNear = max(max(tNear3.x, tNear3.y), tNear3.z);
    float tFar = min(min(tFar3.x, tFar3.y), tFar3.z);
    if (tNear > tFar) return kNoHit;
    if (tNear > tMin) return tNear;
    return tFar > tMin ? tFar : kNoHit;
}

float sphereSurface(vec3 centre, float radius, vec3 origin, vec3 dir, float tMin) {
    vec3 oc = origin - centre;
    float b = dot(oc, dir);
    float c = dot(oc, oc) - radius * radius;
    float disc = b * b - c;
    if (disc < 0.0) return kNoHit;
    float root = sqrt(disc);
    if (-b - root > tMin) return -b - root;
    return -b + root > tMin ? -b + root : kNoHit;
}

// Triangle record at texel t: origin P1 and the edges towards P0 and P2.
float triangleSurface(int t, vec3 origin, vec3 dir, float tMin, out vec2 bary) {
    COUNT(triangleTests);
    vec3 p1 = fetch(t + kTriangleOrigin).xyz;
    vec3 edge0 = fetch(t + kTriangleEdge0).xyz;
    vec3 edge2 = fetch(t + kTriangleEdge2).xyz;
    bary = vec2(0.0);
    vec3 pvec = cross(dir, edge2);
    float det = dot(edge0, pvec);
    if (abs(det) < 1e-12) return kNoHit;
    float inv = 1.0 / det;
    vec3 tvec = origin - p1;
    float u = dot(tvec, pvec) * inv;
    if (u < 0.0 || u > 1.0) return kNoHit;
    vec3 qvec = cross(tvec, edge0);
    float v = dot(dir, qvec) * inv;
    if (v < 0.0 || u + v > 1.0) return kNoHit;
    float distance = dot(edge2, qvec) * inv;
    bary = vec2(u, v);
    return distance > tMin ? distance : kNoHit;
}

bool castsShadow(int triangleTexel) { return fetch(triangleTexel + kTriangleEdge0).w != 0.0; }

void considerTriangle(int t, vec3 origin, vec3 dir, float tMin, bool shadowRay, inout HitRef best) {
    if (shadowRay && !castsShadow(t)) return; // "NoS" meshes cast no shadow
    vec2 bary;
    float hitT = triangleSurface(t, origin, dir, tMin, bary);
    if (hitT != kNoHit && hitT < best.t) best = HitRef(hitT, kKindTriangle, t, bary);
}

void considerSolid(int entryTexel, vec4 a, vec4 b, vec3 origin, vec3 dir, vec3 invDir, float tMin,
                   inout HitRef best) {
    COUNT(solidTests);
    float hitT = a.w == kVolumeSphere ? sphereSurface(a.xyz, b.x, origin, dir, tMin)
                                      : boxSurface(a.xyz, b.xyz, origin, invDir, tMin);
    if (hitT != kNoHit && hitT < best.t)
        best = HitRef(hitT, a.w == kVolumeSphere ? kKindSphere : kKindBox, entryTexel, vec2(0.0));
}

vec3 safeInverse(vec3 dir) {
    vec3 d = mix(vec3(1e-20), dir, greaterThan(abs(dir), vec3(1e-20)));
    return 1.0 / d;
}

// Index of the lowest bit set: the exponent of that bit alone as a float, which
// is exact. log2 would cost a polynomial and a division on a software renderer.
int lowestBit(uint bits) { return int(floatBitsToUint(float(bits & (~bits + 1u))) >> 23) - 127; }

// The walk tests each list of boxes (the runs, then the meshes of an entered run,
// then the groups of an entered mesh, 32 at a time) in a loop of its own, keeps
// the entered ones as bits, and then goes into those alone. A software renderer
// runs a vector of pixels through every branch and each loop at least once, so
// a loop nested under a box that no pixel of the vector entered would cost a
// full pass of its body; and pixels entering different boxes go on side by side.
// Nearest hit closer than tMax; a shadow ray stops at the first hit that casts a
// shadow and skips the meshes that cast none. Boxes entered beyond the best hit so
// far are skipped.
HitRef walkHierarchy(vec3 origin, vec3 dir, float tMin, float tMax, bool shadowRay) {
    HitRef best = HitRef(tMax, kKindNone, 0, vec2(0.0));
    vec3 invDir = safeInverse(dir);
    int meshes = min(int(fetch(kHeaderTexel)[kHeaderMeshes]), kMeshCapacity);
    int runs = min(meshRuns, kMaxMeshRuns);
    uint runBits = runs > 0 ? 0u : 1u; // without runs, every mesh in one
    for (int r = 0; r < runs; ++r)
        if (boxEntry(runMin[r].xyz, runMax[r].xyz, origin, invDir, tMax) != kNoHit) runBits |= 1u << uint(r);
    while (runBits != 0u) {
        int r = lowestBit(runBits);
        runBits &= runBits - 1u;
        int firstMesh = runs > 0 ? max(int(runMin[r].w), 0) : 0;
        int endMesh = runs > 0 ? min(int(runMax[r].w), meshes) : meshes;
        for (int meshChunk = firstMesh; meshChunk < endMesh; meshChunk += 32) {
            uint meshBits = 0u;
            for (int i = 0; i < min(32, endMesh - meshChunk); ++i) {
                int mesh = kMeshBase + kMeshTexels * (meshChunk + i);
                if (boxEntry(fetch(mesh + kMeshMin).xyz, fetch(mesh + kMeshMax).xyz, origin, invDir, best.t) !=
                    kNoHit)
                    meshBits |= 1u << uint(i);
            }
            while (meshBits != 0u) {
                int mesh = kMeshBase + kMeshTexels * (meshChunk + lowestBit(meshBits));
                meshBits &= meshBits - 1u;
                int firstEntry = max(int(fetch(mesh + kMeshMin).w), 0);
                int lastEntry = min(int(fetch(mesh + kMeshMax).w), kVolumeCapacity);
                if (shadowRay && firstEntry < lastEntry) {
                    // A mesh that casts no shadow ("NoS") says so in every triangle: one
                    // look at its first spares a shadow ray all its group boxes.
                    vec4 first = fetch(kVolumeBase + kVolumeTexels * firstEntry + kVolumeA);
                    bool solid = first.w == kVolumeSphere || first.w == kVolumeBox;
                    if (!solid && first.w >= float(kTriangleBase) && !castsShadow(int(first.w))) continue;
                }
                for (int groupChunk = firstEntry; groupChunk < lastEntry; groupChunk += 32) {
                    uint groupBits = 0u;
                    for (int j = 0; j < min(32, lastEntry - groupChunk); ++j) {
                        int entry = kVolumeBase + kVolumeTexels * (groupChunk + j);
                        vec4 a = fetch(entry + kVolumeA);
                        vec4 b = fetch(entry + kVolumeB);
                        if (a.w == kVolumeSphere || a.w == kVolumeBox) {
                            considerSolid(entry, a, b, origin, dir, invDir, tMin, best);
                            if (shadowRay && best.kind != kKindNone) return best;
                        } else if (boxEntry(a.xyz, b.xyz, origin, invDir, best.t) != kNoHit) {
                            groupBits |= 1u << uint(j);
                        }
                    }
                    while (groupBits != 0u) {
                        int entry = kVolumeBase + kVolumeTexels * (groupChunk + lowestBit(groupBits));
                        groupBits &= groupBits - 1u;
                        int end = min(int(fetch(entry + kVolumeB).w), kVolumeBase);
                        for (int t = max(int(fetch(entry + kVolumeA).w), kTriangleBase); t < end;
                             t += kTriangleTexels) {
                            considerTriangle(t, origin, dir, tMin, shadowRay, best);
                            if (shadowRay && best.kind != kKindNone) return best;
                        }
                    }
                }
            }
        }
    }
    return best;
}

#if defined(BRUTE_FORCE) || defined(CHECK_WALKS)
// Reference walk for checking the hierarchy: every triangle record and every
// sphere and box entry, no box tests.
HitRef walkEveryRecord(vec3 origin, vec3 dir, float tMin, float tMax, bool shadowRay) {
    HitRef best = HitRef(tMax, kKindNone, 0, vec2(0.0));
    vec3 invDir = safeInverse(dir);
    vec4 header = fetch(kHeaderTexel);
    int end = kTriangleBase + min(int(header[kHeaderTriangleTexels]), kTriangleTexels * kTriangleCapacity);
    for (int t = kTriangleBase; t < end; t += kTriangleTexels) {
        considerTriangle(t, origin, dir, tMin, shadowRay, best);
        if (shadowRay && best.kind != kKindNone) return best;
    }
    int entries = min(int(header[kHeaderVolumes]), kVolumeCapacity);
    for (int e = 0; e < entries; ++e) {
        int entry = kVolumeBase + kVolumeTexels * e;
        vec4 a = fetch(entry + kVolumeA);
        if (a.w == kVolumeSphere || a.w == kVolumeBox)
            considerSolid(entry, a, fetch(entry + kVolumeB), origin, dir, invDir, tMin, best);
        if (shadowRay && best.kind != kKindNone) return best;
    }
    return best;
}
#endif

#ifdef CHECK_WALKS
// The checking build takes both walks for every ray and keeps one, so that the
// two pictures it compares run the same code around the walks: separately built
// (or branching on the choice), the compiler may round the reflected and shadow
// rays differently, and grazing shadows then differ for that reason alone.
uniform bool everyRecord;
#endif

HitRef trace(vec3 origin, vec3 dir, float tMin, float tMax, bool shadowRay) {
    COUNT(raysTraced);
#if defined(CHECK_WALKS)
    HitRef walked = walkHierarchy(origin, dir, tMin, tMax, shadowRay);
    HitRef every = walkEveryRecord(origin, dir, tMin, tMax, shadowRay);
    return everyRecord ? every : walked;
#elif defined(BRUTE_FORCE)
    return walkEveryRecord(origin, dir, tMin, tMax, shadowRay);
#else
    return walkHierarchy(origin, dir, tMin, tMax, shadowRay);
#endif
}

struct Surface {
    vec3 position;
    vec3 normal; // facing the incoming ray
    vec2 uv;
    int material;
};

Surface surfaceAt(HitRef hit, vec3 origin, vec3 dir) {
    Surface s;
    s.position = origin + dir * hit.t;
    if (hit.kind == kKindTriangle) {
        vec4 p1 = fetch(hit.texel + kTriangleOrigin);
        vec4 uv01 = fetch(hit.texel + kTriangleUv01);
        vec4 uv2 = fetch(hit.texel + kTriangleUv2);
        float w0 = hit.bary.x, w2 = hit.bary.y, w1 = 1.0 - w0 - w2;
        s.normal = fetch(hit.texel + kTriangleNormal0).xyz * w0 + fetch(hit.texel + kTriangleNormal1).xyz * w1 +
                   fetch(hit.texel + kTriangleNormal2).xyz * w2;
        if (dot(s.normal, s.normal) < 1e-12)
            s.normal = cross(fetch(hit.texel + kTriangleEdge0).xyz, fetch(hit.texel + kTriangleEdge2).xyz);
        s.uv = uv01.xy * w0 + uv01.zw * w1 + uv2.xy * w2;
        s.material = int(p1.w);
    } else {
        vec4 a = fetch(hit.texel + kVolumeA);
        vec4 b = fetch(hit.texel + kVolumeB);
        s.material = int(b.w);
        if (hit.kind == kKindSphere) {
            s.normal = s.position - a.xyz;
            vec3 n = normalize(s.normal);
            s.uv = vec2(atan(n.y, n.x) / 6.2831853 + 0.5, acos(clamp(n.z, -1.0, 1.0)) / 3.1415927);
        } else {
            // The face whose plane the point lies on, and the point across it.
            vec3 size = max(b.xyz - a.xyz, vec3(1e-20));
            vec3 local = (s.position - a.xyz) / size;
            vec3 toFace = min(local, 1.0 - local);
            if (toFace.x <= toFace.y && toFace.x <= toFace.z) {
                s.normal = vec3(local.x < 0.5 ? -1.0 : 1.0, 0.0, 0.0);
                s.uv = local.yz;
            } else if (toFace.y <= toFace.z) {
                s.normal = vec3(0.0, local.y < 0.5 ? -1.0 : 1.0, 0.0);
                s.uv = local.xz;
            } else {
                s.normal = vec3(0.0, 0.0, local.z < 0.5 ? -1.0 : 1.0);
                s.uv = local.xy;
            }
        }
    }
    s.normal = normalize(s.normal);
    if (dot(s.normal, dir) > 0.0) s.normal = -s.normal;
    return s;
}

struct Material {
    vec3 diffuse;
    float shinStrength;
    vec3 specular;
    float shininess;
    float reflection;
    int slot;
};

// Faces without a material (index -1) get this one.
const Material kDefaultMaterial = Material(vec3(0.7), 0.3, vec3(0.5), 0.2, 0.0, -1);

Material materialAt(int index) {
    if (index < 0 || index >= kMaterialCapacity) return kDefaultMaterial;
    int texel = kMaterialBase + kMaterialTexels * index;
    vec4 m0 = fetch(texel + kMaterialDiffuse);
    vec4 m1 = fetch(texel + kMaterialSpecular);
    vec4 m2 = fetch(texel + kMaterialReflection);
    return Material(m0.rgb, m0.w, m1.rgb, m1.w, clamp(m2.x, 0.0, 1.0), int(m2.w));
}

// Sampler arrays may only be indexed by constants here, hence the switch.
vec3 textureColour(int slot, vec2 uv) {
    switch (slot) {
    case 0: return textureLod(tex[0], uv, 0.0).rgb;
    case 1: return textureLod(tex[1], uv, 0.0).rgb;
    case 2: return textureLod(tex[2], uv, 0.0).rgb;
    case 3: return textureLod(tex[3], uv, 0.0).rgb;
    case 4: return textureLod(tex[4], uv, 0.0).rgb;
    case 5: return textureLod(tex[5], uv, 0.0).rgb;
    case 6: return textureLod(tex[6], uv, 0.0).rgb;
    case 7: return textureLod(tex[7], uv, 0.0).rgb;
    case 8: return textureLod(tex[8], uv, 0.0).rgb;
    }
    return vec3(1.0);
}

// Offset that lifts a secondary ray's origin off the surface it starts on,
// relative to the scene's scale at that point.
float surfaceOffset(vec3 p) {
    vec3 a = abs(p);
    return 1e-4 * (1.0 + max(max(a.x, a.y), a.z));
}

// What one light adds: diffuse and highlight, unless the light is behind the
// surface or (where the light casts shadows) something stands between.
vec3 lightAdds(Surface s, Material m, vec3 base, vec3 dir, vec3 position, vec3 intensity, bool shadows) {
    vec3 toLight = position - s.position;
    float distance = length(toLight);
    if (distance <= 0.0) return vec3(0.0);
    vec3 towards = toLight / distance;
    float lambert = dot(s.normal, towards);
    if (lambert <= 0.0) return vec3(0.0);
    vec3 shadowOrigin = s.position + s.normal * surfaceOffset(s.position);
    if (shadows && trace(shadowOrigin, towards, 0.0, distance, true).kind != kKindNone) return vec3(0.0);
    float exponent = 1.0 + 127.0 * clamp(m.shininess, 0.0, 1.0);
    vec3 halfway = normalize(towards - dir);
    float highlight = pow(max(dot(s.normal, halfway), 0.0), exponent) * m.shinStrength;
    return intensity * (base * lambert + m.specular * highlight);
}

// A file without a light that is on (a model's file seldom has one; spotlights are
// not traced) is lit by a white head light a little above the camera, so that its
// form and materials read instead of a dark silhouette. The CPU says so once. It
// casts no shadows: from beside the eye they would hardly show, and each would
// cost a ray per pixel.
vec3 headLightPosition() {
    vec3 eye = vec3(camx, camy, camz);
    vec3 forward = vec3(camtx, camty, camtz) - eye;
    float distance = length(forward);
    forward = distance > 0.0 ? forward / distance : vec3(0.0, 1.0, 0.0);
    vec3 worldUp = abs(forward.z) > 0.999 ? vec3(0.0, 1.0, 0.0) : vec3(0.0, 0.0, 1.0);
    vec3 up = cross(normalize(cross(forward, worldUp)), forward);
    return eye + up * 0.1 * max(distance, 1.0);
}

vec3 shade(Surface s, Material m, vec3 dir) {
    vec3 base = m.slot >= 0 ? textureColour(m.slot, s.uv) : m.diffuse;
    vec3 colour = kAmbient * base;
    bool anyOn = false;
    int lights = min(int(fetch(kHeaderTexel)[kHeaderLights]), kLightCapacity);
    for (int l = 0; l < lights; ++l) {
        vec4 a = fetch(kLightBase + kLightTexels * l + kLightPosition);
        vec4 b = fetch(kLightBase + kLightTexels * l + kLightColour);
        vec3 intensity = b.rgb * b.w;
        // Switched off, or a record the file's light count promised but no node
        // filled (spotlights): nothing to add, so no shadow ray either.
        if (a.w != 0.0 || max(max(intensity.r, intensity.g), intensity.b) <= 0.0) continue;
        anyOn = true;
        colour += lightAdds(s, m, base, dir, a.xyz, intensity, true);
    }
    if (!anyOn) colour += lightAdds(s, m, base, dir, headLightPosition(), vec3(1.0), false);
    return colour;
}

vec3 primaryRay(vec3 eye) {
    vec3 target = vec3(camtx, camty, camtz);
    vec3 forward = target - eye;
    forward = dot(forward, forward) > 0.0 ? normalize(forward) : vec3(0.0, 1.0, 0.0);
    // 3D Studio scenes stand on the xy plane with z up.
    vec3 worldUp = abs(forward.z) > 0.999 ? vec3(0.0, 1.0, 0.0) : vec3(0.0, 0.0, 1.0);
    vec3 right = normalize(cross(forward, worldUp));
    vec3 up = cross(right, forward);
    float roll = radians(camroll);
    vec3 rolledRight = cos(roll) * right + sin(roll) * up;
    vec3 rolledUp = cos(roll) * up - sin(roll) * right;
    // The target is square; the final pass stretches it over the window, so the
    // rays span the window's aspect.
    float aspect = ScreenHeight > 0 ? float(ScreenWidth) / float(ScreenHeight) : 1.0;
    float halfWidth = tan(radians(clamp(fov, 1e-3, 179.0)) * 0.5);
    return normalize(forward + screenCoord.x * halfWidth * rolledRight +
                     screenCoord.y * halfWidth / max(aspect, 1e-3) * rolledUp);
}

void main() {
    vec3 origin = vec3(camx, camy, camz);
    vec3 dir = primaryRay(origin);
    vec3 colour = vec3(0.0);
    vec3 weight = vec3(1.0);
    float distance = kFar;
    int reflections = clamp(numrefl, 0, kMaxReflections);
    for (int bounce = 0; bounce <= reflections; ++bounce) {
        HitRef hit = trace(origin, dir, 0.0, kFar, false);
        if (hit.kind == kKindNone) {
            colour += weight * kBackground;
            break;
        }
        if (bounce == 0) distance = hit.t;
        Surface s = surfaceAt(hit, origin, dir);
        Material m = materialAt(s.material);
        // The last allowed bounce shows its surface whole: with numrefl 0 a mirror
        // looks like its plain material.
        float mirror = bounce < reflections ? m.reflection : 0.0;
        colour += weight * (1.0 - mirror) * shade(s, m, dir);
        if (mirror <= 0.0) break;
        weight *= mirror;
        dir = reflect(dir, s.normal);
        origin = s.position + s.normal * surfaceOffset(s.position);
    }
#ifdef COUNT_TESTS
    gl_FragColor = vec4(boxTests, triangleTests, solidTests, raysTraced);
#else
    gl_FragColor = vec4(colour, distance);
#endif
}
