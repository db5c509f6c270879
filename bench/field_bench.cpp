// The implicit-surface scene's per-frame geometry on its real motion: field evaluation,
// marching cubes and the scene's mesh fill, with the two edge-cache layouts.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <time.h>
#include <vector>

#include "null_renderer.h"
#include "fx/field_polygonizer.h"
#include "fx/marching_cubes_tables.h"
#include "fx/shape_field.h"
#include "fx/sorted_faces.h"
#include "pipeline/clip.h"
#include "fx/surface_mesh.h"
#include "gfx/render_interface.h"
#include "model/mesh.h"
#include "pipeline/transform.h"
#include "scenes/scene_kit.h"

namespace {

// The field and polygonizer storage the scene owns, allocated once for every benchmark.
ShapeField g_field = AllocatedShapeField();
FieldSurface g_surface = AllocatedFieldSurface();

double ThreadMicroseconds()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e6 + t.tv_nsec * 1e-3;
}

double Median(std::vector<double> v)
{
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

// The scene's phase at a DemoTime after its first frame: the value set from DemoTime
// plus the per-frame step.
float ScenePhase(int demoTime)
{
    return float(float((demoTime - 57046) * 0.0001) + 0.003);
}

// 200 frames spread evenly over the scene, DemoTime 54000 to 78000.
constexpr int PhaseCount = 200;
int FrameDemoTime(int i)
{
    return 54000 + i * (78000 - 54000) / PhaseCount;
}

struct PhaseTimes {
    std::vector<double> evaluate, polygonize, fill, frame, draw;
};

// Per phase the fastest of its runs (other work on a shared machine only ever adds);
// the median and the worst are taken over the 200 phases.
void ReportPhases(benchmark::State& state, const std::vector<PhaseTimes>& phases, const char* name,
                  std::vector<double> PhaseTimes::*part)
{
    std::vector<double> best;
    for (const PhaseTimes& p : phases)
        if (!(p.*part).empty()) best.push_back(*std::min_element((p.*part).begin(), (p.*part).end()));
    if (best.empty()) return;
    state.counters[std::string(name) + "_med_us"] = Median(best);
    state.counters[std::string(name) + "_max_us"] = *std::max_element(best.begin(), best.end());
}


// One scene frame per iteration, cycling through the 200 phases: the previous frame's
// positions, then EvaluateShapeField, MoveShapeSources, PolygonizeShapeField and the mesh
// fill, each timed by the thread's processor clock.
void BM_SceneFrame(benchmark::State& state)
{
    std::vector<PhaseTimes> phases(PhaseCount);
    // The scene's mesh: room for 20000 vertices and 40000 faces.
    Mesh mesh;
    AllocateMesh(&mesh, 20000, 40000);
    int phase = 0, largestVertices = 0, largestTriangles = 0;
    std::vector<double> vertices;
    for (auto _ : state) {
        const int demoTime = FrameDemoTime(phase);
        MoveShapeSources(g_field, ScenePhase(demoTime - 16));   // about one frame earlier
        const double t0 = ThreadMicroseconds();
        EvaluateShapeField(g_field, *g_surface.edgeCache);
        const double t1 = ThreadMicroseconds();
        MoveShapeSources(g_field, ScenePhase(demoTime));
        PolygonizeShapeField(g_field, g_surface);
        const double t2 = ThreadMicroseconds();
        FillSurfaceMesh(mesh, g_surface, 20000, 40000);
        benchmark::DoNotOptimize(mesh.faceBlock->faces);
        const double t3 = ThreadMicroseconds();

        PhaseTimes& p = phases[phase];
        p.evaluate.push_back(t1 - t0);
        p.polygonize.push_back(t2 - t1);
        p.fill.push_back(t3 - t2);
        p.frame.push_back(t3 - t0);
        largestVertices = std::max(largestVertices, int(g_surface.vertexCount));
        largestTriangles = std::max(largestTriangles, int(g_surface.indexCount / 3));
        if (vertices.size() < PhaseCount) vertices.push_back(g_surface.vertexCount);
        phase = (phase + 1) % PhaseCount;
    }
    ReportPhases(state, phases, "eval", &PhaseTimes::evaluate);
    ReportPhases(state, phases, "poly", &PhaseTimes::polygonize);
    ReportPhases(state, phases, "fill", &PhaseTimes::fill);
    ReportPhases(state, phases, "frame", &PhaseTimes::frame);
    state.counters["verts_med"] = Median(vertices);
    state.counters["verts_max"] = largestVertices;
    state.counters["tris_max"] = largestTriangles;
    FreeMesh(&mesh);
}
// Ten passes over the 200 phases.
BENCHMARK(BM_SceneFrame)->Iterations(10 * PhaseCount)->Unit(benchmark::kMicrosecond);


// The rest of the scene's surface work on the same 200 phases, after the geometry: the
// mesh fill, transform, environment coordinates, projection, sort and the front-face walk
// into a renderer that draws nothing, seen from the camera at phase 0, (0, 0, 650)
// looking at (-100, 0, 0).
void BM_SurfaceDrawing(benchmark::State& state)
{
    std::vector<PhaseTimes> phases(PhaseCount);
    Mesh mesh;
    AllocateMesh(&mesh, 20000, 40000);
    PolygonList list = AllocatePolygonList(50000);
    Camera camera{};
    InitSceneCamera(&camera);
    camera.positionZ = 650.0f;
    camera.targetX = -100.0f;
    Matrix matrix;
    NullRenderer null;
    int phase = 0;
    for (auto _ : state) {
        const int demoTime = FrameDemoTime(phase);
        MoveShapeSources(g_field, ScenePhase(demoTime - 16));
        EvaluateShapeField(g_field, *g_surface.edgeCache);
        MoveShapeSources(g_field, ScenePhase(demoTime));
        PolygonizeShapeField(g_field, g_surface);
        const double t0 = ThreadMicroseconds();
        FillSurfaceMesh(mesh, g_surface, 20000, 40000);
        BuildViewMatrix(&matrix, camera);
        TransformMeshVertices(*mesh.vertexBlock, matrix);
        SetSurfaceEnvironmentCoordinates(mesh, g_surface, matrix);
        ProjectMeshVertices(*mesh.vertexBlock, camera);
        DrawSortedFrontFaces(null, ViewToScreen, list, SortMeshFaces(mesh, list, DepthOrder::NearFirst));
        const double t1 = ThreadMicroseconds();
        phases[phase].draw.push_back(t1 - t0);
        phase = (phase + 1) % PhaseCount;
    }
    ReportPhases(state, phases, "draw", &PhaseTimes::draw);
    FreePolygonList(&list);
    FreeMesh(&mesh);
}
BENCHMARK(BM_SurfaceDrawing)->Iterations(10 * PhaseCount)->Unit(benchmark::kMicrosecond);

EdgeVertexTable TableCache;
EdgeVertexHash HashCache;

// The two edge-cache layouts on the same fields: per iteration one phase's field is
// evaluated, then polygonized with the direct table and, from the same visited flags,
// with the hash table, in alternating order. table_us and hash_us are medians over the
// phases of each phase's fastest run; ratio = table / hash.
void BM_EdgeCacheLayouts(benchmark::State& state)
{
    std::vector<PhaseTimes> table(PhaseCount), hashed(PhaseCount);
    static uint8_t visited[FieldPointCount];
    int phase = 0, round = 0;
    for (auto _ : state) {
        const int demoTime = FrameDemoTime(phase);
        MoveShapeSources(g_field, ScenePhase(demoTime - 16));
        EvaluateShapeField(g_field, *g_surface.edgeCache);
        MoveShapeSources(g_field, ScenePhase(demoTime));
        std::copy(g_field.visited.begin(), g_field.visited.end(), visited);
        for (int k = 0; k < 2; ++k) {
            const bool useHash = (k + round) % 2 == 1;
            std::copy(visited, visited + FieldPointCount, g_field.visited.begin());
            const double t0 = ThreadMicroseconds();
            if (useHash)
                PolygonizeShapeFieldWith(g_field, g_surface, HashCache);
            else
                PolygonizeShapeFieldWith(g_field, g_surface, TableCache);
            const double t1 = ThreadMicroseconds();
            (useHash ? hashed : table)[phase].polygonize.push_back(t1 - t0);
        }
        if (++phase == PhaseCount) {
            phase = 0;
            ++round;
        }
    }
    auto medianOfBest = [](const std::vector<PhaseTimes>& phases) {
        std::vector<double> best;
        for (const PhaseTimes& p : phases)
            best.push_back(*std::min_element(p.polygonize.begin(), p.polygonize.end()));
        return Median(best);
    };
    const double tableMedian = medianOfBest(table), hashMedian = medianOfBest(hashed);
    state.counters["table_us"] = tableMedian;
    state.counters["hash_us"] = hashMedian;
    state.counters["ratio"] = tableMedian / hashMedian;
}
BENCHMARK(BM_EdgeCacheLayouts)->Iterations(10 * PhaseCount)->Unit(benchmark::kMicrosecond);

// The edge-cache lookups of one frame, in the polygonizer's order: per processed cell
// (same boxes, slices and visited flags), the key of each crossed edge. Reads the field
// and visited flags as EvaluateShapeField left them.
std::vector<int32_t> EdgeLookups()
{
    static const int corner[8][3] = {{0, 1, 0}, {1, 1, 0}, {1, 1, 1}, {0, 1, 1},
                                     {0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}};
    static const int ends[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                    {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    std::vector<uint8_t> visited(g_field.visited);
    std::vector<int32_t> keys;
    const int a = FieldSourceReach;
    for (int z = 0; z <= 27; ++z)
        for (const Vector3& s : g_field.sources) {
            if (z < TruncateGridBound(s.z - a - 1) || z > TruncateGridBound(s.z + a + 1)) continue;
            const int x1 = std::min(28, TruncateGridBound(s.x + a + 1));
            const int y1 = std::min(28, TruncateGridBound(s.y + a + 1));
            for (int y = std::max(0, TruncateGridBound(s.y - a - 1)); y < y1; ++y)
                for (int x = std::max(0, TruncateGridBound(s.x - a - 1)); x < x1; ++x) {
                    uint8_t& v = visited[FieldPointIndex(x, y, z)];
                    if (v) continue;
                    v = 1;
                    int cube = 0;
                    for (int k = 0; k < 8; ++k)
                        cube |= std::signbit(g_field.values[FieldPointIndex(x + corner[k][0], y + corner[k][1],
                                                                         z + corner[k][2])]) << k;
                    for (int e = 0; e < 12; ++e) {
                        if (!(MarchingCubesEdgeTable[cube] >> e & 1)) continue;
                        const int* p = corner[ends[e][0]];
                        const int* q = corner[ends[e][1]];
                        const int axis = p[0] != q[0] ? 0 : p[1] != q[1] ? 1 : 2;
                        keys.push_back(FieldEdgeKey(x + std::min(p[0], q[0]), y + std::min(p[1], q[1]),
                                                    z + std::min(p[2], q[2]), axis));
                    }
                }
        }
    return keys;
}

// The cache alone: the lookups of the 200 frames replayed per iteration, each frame from
// an emptied cache, a miss recording the next vertex number. Argument: 0 the direct table,
// 1 the hash table.
void BM_EdgeCacheReplay(benchmark::State& state)
{
    std::vector<std::vector<int32_t>> frames;
    size_t lookups = 0;
    for (int i = 0; i < PhaseCount; ++i) {
        MoveShapeSources(g_field, ScenePhase(FrameDemoTime(i)));
        EvaluateShapeField(g_field, *g_surface.edgeCache);
        frames.push_back(EdgeLookups());
        lookups += frames.back().size();
    }
    auto replay = [&frames](auto& cache) {
        int32_t checksum = 0;
        for (const std::vector<int32_t>& keys : frames) {
            EmptyEdgeCache(cache);
            int32_t next = 0;
            for (int32_t key : keys) {
                int32_t vertex = FindEdgeVertex(cache, key);
                if (vertex < 0) RecordEdgeVertex(cache, key, vertex = next++);
                checksum += vertex;
            }
        }
        return checksum;
    };
    for (auto _ : state) {
        if (state.range(0) == 0)
            benchmark::DoNotOptimize(replay(TableCache));
        else
            benchmark::DoNotOptimize(replay(HashCache));
    }
    state.counters["lookups_per_frame"] = double(lookups) / PhaseCount;
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(lookups));
}
BENCHMARK(BM_EdgeCacheReplay)->ArgName("hash")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
