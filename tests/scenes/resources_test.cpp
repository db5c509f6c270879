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

// A load of the data set into the recorder, the loading screen presented on it.
LoadedResources LoadInto(CallRecorder& r)
{
    testing::internal::CaptureStdout();   // the model reader's chunk trace
    LoadedResources loaded = LoadResources(r, [&r] { r.PresentFrame(); });
    testing::internal::GetCapturedStdout();
    return loaded;
}

// A copy of the data set that the program reads for the life of the object: `change`
// alters the copy (a file removed or broken) before it is taken as the data folder.
class DataSetCopy {
public:
    template <typename Change>
    DataSetCopy(const char* tag, Change change)
        : folder_(std::filesystem::path(testing::TempDir()) / (tag + std::to_string(getpid())))
    {
        std::filesystem::remove_all(folder_);
        std::filesystem::copy("megadata", folder_);
        change(folder_);
        SetDataFolder(folder_.string());
    }
    ~DataSetCopy()
    {
        SetDataFolder("megadata");
        std::filesystem::remove_all(folder_);
    }

private:
    std::filesystem::path folder_;
};

// How many textures the recorder made.
int TexturesCreated(const CallRecorder& r)
{
    int created = 0;
    for (const std::string& op : r.Ops()) created += op == "CreateTexture";
    return created;
}

TEST(LoadResources, LoadsInOrderAndDrawsTheLoadingScreenOnceAfterTheSecondTexture)
{
    CallRecorder r;
    const uint32_t base = r.NextTextureId;
    LoadedResources loaded = LoadInto(r);
    EXPECT_FALSE(loaded.failure.Failed());
    Resources& resources = loaded.resources;

    // The loading screen is presented once, right after it is drawn.
    std::vector<std::string> expected = {"CreateTexture", "CreateTexture", "SetDepthTest",   "ClearFrame",
                                         "BindTexture",   "SetBlendMode",  "DrawQuad",       "PresentFrame"};
    for (int i = 0; i < 13; ++i) expected.push_back("CreateTexture");
    ASSERT_EQ(r.Ops(), expected);
    EXPECT_EQ(r.calls[2].a, 0);   // depth test off
    EXPECT_EQ(r.calls[4].a, static_cast<int>(resources.textures.loading.name));
    EXPECT_EQ(r.calls[5].a, static_cast<int>(BlendMode::AlphaBlendBilinear));

    // Ids are handed out in loading order.
    const SceneTextures& t = resources.textures;
    const TextureId inOrder[] = {t.whiteFlash, t.loading,   t.studioReflections, t.slicedBallSkin, t.vertNoise,
                                 t.ballReflections,    t.ringsBackground, t.titleCreditsBackground, t.lineNoise, t.credits,
                                 t.creditsModelSkin,        t.latticePanel,      t.swirlsBackground, t.squareEmblem, t.greetingsCard};
    for (uint32_t i = 0; i < 15; ++i) EXPECT_EQ(inOrder[i].name, base + 1 + i) << i;

    // The ball, loaded once for both ball scenes, and the credits model.
    ASSERT_NE(resources.ball.faceBlock, nullptr);
    EXPECT_EQ(resources.ball.faceBlock->count, 2420);
    ASSERT_NE(resources.crystal.faceBlock, nullptr);
    EXPECT_GT(resources.crystal.faceBlock->count, 0);
    FreeResources(&resources);
}

TEST(LoadResources, AMissingOrBrokenPictureFailsNamingTheFileAsGiven)
{
    CallRecorder r;
    TextureId texture;
    EXPECT_EQ(LoadTexture(r, "megadata\\no_such_picture.png", &texture).text,
              "Can't load image megadata\\no_such_picture.png");
    // A model file is no picture.
    EXPECT_EQ(LoadTexture(r, "megadata\\ting5.3ds", &texture).text, "Can't load image megadata\\ting5.3ds");
    EXPECT_TRUE(r.calls.empty());   // no texture was made
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
    CallRecorder r;
    std::string text;
    {
        const DataSetCopy copy("zircon_broken_", [](const std::filesystem::path& folder) {
            std::ofstream(folder / "credits1024.png", std::ios::binary | std::ios::trunc) << "not a picture";
        });
        text = LoadInto(r).failure.text;
    }
    EXPECT_EQ(text, "Can't load image megadata\\credits1024.png");
    // The two first pictures, then the seven before the credits picture: no texture after it.
    EXPECT_EQ(TexturesCreated(r), 9);
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
        const uint32_t base = recorder.NextTextureId;
        if (startedEarly) StartPictureDecoding();
        LoadedResources loaded = LoadInto(recorder);
        EXPECT_FALSE(loaded.failure.Failed());
        EXPECT_EQ(recorder.pictures, expected) << startedEarly;
        EXPECT_EQ(loaded.resources.textures.whiteFlash.name, base + 1);
        EXPECT_EQ(loaded.resources.textures.greetingsCard.name, base + 15);
        FreeResources(&loaded.resources);
    }
}

TEST(PictureDecoding, StoppingBeforeLoadingDropsThePicturesAndLoadingStillWorks)
{
    // A program that ends before loading (no window, no GL context) stops the workers.
    StartPictureDecoding();
    StopPictureDecoding();
    StopPictureDecoding();   // stopping twice is harmless
    CallRecorder r;
    LoadedResources loaded = LoadInto(r);
    EXPECT_FALSE(loaded.failure.Failed());
    EXPECT_EQ(TexturesCreated(r), 15);
    FreeResources(&loaded.resources);
}

TEST(PictureDecoding, ABrokenFirstPictureFailsBeforeTheLoadingScreen)
{
    CallRecorder r;
    bool presented = false;
    std::string text;
    {
        const DataSetCopy copy("zircon_broken_first_", [](const std::filesystem::path& folder) {
            std::filesystem::remove(folder / "whiteflash.png");
        });
        StartPictureDecoding();
        text = LoadResources(r, [&presented] { presented = true; }).failure.text;
    }
    EXPECT_EQ(text, "Can't load image megadata\\whiteflash.png");
    EXPECT_TRUE(r.calls.empty());   // no texture, no loading screen
    EXPECT_FALSE(presented);
}

// The data set without its last model: the failure names it, and the two balls read
// before it are freed with the failed load.
TEST(LoadResources, ALaterModelThatCannotBeOpenedLeavesNoMeshBehind)
{
    const DataSetCopy copy("zircon_no_front_", [](const std::filesystem::path& folder) {
        std::filesystem::remove(folder / "ting5.3ds");
    });
    CallRecorder r;
    LoadedResources loaded = LoadInto(r);
    EXPECT_EQ(loaded.failure.text, "Can't open model megadata\\ting5.3ds");
    for (const Mesh* mesh : {&loaded.resources.ball, &loaded.resources.crystal}) {
        EXPECT_EQ(mesh->vertexBlock, nullptr);
        EXPECT_EQ(mesh->faceBlock, nullptr);
    }
}

}  // namespace
