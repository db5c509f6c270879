// Model loading and the per-frame deformations on a 2,420-face geodesic sphere.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "../tests/model/write3ds.h"
#include "model/3dsload.h"
#include "model/deform.h"
#include "model/mesh_load.h"

namespace {

// The sphere file, written once per process and removed at exit.
struct SphereFile {
    std::string path;
    SphereFile()
    {
        char name[] = "/tmp/zircon_sphere_XXXXXX";
        int fd = mkstemp(name);
        if (fd >= 0) close(fd);
        path = name;
        WriteBytesToFile(path, Make3dsFile({BuildGeoSphere("GeoSphere0", 11)}));
    }
    ~SphereFile() { std::remove(path.c_str()); }
};

const std::string& SpherePath()
{
    static SphereFile file;
    return file.path;
}

void BM_Read3dsObject(benchmark::State& state)
{
    const char* path = SpherePath().c_str();
    for (auto _ : state) {
        TriMeshData data{};
        Read3dsObject(&data, path, "GeoSphere0");
        benchmark::DoNotOptimize(data.positions);
        FreeTriMeshData(&data);
    }
}
BENCHMARK(BM_Read3dsObject);

void BM_LoadMesh3dsSphere(benchmark::State& state)
{
    const char* path = SpherePath().c_str();
    int faces = 0;
    for (auto _ : state) {
        Mesh mesh;
        LoadMesh3ds(&mesh, path, "GeoSphere0");
        faces = mesh.faceBlock->count;
        FreeMesh(&mesh);
    }
    state.counters["faces"] = faces;
}
BENCHMARK(BM_LoadMesh3dsSphere);

// One frame of the twisting ball: radial factors applied from rest, then the twist.
void BM_ScaleAndTwistSphere(benchmark::State& state)
{
    Mesh mesh;
    LoadMesh3ds(&mesh, SpherePath().c_str(), "GeoSphere0");
    int n = mesh.vertexBlock->count;
    std::vector<float> factors(static_cast<size_t>(n));
    for (int i = 0; i < n; i++) factors[static_cast<size_t>(i)] = 100.0f + static_cast<float>(i % 7);
    float t = 0.0f;
    for (auto _ : state) {
        ScaleMeshFromRest(&mesh, factors.data());
        TwistMesh(&mesh, t);
        t += 0.01f;
        benchmark::DoNotOptimize(mesh.vertexBlock->positions[0]);
    }
    state.counters["vertices"] = n;
    state.SetItemsProcessed(state.iterations() * n);
    FreeMesh(&mesh);
}
BENCHMARK(BM_ScaleAndTwistSphere);

}  // namespace
