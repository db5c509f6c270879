#include "models3ds/geosphere.h"

#include <cmath>
#include <map>
#include <tuple>

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Dvec {
    double x, y, z;
};

Dvec Sub(Dvec a, Dvec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Dvec Cross(Dvec a, Dvec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Dot(Dvec a, Dvec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Dvec Normalised(Dvec a)
{
    double l = std::sqrt(Dot(a, a));
    return {a.x / l, a.y / l, a.z / l};
}

// The twelve corners of an icosahedron with two of them on the Z axis, turned a little
// about Z so that no corner sits exactly on the texture seam.
std::vector<Dvec> IcosahedronCorners()
{
    std::vector<Dvec> c;
    const double turn = 0.1;
    const double lat = std::atan(0.5);
    c.push_back({0, 0, 1});
    for (int i = 0; i < 5; ++i) {
        double a = turn + i * 2 * kPi / 5;
        c.push_back({std::cos(lat) * std::cos(a), std::cos(lat) * std::sin(a), std::sin(lat)});
    }
    for (int i = 0; i < 5; ++i) {
        double a = turn + (i + 0.5) * 2 * kPi / 5;
        c.push_back({std::cos(lat) * std::cos(a), std::cos(lat) * std::sin(a), -std::sin(lat)});
    }
    c.push_back({0, 0, -1});
    return c;
}

std::vector<std::array<int, 3>> IcosahedronFaces()
{
    std::vector<std::array<int, 3>> f;
    for (int i = 0; i < 5; ++i) {
        int a = 1 + i, b = 1 + (i + 1) % 5;   // upper ring
        int c = 6 + i, d = 6 + (i + 1) % 5;   // lower ring, half a step on
        f.push_back({0, a, b});
        f.push_back({a, c, b});
        f.push_back({b, c, d});
        f.push_back({c, 11, d});
    }
    return f;
}

double Longitude(Dvec p) { return std::atan2(p.y, p.x) / (2 * kPi) + 0.5; }
bool IsPole(Dvec p) { return std::fabs(p.z) > 0.999999; }

}  // namespace

TdsMesh BuildGeoSphere(const std::string& name, float radius, int n)
{
    // Shared points on the unit sphere, found again by their rounded position so that
    // neighbouring icosahedron faces use the same vertices along their common edge.
    std::vector<Dvec> points;
    std::map<std::tuple<long, long, long>, int> lookup;
    auto pointIndex = [&](Dvec p) {
        p = Normalised(p);
        auto key = std::make_tuple(std::lround(p.x * 1e6), std::lround(p.y * 1e6), std::lround(p.z * 1e6));
        auto it = lookup.find(key);
        if (it != lookup.end()) return it->second;
        points.push_back(p);
        lookup.emplace(key, int(points.size()) - 1);
        return int(points.size()) - 1;
    };

    std::vector<Dvec> corners = IcosahedronCorners();
    std::vector<std::array<int, 3>> triangles;
    for (const auto& face : IcosahedronFaces()) {
        Dvec a = corners[face[0]], b = corners[face[1]], c = corners[face[2]];
        auto at = [&](int i, int j) {
            double s = double(i) / n, t = double(j) / n;
            return pointIndex({a.x + (b.x - a.x) * s + (c.x - a.x) * t, a.y + (b.y - a.y) * s + (c.y - a.y) * t,
                               a.z + (b.z - a.z) * s + (c.z - a.z) * t});
        };
        for (int i = 0; i < n; ++i) {
            for (int j = 0; i + j < n; ++j) {
                triangles.push_back({at(i, j), at(i + 1, j), at(i, j + 1)});
                if (i + j + 1 < n) triangles.push_back({at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)});
            }
        }
    }

    TdsMesh mesh;
    mesh.name = name;
    mesh.material = "Zircon";
    // Output vertices keyed by (point, u shifted by a whole turn or not) and, for the
    // poles, by the face that owns the copy.
    std::map<std::tuple<int, int, int>, uint16_t> made;
    auto vertex = [&](int point, double u, int key) {
        auto k = std::make_tuple(point, key, 0);
        auto it = made.find(k);
        if (it != made.end()) return it->second;
        Dvec p = points[point];
        mesh.vertices.push_back({float(p.x * radius), float(p.y * radius), float(p.z * radius)});
        double v = 1.0 - std::acos(std::fmax(-1.0, std::fmin(1.0, p.z))) / kPi;
        mesh.texCoords.push_back({float(u), float(v)});
        uint16_t index = uint16_t(mesh.vertices.size() - 1);
        made.emplace(k, index);
        return index;
    };

    for (size_t t = 0; t < triangles.size(); ++t) {
        std::array<int, 3> tri = triangles[t];
        // Counter-clockwise seen from outside: the face normal points away from the centre.
        Dvec pa = points[tri[0]], pb = points[tri[1]], pc = points[tri[2]];
        if (Dot(Cross(Sub(pb, pa), Sub(pc, pa)), {pa.x + pb.x + pc.x, pa.y + pb.y + pc.y, pa.z + pb.z + pc.z}) < 0) {
            std::swap(tri[1], tri[2]);
        }
        double u[3];
        double lo = 2, hi = -1;
        for (int k = 0; k < 3; ++k) {
            u[k] = Longitude(points[tri[k]]);
            if (!IsPole(points[tri[k]])) {
                lo = std::fmin(lo, u[k]);
                hi = std::fmax(hi, u[k]);
            }
        }
        bool wraps = hi - lo > 0.5;
        double sum = 0;
        int count = 0;
        for (int k = 0; k < 3; ++k) {
            if (IsPole(points[tri[k]])) continue;
            if (wraps && u[k] < 0.5) u[k] += 1.0;
            sum += u[k];
            ++count;
        }
        std::array<uint16_t, 3> face;
        for (int k = 0; k < 3; ++k) {
            if (IsPole(points[tri[k]])) {
                // A pole has no longitude of its own: give each face its own copy.
                face[k] = vertex(tri[k], sum / count, 2 + int(t));
            } else {
                face[k] = vertex(tri[k], u[k], u[k] >= 1.0 ? 1 : 0);
            }
        }
        mesh.faces.push_back(face);
    }
    return mesh;
}

TdsScene BallScene()
{
    TdsScene scene;
    scene.materials.push_back({"Zircon", {{20, 30, 60}}, {{120, 200, 255}}, {{255, 255, 255}}, "RADIALMA.PNG"});
    scene.meshes.push_back(BuildGeoSphere("GeoSphere0", 200.0f, 11));
    scene.lights.push_back({"Omni01", {-400, -600, 500}, {1.0f, 0.95f, 0.9f}});
    return scene;
}
