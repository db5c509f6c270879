// Texture-coordinate scaling and the environment map from averaged face normals.
#include "fx/environment_map.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <tuple>

void AllocateEnvironmentMapSums(EnvironmentMapSums* sums)
{
    sums->normalSums.assign(EnvironmentMapCapacity, {0.0f, 0.0f, 0.0f});
    sums->faceCounts.assign(EnvironmentMapCapacity, 0);
}

void FreeEnvironmentMapSums(EnvironmentMapSums* sums)
{
    *sums = EnvironmentMapSums{};
}

void ScaleTexCoords(ScreenVertex* records, int32_t vertexCount, float factor)
{
    for (int32_t i = 0; i < vertexCount; ++i) {
        ScreenVertex& r = records[i];
        r.u2 *= factor;
        r.v2 *= factor;
        r.u *= factor;
        r.v *= factor;
    }
}

bool FaceNormal(float* x, float* y, float* z, const ScreenVertex& p0, const ScreenVertex& p1,
                const ScreenVertex& p2)
{
    const double e1x = static_cast<double>(p1.x) - p0.x, e1y = static_cast<double>(p1.y) - p0.y,
                 e1z = static_cast<double>(p1.z) - p0.z;
    const double e2x = static_cast<double>(p2.x) - p0.x, e2y = static_cast<double>(p2.y) - p0.y,
                 e2z = static_cast<double>(p2.z) - p0.z;
    const double nx = e1y * e2z - e1z * e2y;
    const double ny = e1z * e2x - e1x * e2z;
    const double nz = e1x * e2y - e1y * e2x;
    const double lengthSquared = nx * nx + ny * ny + nz * nz;
    // From float inputs the products cannot underflow to 0 or overflow in double, so only
    // a true zero area or a non-finite position leaves the triangle without a normal.
    if (!(lengthSquared > 0.0) || !std::isfinite(lengthSquared)) {
        *x = *y = *z = 0.0f;
        return false;
    }
    const double r = 1.0 / std::sqrt(lengthSquared);
    *x = static_cast<float>(nx * r);
    *y = static_cast<float>(ny * r);
    *z = static_cast<float>(nz * r);
    return true;
}

void ApplyEnvironmentMap(EnvironmentMapSums& sums, ScreenVertex* records, const Face* faces, int32_t vertexCount,
                         int32_t faceCount)
{
    // Vertices the sums can hold; faces reaching outside them are left out whole.
    const int32_t held = static_cast<int32_t>(
        std::min({sums.normalSums.size(), sums.faceCounts.size(), size_t(EnvironmentMapCapacity)}));
    const int32_t mapped = std::clamp(vertexCount, 0, held);
    auto fits = [mapped](int32_t index) { return index >= 0 && index < mapped; };

    for (int32_t f = 0; f < faceCount; ++f) {
        const Face& face = faces[f];
        if (!fits(face.index[0]) || !fits(face.index[1]) || !fits(face.index[2])) continue;
        float nx, ny, nz;
        if (!FaceNormal(&nx, &ny, &nz, *face.vertex[0], *face.vertex[1], *face.vertex[2])) continue;
        for (int k = 0; k < 3; ++k) {
            const int32_t i = face.index[k];
            sums.normalSums[i][0] += nx;
            sums.normalSums[i][1] += ny;
            sums.normalSums[i][2] += nz;
            sums.faceCounts[i] += 1;
        }
    }

    for (int32_t i = 0; i < vertexCount; ++i) {
        ScreenVertex& r = records[i];
        if (i < mapped) {
            const double c = sums.faceCounts[i] != 0 ? 1.0 / sums.faceCounts[i] : 1.0;
            // The mean normal's y gives u and its x gives v; its z is not used.
            r.u = static_cast<float>((c * sums.normalSums[i][1] + 1.0) * 0.5);
            r.v = static_cast<float>((c * sums.normalSums[i][0] + 1.0) * 0.5);
            sums.normalSums[i][0] = sums.normalSums[i][1] = sums.normalSums[i][2] = 0.0f;
            sums.faceCounts[i] = 0;
        } else {
            r.u = r.v = 0.5f;   // beyond the sums: as a vertex without faces
        }
        r.red = r.green = r.blue = 1.0f;
        r.alpha = 1.0f;
    }
}

CoincidentVertices FindCoincidentVertices(const VertexBlock& rest, const Face* faces, int32_t faceCount)
{
    CoincidentVertices groups;
    const int32_t count = std::max(rest.count, 0);
    std::vector<int32_t> order(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) order[static_cast<size_t>(i)] = i;
    // Positions compared by their bits, -0 taken as +0: a total order even where a
    // position is not a number.
    auto bits = [](float f) {
        f += 0.0f;
        uint32_t b;
        std::memcpy(&b, &f, sizeof b);
        return b;
    };
    auto key = [&](int32_t i) {
        const Vector3& p = rest.positions[i];
        return std::make_tuple(bits(p.x), bits(p.y), bits(p.z));
    };
    // Equal positions end up next to each other, in vertex order.
    std::sort(order.begin(), order.end(),
              [&](int32_t a, int32_t b) { return std::make_tuple(key(a), a) < std::make_tuple(key(b), b); });

    std::vector<float> facesAround(static_cast<size_t>(count), 0.0f);
    for (int32_t f = 0; f < faceCount; ++f)
        for (int32_t index : faces[f].index)
            if (index >= 0 && index < count) facesAround[static_cast<size_t>(index)] += 1.0f;

    for (size_t start = 0; start < order.size();) {
        size_t end = start + 1;
        while (end < order.size() && key(order[end]) == key(order[start])) ++end;
        if (end - start > 1) {
            for (size_t k = start; k < end; ++k) {
                groups.members.push_back(order[k]);
                groups.faceCounts.push_back(facesAround[static_cast<size_t>(order[k])]);
            }
            groups.groupEnds.push_back(static_cast<int32_t>(groups.members.size()));
        }
        start = end;
    }
    return groups;
}

void ShareEnvironmentCoords(ScreenVertex* records, const CoincidentVertices& groups)
{
    size_t begin = 0;
    for (int32_t groupEnd : groups.groupEnds) {
        const size_t end = static_cast<size_t>(groupEnd);
        // Each member's u is (mean of its faces' y + 1)/2, so the face-weighted mean of the
        // members' u is that of the whole fan; likewise v.
        double weight = 0.0, u = 0.0, v = 0.0;
        for (size_t k = begin; k < end; ++k) {
            const ScreenVertex& r = records[groups.members[k]];
            weight += groups.faceCounts[k];
            u += groups.faceCounts[k] * static_cast<double>(r.u);
            v += groups.faceCounts[k] * static_cast<double>(r.v);
        }
        if (weight > 0.0)
            for (size_t k = begin; k < end; ++k) {
                ScreenVertex& r = records[groups.members[k]];
                r.u = static_cast<float>(u / weight);
                r.v = static_cast<float>(v / weight);
            }
        begin = end;
    }
}
