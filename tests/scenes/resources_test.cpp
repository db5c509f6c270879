// Loading order, the loading screen and the meshes, with the generated data set.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <fstream>
#include <stdexcept>
#include <string>

#include "image/png_load.h"
#include "model/mesh.h"
#include "platform/data_file.h"
#include "shell/report.h"
#include "scenes/resources.h"
#include "support/call_recorder.h"

namespace {

TEST(LoadResources, LoadsInOrderAndDrawsTheLoadingScreenOnceAfterTheSecondTexture)
{
    ScopedCallRecorder r;
    const uint32_t base = r.recorder.NextTextureId;
    testing::internal::CaptureStdout();   // the model reader's chunk trace
    EXPECT_FALSE(LoadResources().Failed());
    testing::internal::GetCapturedStdout();

    std::vector<std::string> expected = {"CreateTexture", "CreateTexture", "SetDepthTest",   "ClearFrame",
                                         "BindTexture",   "SetBlendMode",  "SetBlendMode",   "DrawQuad",
                                         "PresentFrame"};
    for (int i = 0; i < 13; ++i) expected.push_back("CreateTexture");
    ASSERT_EQ(r.recorder.Ops(), expected);
    EXPECT_EQ(r.recorder.calls[2].a, 0);   // depth test off
    EXPECT_EQ(r.recorder.calls[4].a, static_cast<int>(LoadingTexture.name));
    EXPECT_EQ(r.recorder.calls[5].a, 2);
    EXPECT_EQ(r.recorder.calls[6].a, 10);

    // Ids are handed out in loading order.
    const TextureId inOrder[] = {WhiteFlashTexture, LoadingTexture,   EnvMapTexture,      RadialMapTexture,
                                 VertNoiseTexture,  EnvMap2Texture,   ToriRadialTexture,  BackdropTexture,
                                 LineNoiseTexture,  CreditsTexture,   OndTexture,         GridTexture,
                                 VortexTexture,     TorusDesignTexture, GreetsTexture};
    for (uint32_t i = 0; i < 15; ++i) EXPECT_EQ(inOrder[i].name, base + 1 + i) << i;

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

TEST(LoadResources, AMissingOrBrokenPictureFailsNamingTheFileAsGiven)
{
    ScopedCallRecorder r;
    TextureId texture;
    EXPECT_EQ(LoadTexture("megadata\\no_such_picture.png", &texture).text,
              "Can't load image megadata\\no_such_picture.png");
    // A model file is no picture.
    EXPECT_EQ(LoadTexture("megadata\\ting5.3ds", &texture).text, "Can't load image megadata\\ting5.3ds");
    EXPECT_TRUE(r.recorder.calls.empty());   // no texture was made
}

TEST(LoadResources, AnUnopenableModelFailsButAMissingObjectPlaysOn)
{
    Mesh mesh;
    EXPECT_EQ(LoadModel(&mesh, "megadata\\no_such_model.3ds", "front").text,
              "Can't open model megadata\\no_such_model.3ds");
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(LoadModel(&mesh, "megadata\\ting5.3ds", "no such object").Failed());
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Can't find object no such object in model megadata\\ting5.3ds\n");
    ASSERT_NE(mesh.faceBlock, nullptr);
    EXPECT_EQ(mesh.faceBlock->count, 0);
    FreeMesh(&mesh);
}

TEST(LoadResources, ABrokenLaterPictureFailsAfterThePicturesBeforeIt)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(testing::TempDir()) / ("zircon_broken_" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::copy("megadata", folder);
    std::ofstream(folder / "credits1024.png", std::ios::binary | std::ios::trunc) << "not a picture";
    SetDataFolder(folder.string());
    ScopedCallRecorder r;
    testing::internal::CaptureStdout();
    const std::string text = LoadResources().text;
    testing::internal::GetCapturedStdout();
    SetDataFolder("megadata");
    fs::remove_all(folder);
    EXPECT_EQ(text, "Can't load image megadata\\credits1024.png");
    // The two first pictures, then the seven before the credits picture: no texture after it.
    int created = 0;
    for (const std::string& op : r.recorder.Ops()) created += op == "CreateTexture";
    EXPECT_EQ(created, 9);
}

// Records what each uploaded picture holds: its size and a hash of its pixels.
class PictureRecorder : public CallRecorder {
public:
    std::vector<std::string> pictures;
    TextureId CreateTexture(const Image& image) override
    {
        pictures.push_back(Describe(image));
        return CallRecorder::CreateTexture(image);
    }
    static std::string Describe(const Image& image)
    {
        uint64_t hash = 1469598103934665603ull;
        for (size_t i = 0; i < image.BufferSize(); ++i) hash = (hash ^ image.Pixels()[i]) * 1099511628211ull;
        return std::to_string(image.Width()) + "x" + std::to_string(image.Height()) + ":" + std::to_string(hash);
    }
};

void FreeLoadedMeshes()
{
    FreeMesh(&BallMeshA);
    FreeMesh(&BallMeshB);
    FreeMesh(&FrontMesh);
}

TEST(PictureDecoding, PicturesDecodedAheadReachGlInLoadingOrderWithTheSameIds)
{
    const char* const names[15] = {
        "whiteflash.png",   "loading.png",     "envmap.png",        "radialmap.png",
        "vertnoise.png",    "envmap2.png",     "tori_radial_bg1024.png", "backdropbg_megademo1024.png",
        "linenoise.png",    "credits1024.png", "ondtexture512.png", "grid128.png",
        "vortex_kasser1024.png", "torusdesign.png", "greets.png"};
    std::vector<std::string> expected;
    for (const char* name : names) {
        const std::unique_ptr<Image> image(LoadPngImage(("megadata\\" + std::string(name)).c_str()));
        ASSERT_NE(image, nullptr) << name;
        expected.push_back(PictureRecorder::Describe(*image));
    }
    // Started early (as the program does before making its window), and started by
    // LoadResources itself: the same pictures in the same order either way.
    for (bool startedEarly : {true, false}) {
        PictureRecorder recorder;
        RenderInterface* previous = Renderer;
        Renderer = &recorder;
        const uint32_t base = recorder.NextTextureId;
        if (startedEarly) StartPictureDecoding();
        testing::internal::CaptureStdout();
        EXPECT_FALSE(LoadResources().Failed());
        testing::internal::GetCapturedStdout();
        Renderer = previous;
        EXPECT_EQ(recorder.pictures, expected) << startedEarly;
        EXPECT_EQ(WhiteFlashTexture.name, base + 1);
        EXPECT_EQ(GreetsTexture.name, base + 15);
        FreeLoadedMeshes();
    }
}

TEST(PictureDecoding, StoppingBeforeLoadingDropsThePicturesAndLoadingStillWorks)
{
    // A program that ends before loading (no window, no GL context) stops the workers.
    StartPictureDecoding();
    StopPictureDecoding();
    StopPictureDecoding();   // stopping twice is harmless
    ScopedCallRecorder r;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(LoadResources().Failed());
    testing::internal::GetCapturedStdout();
    int created = 0;
    for (const std::string& op : r.recorder.Ops()) created += op == "CreateTexture";
    EXPECT_EQ(created, 15);
    FreeLoadedMeshes();
}

TEST(PictureDecoding, ABrokenFirstPictureFailsBeforeTheLoadingScreen)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(testing::TempDir()) / ("zircon_broken_first_" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::copy("megadata", folder);
    fs::remove(folder / "whiteflash.png");
    SetDataFolder(folder.string());
    StartPictureDecoding();
    ScopedCallRecorder r;
    const std::string text = LoadResources().text;
    SetDataFolder("megadata");
    fs::remove_all(folder);
    EXPECT_EQ(text, "Can't load image megadata\\whiteflash.png");
    EXPECT_TRUE(r.recorder.calls.empty());   // no texture, no loading screen
}

}  // namespace
