// The per-frame software pipeline at the demo's mesh sizes: transform + projection of
// 1,212 and 20,000 vertices, list building + depth keys + sort of 2,420 and 40,000 faces
// (with std::sort of the same entries beside it), and the triangle clipper on triangles
// that straddle one and two side planes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <time.h>
#include <vector>

#include "null_renderer.h"
#include "gfx/render_interface.h"
#include "pipeline/clip.h"
#include "pipeline/polygon_list.h"
#include "pipeline/transform.h"


namespace {

// A closed mesh held in plain vectors: vertex block, faces and their records.
struct BenchMesh {
    std::vector<Vector3> positions;
    std::vector<ScreenVertex> screen;
    std::vector<Face> faces;
    VertexBlock block{};

    void AddFace(int a, int b, int c)
    {
        faces.push_back(Face{{&screen[a], &screen[b], &screen[c]}, {a, b, c}, 0});
    }
};

// Latitude-longitude sphere of radius 100: 55 segments and 23 rings give 1,212 vertices
// and 2,420 faces, the size of the demo's ball.
BenchMesh Sphere()
{
    const int segments = 55, rings = 23;
    BenchMesh m;
    m.positions.push_back({0, 100, 0});
    for (int r = 1; r < rings; ++r)
        for (int s = 0; s < segments; ++s) {
            const float t = 3.14159265f * r / rings, p = 6.2831853f * s / segments;
            m.positions.push_back({100 * std::sin(t) * std::cos(p), 100 * std::cos(t),
                                   100 * std::sin(t) * std::sin(p)});
        }
    m.positions.push_back({0, -100, 0});
    m.screen.resize(m.positions.size());
    const int last = int(m.positions.size()) - 1;
    auto at = [&](int r, int s) { return 1 + (r - 1) * segments + s % segments; };
    for (int s = 0; s < segments; ++s) {
        m.AddFace(0, at(1, s + 1), at(1, s));
        m.AddFace(last, at(rings - 1, s), at(rings - 1, s + 1));
        for (int r = 1; r < rings - 1; ++r) {
            m.AddFace(at(r, s), at(r, s + 1), at(r + 1, s));
            m.AddFace(at(r, s + 1), at(r + 1, s + 1), at(r + 1, s));
        }
    }
    m.block = VertexBlock{m.positions.data(), m.screen.data(), int32_t(m.positions.size())};
    return m;
}

// Torus of 200 x 100 vertices (20,000 vertices, 40,000 faces), radii 100 and 35.
BenchMesh Torus()
{
    const int around = 200, tube = 100;
    BenchMesh m;
    for (int i = 0; i < around; ++i)
        for (int j = 0; j < tube; ++j) {
            const float a = 6.2831853f * i / around, b = 6.2831853f * j / tube;
            const float r = 100 + 35 * std::cos(b);
            m.positions.push_back({r * std::cos(a), 35 * std::sin(b), r * std::sin(a)});
        }
    m.screen.resize(m.positions.size());
    auto at = [&](int i, int j) { return (i % around) * tube + j % tube; };
    for (int i = 0; i < around; ++i)
        for (int j = 0; j < tube; ++j) {
            m.AddFace(at(i, j), at(i + 1, j), at(i, j + 1));
            m.AddFace(at(i + 1, j), at(i + 1, j + 1), at(i, j + 1));
        }
    m.block = VertexBlock{m.positions.data(), m.screen.data(), int32_t(m.positions.size())};
    return m;
}

BenchMesh MeshWithVertices(int64_t count)
{
    return count <= 1212 ? Sphere() : Torus();
}

// The scenes' camera: 61-degree field of view, close enough that part of the mesh
// leaves the view, so the classification sees every kind of vertex.
void SceneView(Matrix* view, Camera* camera)
{
    *camera = Camera{};
    camera->positionX = 40;
    camera->positionY = 30;
    camera->positionZ = -170;
    camera->roll = 10;
    camera->fieldOfView = 61;
    camera->unitFactor = 1;
    camera->projectionScaleX = camera->projectionScaleY = 1;
    const double t = std::tan(0.532325436671575);
    camera->focalX = camera->focalY = float(1 / t);
    MatrixLookAt(view, *camera);
    MatrixScale(view, Vector3{camera->focalX, camera->focalY, 1});
}

void BM_TransformProject(benchmark::State& state)
{
    BenchMesh mesh = MeshWithVertices(state.range(0));
    Matrix view;
    Camera camera;
    SceneView(&view, &camera);
    for (auto _ : state) {
        TransformMeshVertices(mesh.block, view);
        ProjectMeshVertices(mesh.block, camera);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * mesh.block.count);
    state.counters["vertices"] = mesh.block.count;
}
BENCHMARK(BM_TransformProject)->Arg(1212)->Arg(20000);

// The sphere (up to 2,420 faces) or the torus, transformed and projected by the scene view.
BenchMesh ProjectedMesh(int64_t faces)
{
    BenchMesh mesh = faces <= 2420 ? Sphere() : Torus();
    Matrix view;
    Camera camera;
    SceneView(&view, &camera);
    TransformMeshVertices(mesh.block, view);
    ProjectMeshVertices(mesh.block, camera);
    return mesh;
}

// Build + keys + sort, with either the list's own sort or std::sort of the same entries.
template <bool UseStdSort>
void BM_BuildKeysSort(benchmark::State& state)
{
    BenchMesh mesh = ProjectedMesh(state.range(0));
    const int32_t count = int32_t(mesh.faces.size());
    PolygonList list = AllocatePolygonList(count);
    for (auto _ : state) {
        BuildPolygonList(list, mesh.faces.data(), count);
        ComputeNegatedDepthKeys(list, mesh.faces.data(), count);
        if (UseStdSort)
            std::sort(list.entries, list.entries + count,
                      [](const PolygonListEntry& a, const PolygonListEntry& b) { return a.key > b.key; });
        else
            SortPolygonList(list, count);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * count);
    state.counters["faces"] = count;
    FreePolygonList(&list);
}
BENCHMARK_TEMPLATE(BM_BuildKeysSort, false)->Name("BM_BuildKeysSort")->Arg(2420)->Arg(40000);
BENCHMARK_TEMPLATE(BM_BuildKeysSort, true)->Name("BM_BuildKeysStdSort")->Arg(2420)->Arg(40000);

// Processor time of this thread in microseconds: time spent preempted by other work on
// a shared machine does not count.
double ThreadMicroseconds()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e6 + t.tv_nsec * 1e-3;
}

