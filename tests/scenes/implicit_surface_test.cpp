// The implicit-surface scene and its pieces, call by call without GL: the spinning
// square, the surface mesh fill and its environment mapping, and the scene's frames.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "fx/field_polygonizer.h"
#include "fx/sorted_faces.h"
#include "fx/spinning_square.h"
#include "fx/surface_mesh.h"
#include "scenes/implicit_surface.h"
#include "scenes/resources.h"
#include "scenes/scene_kit.h"
#include "scenes/timeline.h"
#include "support/call_recorder.h"
#include "support/played_scene.h"

namespace {

// The polygonizer output the implicit-surface scene owns, allocated once for the cases here.
FieldSurface g_surface = AllocatedFieldSurface();

Camera SceneCamera()
{
    Camera camera{};
    InitSceneCamera(&camera);
    return camera;
}

TEST(SpinningSquare, AtAngleZeroIsUprightWithUGrowingRightAndVDown)
{
    CallRecorder r;
    DrawSpinningSquare(r, SceneCamera(), -0.5f, 0.25f, 5.0f, 10.0f, 0.0f);
    ASSERT_EQ(r.Ops(), (std::vector<std::string>{"DrawTriangle", "DrawTriangle"}));
    const std::vector<ScreenVertex>& first = r.calls[0].vertices;
    const std::vector<ScreenVertex>& second = r.calls[1].vertices;
    // Corners in order (-h, -h), (h, -h), (h, h), (-h, h): triangles (1, 2, 3) and (1, 4, 3).
    const ScreenVertex corner[4] = {first[0], first[1], first[2], second[1]};
    EXPECT_EQ(std::memcmp(&second[0], &first[0], sizeof(ScreenVertex)), 0);
    EXPECT_EQ(std::memcmp(&second[2], &first[2], sizeof(ScreenVertex)), 0);
    const float x[4] = {-5, 5, 5, -5}, y[4] = {-5, -5, 5, 5};
    const float screenX[4] = {-1.0f, 0.0f, 0.0f, -1.0f}, screenY[4] = {0.75f, 0.75f, -0.25f, -0.25f};
    const float u[4] = {0, 1, 1, 0}, v[4] = {0, 0, 1, 1};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(corner[i].x, x[i]);
        EXPECT_EQ(corner[i].y, y[i]);
        EXPECT_EQ(corner[i].z, 10.0f);
        EXPECT_FLOAT_EQ(corner[i].screenX, screenX[i]);
        EXPECT_FLOAT_EQ(corner[i].screenY, screenY[i]);
        EXPECT_EQ(corner[i].u, u[i]);
        EXPECT_EQ(corner[i].v, v[i]);
        EXPECT_EQ(corner[i].red, 1.0f);
        EXPECT_EQ(corner[i].green, 1.0f);
        EXPECT_EQ(corner[i].blue, 1.0f);
        EXPECT_EQ(corner[i].alpha, 1.0f);
    }
}

TEST(SpinningSquare, DepthScalesTheSizeNotTheOffsetAndTheAngleTurnsTheCorners)
{
    CallRecorder r;
    Camera camera = SceneCamera();
    DrawSpinningSquare(r, camera, 0.3f, -0.2f, 4.0f, 8.0f, 0.0f);
    DrawSpinningSquare(r, camera, 0.3f, -0.2f, 4.0f, 16.0f, 0.0f);
    const float quarterTurn = 1.5707964f;
    DrawSpinningSquare(r, camera, 0.3f, -0.2f, 4.0f, 8.0f, quarterTurn);
    camera.projectionScaleX = 2.0f;
    DrawSpinningSquare(r, camera, 0.3f, -0.2f, 4.0f, 8.0f, 0.0f);
    ASSERT_EQ(r.calls.size(), 8u);
    const ScreenVertex& near = r.calls[0].vertices[0];
    const ScreenVertex& far = r.calls[2].vertices[0];
    EXPECT_FLOAT_EQ(near.screenX - 0.3f, -0.5f);
    EXPECT_FLOAT_EQ(far.screenX - 0.3f, -0.25f);
    EXPECT_FLOAT_EQ(far.screenY + 0.2f, 0.25f);
    // A quarter turn takes corner (-h, -h) to (h, -h).
    const ScreenVertex& turned = r.calls[4].vertices[0];
    EXPECT_NEAR(turned.x, 4.0f, 1e-5);
    EXPECT_NEAR(turned.y, -4.0f, 1e-5);
    EXPECT_EQ(turned.u, 0.0f);
    EXPECT_EQ(turned.v, 0.0f);
    EXPECT_FLOAT_EQ(r.calls[6].vertices[0].screenX - 0.3f, -1.0f);
    EXPECT_FLOAT_EQ(r.calls[6].vertices[0].screenY, near.screenY);
}

