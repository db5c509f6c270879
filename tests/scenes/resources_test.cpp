// Loading order, the loading screen and the meshes, with the generated data set.
#include <gtest/gtest.h>

#include "model/mesh.h"
#include "scenes/resources.h"
#include "support/call_recorder.h"

namespace {

TEST(LoadResources, LoadsInOrderAndDrawsTheLoadingScreenOnceAfterTheSecondTexture)
{
    ScopedCallRecorder r;
    const uint32_t base = r.recorder.NextTextureId;
    testing::internal::CaptureStdout();   // the model reader's chunk trace
    LoadResources();
    testing::internal::GetCapturedStdout();

    std::vector<std::string> expected = {"CreateTexture", "CreateTexture", "SetRenderState", "ClearFrame",
                                         "BindTexture",   "SetBlendMode",  "SetBlendMode",   "DrawQuad",
                                         "PresentFrame"};
    for (int i = 0; i < 13; ++i) expected.push_back("CreateTexture");
    ASSERT_EQ(r.recorder.Ops(), expected);
    EXPECT_EQ(r.recorder.calls[2].a, 1);
    EXPECT_EQ(r.recorder.calls[2].b, 0);
    EXPECT_EQ(r.recorder.calls[4].a, static_cast<int>(LoadingTexture));
    EXPECT_EQ(r.recorder.calls[5].a, 2);
    EXPECT_EQ(r.recorder.calls[6].a, 10);

    // Ids are handed out in loading order.
    const TextureId inOrder[] = {WhiteFlashTexture, LoadingTexture,   EnvMapTexture,      RadialMapTexture,
                                 VertNoiseTexture,  EnvMap2Texture,   ToriRadialTexture,  BackdropTexture,
                                 LineNoiseTexture,  CreditsTexture,   OndTexture,         GridTexture,
                                 VortexTexture,     TorusDesignTexture, GreetsTexture};
    for (uint32_t i = 0; i < 15; ++i) EXPECT_EQ(inOrder[i], base + 1 + i) << i;

    // Two independent copies of the ball and the credits model.
    ASSERT_NE(BallMeshA.faceBlock, nullptr);
    ASSERT_NE(BallMeshB.faceBlock, nullptr);
    EXPECT_EQ(BallMeshA.faceBlock->count, 2420);
    EXPECT_EQ(BallMeshB.faceBlock->count, 2420);
    EXPECT_NE(BallMeshA.vertexBlock->positions, BallMeshB.vertexBlock->positions);
    BallMeshB.vertexBlock->positions[0].x += 5.0f;
    EXPECT_NE(BallMeshA.vertexBlock->positions[0].x, BallMeshB.vertexBlock->positions[0].x);
    ASSERT_NE(FrontMesh.faceBlock, nullptr);
    EXPECT_GT(FrontMesh.faceBlock->count, 0);
    FreeMesh(&BallMeshA);
    FreeMesh(&BallMeshB);
    FreeMesh(&FrontMesh);
}

}  // namespace