double Median(std::vector<double>& v)
{
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

// The two sorts alone on identical freshly keyed lists, timed alternately in the same
// loop so both see the same machine state. Each sort is timed by the thread's processor
// clock, and the ratio ours / std::sort is taken from the medians of those timings.
void BM_SortVersusStdSort(benchmark::State& state)
{
    BenchMesh mesh = ProjectedMesh(state.range(0));
    const int32_t count = int32_t(mesh.faces.size());
    PolygonList list = AllocatePolygonList(count);
    BuildPolygonList(list, mesh.faces.data(), count);
    ComputeNegatedDepthKeys(list, mesh.faces.data(), count);
    const std::vector<PolygonListEntry> keyed(list.entries, list.entries + count);
    std::vector<double> ours, standard;
    ours.reserve(1 << 20);
    standard.reserve(1 << 20);
    for (auto _ : state) {
        std::copy(keyed.begin(), keyed.end(), list.entries);
        const double t0 = ThreadMicroseconds();
        SortPolygonList(list, count);
        benchmark::ClobberMemory();
        const double t1 = ThreadMicroseconds();
        std::copy(keyed.begin(), keyed.end(), list.entries);
        const double t2 = ThreadMicroseconds();
        std::sort(list.entries, list.entries + count,
                  [](const PolygonListEntry& a, const PolygonListEntry& b) { return a.key > b.key; });
        benchmark::ClobberMemory();
        const double t3 = ThreadMicroseconds();
        if (ours.size() < ours.capacity()) {
            ours.push_back(t1 - t0);
            standard.push_back(t3 - t2);
        }
    }
    const double oursMedian = Median(ours), standardMedian = Median(standard);
    state.counters["ours_us"] = oursMedian;
    state.counters["std_us"] = standardMedian;
    state.counters["ratio"] = oursMedian / standardMedian;
    FreePolygonList(&list);
}
BENCHMARK(BM_SortVersusStdSort)->Arg(2420)->Arg(40000);


// 1,024 random triangles in front of the eye, each with one corner beyond the right plane
// (planes = 1), or one corner beyond both the right and the top plane (planes = 2).
void BM_ClipTriangles(benchmark::State& state)
{
    const bool twoPlanes = state.range(0) == 2;
    std::mt19937 rng(1);
    std::uniform_real_distribution<float> inside(-0.8f, 0.8f), beyond(1.2f, 3.0f), depth(5, 50);
    std::vector<ScreenVertex> v(3 * 1024);
    for (size_t i = 0; i < v.size(); ++i) {
        const float z = depth(rng);
        const bool corner = i % 3 == 0;
        v[i] = ScreenVertex{};
        v[i].x = (corner ? beyond(rng) : inside(rng)) * z;
        v[i].y = (corner && twoPlanes ? beyond(rng) : inside(rng)) * z;
        v[i].z = z;
        ComputeClipFlags(&v[i]);
    }
    NullRenderer null;
    for (auto _ : state) {
        for (size_t i = 0; i < v.size(); i += 3) DrawClippedTriangle(null, ViewToScreen, &v[i], &v[i + 1], &v[i + 2], 1);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 1024);
    state.counters["pieces_per_tri"] = double(null.triangles) / (double(state.iterations()) * 1024);
}
BENCHMARK(BM_ClipTriangles)->ArgName("planes")->Arg(1)->Arg(2);

}  // namespace