// A mesh with room for `vertices` and `faces`, freed at the end of the test.
struct TestMesh {
    Mesh mesh;
    TestMesh(int vertices, int faces) { AllocateMesh(&mesh, vertices, faces); }
    ~TestMesh() { FreeMesh(&mesh); }
};

// A hand-made polygonizer output: vertices i at (i, 2i, 3i), the given indices.
void SetSurfaceOutput(int vertexCount, const std::vector<int32_t>& indices)
{
    g_surface.vertexCount = vertexCount;
    for (int i = 0; i < vertexCount; ++i) {
        g_surface.vertices[i] = Vector3{float(i), float(2 * i), float(3 * i)};
        g_surface.normals[i] = Vector3{1, 0, 0};
    }
    g_surface.indexCount = static_cast<int32_t>(indices.size());
    std::copy(indices.begin(), indices.end(), g_surface.indices.begin());
}

TEST(FillSurfaceMesh, CopiesPositionsAndFacesInIndexOrderAndTouchesNothingElseInTheRecords)
{
    TestMesh m(8, 8);
    for (int i = 0; i < 8; ++i) m.mesh.vertexBlock->screen[i].u = 7.0f;
    SetSurfaceOutput(4, {0, 1, 2, 2, 1, 3, 3, 0});   // two whole triangles and a stray pair
    FillSurfaceMesh(m.mesh, g_surface, 8, 8);
    EXPECT_EQ(m.mesh.vertexBlock->count, 4);
    ASSERT_EQ(m.mesh.faceBlock->count, 2);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(m.mesh.vertexBlock->positions[i].z, 3.0f * i);
        const ScreenVertex& s = m.mesh.vertexBlock->screen[i];
        EXPECT_EQ(s.red, 1.0f);
        EXPECT_EQ(s.green, 1.0f);
        EXPECT_EQ(s.blue, 1.0f);
        EXPECT_EQ(s.alpha, 1.0f);
        EXPECT_EQ(s.u, 7.0f);
    }
    const Face& second = m.mesh.faceBlock->faces[1];
    const int32_t expected[3] = {2, 1, 3};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(second.index[k], expected[k]);
        EXPECT_EQ(second.vertex[k], &m.mesh.vertexBlock->screen[expected[k]]);
    }
    // A frame without triangles leaves an empty mesh.
    SetSurfaceOutput(0, {});
    FillSurfaceMesh(m.mesh, g_surface, 8, 8);
    EXPECT_EQ(m.mesh.vertexBlock->count, 0);
    EXPECT_EQ(m.mesh.faceBlock->count, 0);
}

TEST(FillSurfaceMesh, KeepsWithinTheMeshDroppingTrianglesThatReferToVerticesBeyondIt)
{
    // Vertices 0..5, the mesh holds 4: triangles using 4 or 5 are dropped, later ones kept.
    SetSurfaceOutput(6, {0, 1, 4, 0, 1, 2, 5, 2, 3, 1, 2, 3, -1, 0, 1});
    TestMesh m(4, 3);
    FillSurfaceMesh(m.mesh, g_surface, 4, 3);
    EXPECT_EQ(m.mesh.vertexBlock->count, 4);
    ASSERT_EQ(m.mesh.faceBlock->count, 2);
    EXPECT_EQ(m.mesh.faceBlock->faces[0].index[2], 2);
    EXPECT_EQ(m.mesh.faceBlock->faces[1].index[0], 1);
    // The face room ends the copy: one face only.
    TestMesh small(4, 1);
    FillSurfaceMesh(small.mesh, g_surface, 4, 1);
    EXPECT_EQ(small.mesh.faceBlock->count, 1);
    EXPECT_EQ(small.mesh.faceBlock->faces[0].index[2], 2);
}

