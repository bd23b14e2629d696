#include "tools/models/Mesh.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace models {

namespace {

constexpr float kPi = 3.14159265358979f;

void addFace(Mesh& m, int a, int b, int c, const std::string& material, unsigned smoothing) {
    m.faces.push_back(Face{{a, b, c}, material, smoothing});
}

void addQuad(Mesh& m, int a, int b, int c, int d, const std::string& material, unsigned smoothing) {
    addFace(m, a, b, c, material, smoothing);
    addFace(m, a, c, d, material, smoothing);
}

// Two unit vectors perpendicular to `dir` and to each other.
void perpendiculars(Vec3 dir, Vec3& u, Vec3& v) {
    Vec3 reference = std::fabs(dir[2]) < 0.9f ? Vec3{0, 0, 1} : Vec3{1, 0, 0};
    u = normalized(cross(dir, reference));
    v = normalized(cross(dir, u));
}

// Splits the faces in two halves across their longest extent, the first half a
// whole number of groups, until each part is one group: every group then holds
// faces that lie together.
void splitAtGroups(std::vector<size_t>::iterator begin, std::vector<size_t>::iterator end,
                   const std::vector<Vec3>& centres) {
    const long count = end - begin;
    if (count <= kGroupFaces)
        return;
    Vec3 lo = centres[*begin], hi = lo;
    for (auto i = begin; i != end; ++i)
        for (int a = 0; a < 3; ++a) {
            lo[a] = std::min(lo[a], centres[*i][a]);
            hi[a] = std::max(hi[a], centres[*i][a]);
        }
    int axis = 0;
    for (int a = 1; a < 3; ++a)
        if (hi[a] - lo[a] > hi[axis] - lo[axis])
            axis = a;
    const long groups = (count + kGroupFaces - 1) / kGroupFaces;
    auto middle = begin + (groups / 2) * kGroupFaces;
    // Ties broken by face number, so the order is the same on every run.
    std::nth_element(begin, middle, end, [&](size_t a, size_t b) {
        return centres[a][axis] < centres[b][axis] || (centres[a][axis] == centres[b][axis] && a < b);
    });
    splitAtGroups(begin, middle, centres);
    splitAtGroups(middle, end, centres);
}

} // namespace

void Mesh::append(const Mesh& other) {
    int base = int(points.size());
    bool keepUvs = uvs.size() == points.size() && other.uvs.size() == other.points.size();
    if (points.empty())
        keepUvs = other.uvs.size() == other.points.size();
    points.insert(points.end(), other.points.begin(), other.points.end());
    if (keepUvs)
        uvs.insert(uvs.end(), other.uvs.begin(), other.uvs.end());
    else
        uvs.clear();
    for (Face f : other.faces) {
        for (int& p : f.points)
            p += base;
        faces.push_back(f);
    }
}