TEST(SurfaceEnvironmentCoordinates, AreThreeTenthsOfTheTransformedNormalsTranslationIncluded)
{
    SetSurfaceOutput(3, {0, 1, 2});
    g_surface.normals[0] = Vector3{1, 0, 0};
    g_surface.normals[1] = Vector3{0, -1, 0};
    g_surface.normals[2] = Vector3{0.6f, 0.8f, 0};
    TestMesh m(3, 1);
    FillSurfaceMesh(m.mesh, g_surface, 3, 1);
    Matrix matrix;
    MatrixIdentity(&matrix);
    matrix.m[0] = 2.0f;   // x doubled
    matrix.m[3] = 0.5f;   // then shifted
    matrix.m[7] = -1.0f;
    matrix.m[11] = 650.0f;
    SetSurfaceEnvironmentCoordinates(m.mesh, g_surface, matrix);
    const float nx[3] = {2.5f, 0.5f, 1.7f}, ny[3] = {-1.0f, -2.0f, -0.2f};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_FLOAT_EQ(g_surface.normalsView[i].x, nx[i]);
        EXPECT_FLOAT_EQ(g_surface.normalsView[i].y, ny[i]);
        EXPECT_EQ(g_surface.normalsView[i].z, 650.0f);
        const ScreenVertex& s = m.mesh.vertexBlock->screen[i];
        EXPECT_EQ(s.u, static_cast<float>(0.3 * g_surface.normalsView[i].x + 0.5));
        EXPECT_EQ(s.v, static_cast<float>(0.3 * g_surface.normalsView[i].y + 0.5));
    }
    EXPECT_EQ(m.mesh.vertexBlock->screen[0].u, static_cast<float>(0.3 * 2.5 + 0.5));
}

TEST(SurfaceEnvironmentCoordinates, NeverTransformMoreNormalsThanTheBuffersHold)
{
    // A mesh larger than the normal buffers: only their SurfaceVertexCapacity entries are
    // read and written (the address checker catches any more).
    TestMesh m(SurfaceVertexCapacity + 100, 1);
    Matrix matrix;
    MatrixIdentity(&matrix);
    g_surface.normals[SurfaceVertexCapacity - 1] = Vector3{0.5f, 0.25f, 0};
    SetSurfaceEnvironmentCoordinates(m.mesh, g_surface, matrix);
    EXPECT_EQ(m.mesh.vertexBlock->screen[SurfaceVertexCapacity - 1].u, static_cast<float>(0.3 * 0.5f + 0.5));
    EXPECT_EQ(m.mesh.vertexBlock->screen[SurfaceVertexCapacity].u, 0.0f);
}

// Phase and camera formulas of the scene, for the expected values.
float PhaseSetAt(int32_t demoTime) { return static_cast<float>((demoTime - 57046) * 0.0001); }
float PhaseAfterFrameAt(int32_t demoTime)
{
    return static_cast<float>(static_cast<double>(PhaseSetAt(demoTime)) + 0.003);
}

class ImplicitSurfaceSceneRun : public ::testing::Test {
protected:
    Resources resources{};
    std::vector<RecordedCall> calls;   // of the last Play's presented frames, entry included
    float phase = 0.0f;                // the carried phase the last Play left
    int32_t start = 0;

    void SetUp() override
    {
        resources.textures.ringsBackground = TextureId{501};
        resources.textures.squareEmblem = TextureId{502};
        resources.textures.studioReflections = TextureId{503};
        resources.textures.greetingsCard = TextureId{504};
    }
    std::vector<int32_t> presentTimes;   // of the last Play
    // The player begun at `from`, `frames` frames of the 60 fps clock (fewer at the
    // scene's end).
    void Play(int32_t from, int frames)
    {
        PlayedScene run(SceneId::ImplicitSurface, from, resources);
        run.Play(frames);
        start = from;
        calls.clear();
        for (const auto& frame : run.Frames()) calls.insert(calls.end(), frame.begin(), frame.end());
        presentTimes = run.recorder.presentTimes;
        phase = run.States().implicitSurface.phase;
    }
    int32_t FrameTime(int n) const { return start + static_cast<int32_t>(n * 1000LL / 60); }
    // The calls of frame n (0-based), from its first SetBlendMode(OpaqueNearest) to its ClearFrame.
    std::vector<RecordedCall> FrameCalls(int n) const
    {
        std::vector<RecordedCall> frame;
        int seen = -1;
        for (const RecordedCall& c : calls) {
            if (c.op == "SetBlendMode" && c.a == static_cast<int>(BlendMode::OpaqueNearest)) ++seen;
            if (seen == n) frame.push_back(c);
        }
        return frame;
    }
    static std::vector<std::string> Ops(const std::vector<RecordedCall>& list)
    {
        std::vector<std::string> ops;
        for (const RecordedCall& c : list) ops.push_back(c.op);
        return ops;
    }
};

// The expected order of one frame's calls with `surface` surface triangles.
std::vector<std::string> FrameOps(size_t surface)
{
    std::vector<std::string> ops = {"SetBlendMode", "BindTexture", "DrawTriangleAffine", "DrawTriangleAffine",
                                    "SetDepthTest", "BindSecondTexture", "BindTexture", "SetBlendMode",
                                    "DrawTriangle", "DrawTriangle", "DrawTriangle", "DrawTriangle",
                                    "BindTexture", "SetDepthTest", "SetBlendMode", "BindTexture"};
    ops.insert(ops.end(), surface, "DrawTriangle");
    for (const char* op : {"SetDepthTest", "SetBlendMode", "BindTexture", "DrawQuad", "PresentFrame", "ClearFrame"})
        ops.push_back(op);
    return ops;
}

TEST_F(ImplicitSurfaceSceneRun, EntryThenEachFrameInTheDesignedOrder)
{
    Play(54000, 3);
    // Entry: depth test on, bilinear; then the first frame's backdrop mode.
    using Call = std::pair<std::string, int>;
    const Call opening[3] = {{"SetDepthTest", 1}, {"SetBlendMode", static_cast<int>(BlendMode::OpaqueBilinear)}, {"SetBlendMode", static_cast<int>(BlendMode::OpaqueNearest)}};
    ASSERT_GE(calls.size(), 3u);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(Call(calls[i].op, calls[i].a), opening[i]) << i;

    for (int n = 0; n < 3; ++n) {
        SCOPED_TRACE(n);
        const std::vector<RecordedCall> frame = FrameCalls(n);
        ASSERT_GT(frame.size(), 22u);
        const size_t surface = frame.size() - 22;
        EXPECT_GT(surface, 500u);
        ASSERT_EQ(Ops(frame), FrameOps(surface));
        // Texture, depth test and mode arguments in call order: background; squares
        // (depth off, nothing on unit 1, alpha blending); surface; greetings.
        const size_t after = 16 + surface;
        const int alphaBlend = static_cast<int>(BlendMode::AlphaBlendBilinear);
        const int trilinear = static_cast<int>(BlendMode::OpaqueTrilinearMinFilter);
        const std::pair<size_t, int> arguments[] = {{1, 501},   {4, 0},      {5, 0},          {6, 502},
                                                    {7, alphaBlend}, {12, 503}, {13, 1},     {14, trilinear},
                                                    {15, 503},  {after, 0},  {after + 1, alphaBlend},
                                                    {after + 2, 504}};
        for (const auto& [call, argument] : arguments) EXPECT_EQ(frame[call].a, argument) << "call " << call;
        // The greetings: the whole picture at layout (700, 200), at level 0 this early.
        const std::vector<ScreenVertex>& quad = frame[after + 3].vertices;
        EXPECT_FLOAT_EQ(quad[0].screenX, 700 * 0.0015649452f - 1 + 0.00078125f);
        EXPECT_EQ(quad[2].u, 255 * 0.003921569f);
        EXPECT_EQ(quad[0].alpha, 0.0f);
        // Every surface triangle turns toward the eye, nearest first.
        float previousDepth = -1e30f;
        for (size_t i = 16; i < after; ++i) {
            const std::vector<ScreenVertex>& t = frame[i].vertices;
            EXPECT_GT(FaceFacing(t[0], t[1], t[2]), 0.0f);
            const float depth = (t[2].z + t[1].z) + t[0].z;
            EXPECT_GE(depth, previousDepth);
            previousDepth = depth;
        }
    }
    // The phase the scene leaves: set from the last frame's demo time, plus one step.
    EXPECT_EQ(phase, PhaseAfterFrameAt(FrameTime(2)));
}