Vec3 cross(Vec3 a, Vec3 b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

float length(Vec3 a) {
    return std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
}

Vec3 normalized(Vec3 a) {
    float l = length(a);
    return l > 0 ? a * (1.0f / l) : a;
}

Vec3 lerp(Vec3 a, Vec3 b, float t) {
    return a + (b - a) * t;
}

Mesh box(Vec3 lo, Vec3 hi, const std::string& material) {
    Mesh m;
    for (int i = 0; i < 8; ++i)
        m.points.push_back({i & 1 ? hi[0] : lo[0], i & 2 ? hi[1] : lo[1], i & 4 ? hi[2] : lo[2]});
    // -z, +z, -y, +y, -x, +x
    const int quads[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                             {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    for (const auto& q : quads)
        addQuad(m, q[0], q[1], q[2], q[3], material, 0);
    return m;
}

Mesh texturedBox(Vec3 lo, Vec3 hi, const std::string& material) {
    Mesh m;
    // Per face the two other axes in increasing order, as a "PAABox22" box maps them.
    for (int axis = 0; axis < 3; ++axis) {
        const int u = axis == 0 ? 1 : 0, v = axis == 2 ? 1 : 2;
        for (int side = 0; side < 2; ++side) {
            const int base = int(m.points.size());
            for (int corner = 0; corner < 4; ++corner) {
                const int iu = corner == 1 || corner == 2, iv = corner >= 2;
                Vec3 p;
                p[axis] = side ? hi[axis] : lo[axis];
                p[u] = iu ? hi[u] : lo[u];
                p[v] = iv ? hi[v] : lo[v];
                m.points.push_back(p);
                m.uvs.push_back({float(iu), float(iv)});
            }
            // Counter-clockwise seen from outside: the order flips with the side
            // and with the handedness of (axis, u, v).
            const bool flip = (side == 1) == (axis == 1);
            if (flip)
                addQuad(m, base, base + 1, base + 2, base + 3, material, 0);
            else
                addQuad(m, base, base + 3, base + 2, base + 1, material, 0);
        }
    }
    return m;
}

Mesh beam(Vec3 a, Vec3 b, float width, const std::string& material) {
    Vec3 u, v;
    perpendiculars(normalized(b - a), u, v);
    Mesh m;
    const float h = width / 2;
    const Vec3 corners[4] = {u * h + v * h, u * -h + v * h, u * -h + v * -h, u * h + v * -h};
    for (Vec3 end : {a, b})
        for (Vec3 c : corners)
            m.points.push_back(end + c);
    for (int s = 0; s < 4; ++s) {
        int n = (s + 1) % 4;
        addQuad(m, s, n, 4 + n, 4 + s, material, 0);
    }
    return m;
}

Mesh uvSphere(Vec3 c, float r, int rings, int segments, const std::string& material) {
    Mesh m;
    for (int i = 0; i <= rings; ++i) {
        float phi = kPi * i / rings;
        for (int s = 0; s <= segments; ++s) {
            float theta = 2 * kPi * s / segments;
            m.points.push_back({c[0] + r * std::sin(phi) * std::cos(theta),
                                c[1] + r * std::sin(phi) * std::sin(theta), c[2] + r * std::cos(phi)});
            m.uvs.push_back({float(s) / segments, float(i) / rings});
        }
    }
    auto at = [&](int i, int s) { return i * (segments + 1) + s; };
    for (int i = 0; i < rings; ++i)
        for (int s = 0; s < segments; ++s) {
            if (i > 0)
                addFace(m, at(i, s), at(i + 1, s), at(i, s + 1), material, 1);
            if (i < rings - 1)
                addFace(m, at(i, s + 1), at(i + 1, s), at(i + 1, s + 1), material, 1);
        }
    return m;
}

Mesh sphereProxy(Vec3 c, float r, const std::string& material) {
    Mesh m;
    m.points = {c + Vec3{r, 0, 0},  c + Vec3{-r, 0, 0}, c + Vec3{0, r, 0},
                c + Vec3{0, -r, 0}, c + Vec3{0, 0, r},  c + Vec3{0, 0, -r}};
    const int faces[8][3] = {{0, 2, 4}, {2, 1, 4}, {1, 3, 4}, {3, 0, 4},
                             {2, 0, 5}, {1, 2, 5}, {3, 1, 5}, {0, 3, 5}};
    for (const auto& f : faces)
        addFace(m, f[0], f[1], f[2], material, 1);
    return m;
}

Mesh torus(Vec3 c, float major, float minor, int around, int tubeSides, const std::string& material) {
    std::vector<Vec3> path;
    for (int i = 0; i < around; ++i) {
        float a = 2 * kPi * i / around;
        path.push_back(c + Vec3{major * std::cos(a), major * std::sin(a), 0});
    }
    return tube(path, minor, tubeSides, material);
}

Mesh tube(const std::vector<Vec3>& path, float radius, int sides, const std::string& material) {
    Mesh m;
    const int n = int(path.size());
    for (int i = 0; i <= n; ++i) {
        Vec3 here = path[i % n];
        Vec3 tangent = normalized(path[(i + 1) % n] - path[(i + n - 1) % n]);
        Vec3 u, v;
        perpendiculars(tangent, u, v);
        for (int s = 0; s <= sides; ++s) {
            float a = 2 * kPi * s / sides;
            m.points.push_back(here + (u * std::cos(a) + v * std::sin(a)) * radius);
            m.uvs.push_back({4.0f * i / n, float(s) / sides});
        }
    }
    auto at = [&](int i, int s) { return i * (sides + 1) + s; };
    for (int i = 0; i < n; ++i)
        for (int s = 0; s < sides; ++s)
            addQuad(m, at(i, s), at(i, s + 1), at(i + 1, s + 1), at(i + 1, s), material, 1);
    return m;
}

Mesh floorPlane(float x0, float y0, float width, float depth, float height, float uvPerUnit,
                const std::string& material) {
    Mesh m;
    for (float y : {0.0f, depth})
        for (float x : {0.0f, width}) {
            m.points.push_back({x0 + x, y0 + y, height});
            m.uvs.push_back({x * uvPerUnit, y * uvPerUnit});
        }
    addQuad(m, 0, 1, 3, 2, material, 0);
    return m;
}

std::vector<Mesh> cutInRuns(const Mesh& mesh, int pieces) {
    std::vector<Mesh> runs;
    const size_t faces = mesh.faces.size();
    const bool withUvs = mesh.uvs.size() == mesh.points.size();
    for (int r = 0; r < pieces; ++r) {
        Mesh run;
        std::vector<int> remap(mesh.points.size(), -1);
        for (size_t f = faces * r / pieces; f < faces * (r + 1) / pieces; ++f) {
            Face face = mesh.faces[f];
            for (int& p : face.points) {
                if (remap[p] < 0) {
                    remap[p] = int(run.points.size());
                    run.points.push_back(mesh.points[p]);
                    if (withUvs)
                        run.uvs.push_back(mesh.uvs[p]);
                }
                p = remap[p];
            }
            run.faces.push_back(face);
        }
        orderFacesSpatially(run);
        runs.push_back(run);
    }
    return runs;
}

void orderFacesSpatially(Mesh& mesh) {
    std::vector<Vec3> centres(mesh.faces.size());
    for (size_t f = 0; f < mesh.faces.size(); ++f) {
        Vec3 c = {0, 0, 0};
        for (int p : mesh.faces[f].points)
            c = c + mesh.points[p] * (1.0f / 3);
        centres[f] = c;
    }
    std::vector<size_t> order(mesh.faces.size());
    std::iota(order.begin(), order.end(), 0);
    splitAtGroups(order.begin(), order.end(), centres);
    std::vector<Face> sorted;
    sorted.reserve(order.size());
    for (size_t i : order)
        sorted.push_back(mesh.faces[i]);
    mesh.faces.swap(sorted);
}

} // namespace models