TEST_F(ImplicitSurfaceSceneRun, SquaresSpinWithThePhaseBeforeItIsSetFromTheDemoTime)
{
    Play(54000, 2);
    for (int n = 0; n < 2; ++n) {
        SCOPED_TRACE(n);
        // 0 on the first frame, then the previous frame's value from its demo time plus 0.003.
        const float t = n == 0 ? 0.0f : PhaseAfterFrameAt(FrameTime(n - 1));
        const std::vector<RecordedCall> frame = FrameCalls(n);
        ASSERT_GT(frame.size(), 12u);
        const double spins[2] = {6 * t, -5 * t};
        const double rates[2] = {4.3, 4.7};
        for (int square = 0; square < 2; ++square) {
            const ScreenVertex& corner = frame[8 + 2 * square].vertices[0];   // (-5, -5) turned
            const float depth = static_cast<float>(4 * std::sin(rates[square] * t) + 10);
            const float angle = static_cast<float>(spins[square]);
            EXPECT_EQ(corner.z, depth);
            EXPECT_FLOAT_EQ(corner.x, -5 * std::cos(angle) + 5 * std::sin(angle));
            EXPECT_FLOAT_EQ(corner.screenX, -0.5f + corner.x / depth);
            EXPECT_FLOAT_EQ(corner.screenY, -corner.y / depth);
        }
    }
}

TEST_F(ImplicitSurfaceSceneRun, GreetingsFlashOnTheBeatsAndFadeByTwoHundredthsPerFrame)
{
    // Frame times 69000, 69016, 69033 (before the window), 69050 and 69066 (inside).
    Play(69000, 5);
    const float inside = 1.0f - 0.02f;
    const float levels[5] = {0, 0, 0, inside, inside};
    for (int n = 0; n < 5; ++n) EXPECT_EQ(FrameCalls(n).at(FrameCalls(n).size() - 3).vertices.at(0).alpha, levels[n]) << n;

    // 69383 is the last frame inside; then one step per frame.
    Play(69350, 6);
    float level = inside;
    for (int n = 0; n < 6; ++n) {
        if (FrameTime(n) >= 69400) level -= 0.02f;
        EXPECT_EQ(FrameCalls(n).at(FrameCalls(n).size() - 3).vertices.at(0).alpha, level) << FrameTime(n);
    }
    // The third window is the last one: inside it the level is the same.
    Play(75050, 1);
    EXPECT_EQ(FrameCalls(0).at(FrameCalls(0).size() - 3).vertices.at(0).alpha, inside);
}

TEST_F(ImplicitSurfaceSceneRun, EndsAt78000)
{
    // 77990, then 78006: the closing scene's.
    Play(77990, 5);
    EXPECT_EQ(presentTimes, (std::vector<int32_t>{77990}));
}

}  // namespace
