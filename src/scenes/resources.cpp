#include "scenes/resources.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fx/screen_quad.h"
#include "image/png_load.h"
#include "model/mesh_load.h"

namespace {

// The loading picture as a 255 × 255-pixel square at the top-left of a cleared screen.
void DrawLoadingScreen(RenderInterface& render, TextureId loading)
{
    ScreenVertex block[4] = {};
    render.SetDepthTest(false);
    render.ClearFrame();
    render.BindTexture(loading);
    render.SetBlendMode(BlendMode::AlphaBlendBilinear);
    DrawScreenQuad(render, block, 0.0f, 0.0f, 255.0f, 255.0f, 1.0f, 1.0f, 2.0f, 2.0f, 1.0f);
}

struct TextureFile {
    TextureId SceneTextures::*id;
    const char* name;
};

// The two pictures loaded before the loading screen, then the rest, in loading order.
const TextureFile FirstTextures[] = {
    {&SceneTextures::whiteFlash, "megadata\\whiteflash.png"},
    {&SceneTextures::loading, "megadata\\loading.png"},
};
const TextureFile LaterTextures[] = {
    {&SceneTextures::studioReflections, "megadata\\envmap.png"},
    {&SceneTextures::slicedBallSkin, "megadata\\radialmap.png"},
    {&SceneTextures::vertNoise, "megadata\\vertnoise.png"},
    {&SceneTextures::ballReflections, "megadata\\envmap2.png"},
    {&SceneTextures::ringsBackground, "megadata\\tori_radial_bg1024.png"},
    {&SceneTextures::titleCreditsBackground, "megadata\\backdropbg_megademo1024.png"},
    {&SceneTextures::lineNoise, "megadata\\linenoise.png"},
    {&SceneTextures::credits, "megadata\\credits1024.png"},
    {&SceneTextures::creditsModelSkin, "megadata\\ondtexture512.png"},
    {&SceneTextures::latticePanel, "megadata\\grid128.png"},
    {&SceneTextures::swirlsBackground, "megadata\\vortex_kasser1024.png"},
    {&SceneTextures::squareEmblem, "megadata\\torusdesign.png"},
    {&SceneTextures::greetingsCard, "megadata\\greets.png"},
};
constexpr int FirstTextureCount = sizeof FirstTextures / sizeof FirstTextures[0];
constexpr int LaterTextureCount = sizeof LaterTextures / sizeof LaterTextures[0];
constexpr int PictureCount = FirstTextureCount + LaterTextureCount;

const TextureFile& PictureInLoadingOrder(int i)
{
    return i < FirstTextureCount ? FirstTextures[i] : LaterTextures[i - FirstTextureCount];
}

// Every picture of the data set decoded on worker threads, in loading order, from the
// moment the program knows its data folder: one worker while the window and the GL
// context are being made (they need the other processor), a second one once the uploads
// begin. The main thread takes the pictures in order and alone calls GL, so texture ids,
// order and the loading screen are as they would be one by one. At most the whole data
// set's pixels (about 18 MB) wait at once.
class PictureDecoder {
public:
    PictureDecoder() { AddWorker(); }
    ~PictureDecoder()
    {
        stop_ = true;
        for (std::thread& worker : workers_) worker.join();
    }

    void AddWorker()
    {
        if (workers_.size() < MaxWorkers) workers_.emplace_back([this] { DecodeInOrder(); });
    }

    // Picture i of the loading order, waiting for its decoding; null when it cannot be
    // loaded. Each picture is taken once.
    std::unique_ptr<Image> Take(int i)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (workers_.empty() && !done_[i]) {
            images_[i].reset(LoadPngImage(PictureInLoadingOrder(i).name));
            done_[i] = true;
        }
        decoded_.wait(lock, [&] { return done_[i]; });
        return std::move(images_[i]);
    }

private:
    void DecodeInOrder()
    {
        for (int i = next_++; i < PictureCount && !stop_; i = next_++) {
            std::unique_ptr<Image> image(LoadPngImage(PictureInLoadingOrder(i).name));
            std::lock_guard<std::mutex> lock(mutex_);
            images_[i] = std::move(image);
            done_[i] = true;
            decoded_.notify_all();
        }
    }

#ifdef __EMSCRIPTEN__
    // A page has no threads, and the browser has decoded its pictures already.
    static constexpr size_t MaxWorkers = 0;
#else
    static constexpr size_t MaxWorkers = 2;
#endif
    std::vector<std::thread> workers_;
    std::atomic<int> next_{0};
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::condition_variable decoded_;
    std::unique_ptr<Image> images_[PictureCount];
    bool done_[PictureCount] = {};
};

// Written by StartPictureDecoding and StopPictureDecoding (main thread only).
std::unique_ptr<PictureDecoder> g_decoder;

// The next picture for the upload loop, decoded ahead.
std::unique_ptr<Image> TakePicture(int i)
{
    StartPictureDecoding();
    g_decoder->AddWorker();
    return g_decoder->Take(i);
}

// Uploads picture i of the loading order; fails, with the workers stopped, for a
// picture that could not be loaded.
LoadFailure UploadPicture(RenderInterface& render, SceneTextures& textures, int i)
{
    std::unique_ptr<Image> image = TakePicture(i);
    const TextureFile& file = PictureInLoadingOrder(i);
    if (!image) {
        StopPictureDecoding();
        return {std::string("Can't load image ") + file.name};
    }
    textures.*file.id = render.CreateTexture(*image);
    return {};
}

}  // namespace

LoadFailure LoadTexture(RenderInterface& render, const char* fileName, TextureId* texture)
{
    // The decoded picture is needed only until GL holds its copy.
    const std::unique_ptr<Image> image(LoadPngImage(fileName));
    if (!image) return {std::string("Can't load image ") + fileName};
    *texture = render.CreateTexture(*image);
    return {};
}

LoadFailure LoadModel(Mesh* mesh, const char* fileName, const char* objectName)
{
    switch (LoadMesh3ds(mesh, fileName, objectName, ChunkTrace::Shown)) {
    case ModelRead::CannotOpen:
        return {std::string("Can't open model ") + fileName};
    case ModelRead::OutOfMemory:
        return {std::string("Out of memory reading model ") + fileName};
    case ModelRead::Found:
    case ModelRead::ObjectMissing:   // an empty mesh, said on standard error; the demo plays on
        break;
    }
    return {};
}

void StartPictureDecoding()
{
    if (!g_decoder) g_decoder.reset(new PictureDecoder);
}

void StopPictureDecoding()
{
    g_decoder.reset();
}

LoadedResources LoadResources(RenderInterface& render, const std::function<void()>& presentLoadingScreen)
{
    LoadedResources loaded{};
    Resources& resources = loaded.resources;
    for (int i = 0; i < PictureCount; ++i) {
        loaded.failure = UploadPicture(render, resources.textures, i);
        if (loaded.failure.Failed()) return loaded;
        if (i + 1 == FirstTextureCount) {
            DrawLoadingScreen(render, resources.textures.loading);
            presentLoadingScreen();
        }
    }
    StopPictureDecoding();

    struct ModelFile { Mesh* mesh; const char* fileName; const char* objectName; };
    const ModelFile models[] = {
        {&resources.ball, "megadata\\ball2420.3ds", "GeoSphere0"},
        {&resources.crystal, "megadata\\ting5.3ds", "front"},
    };
    for (const ModelFile& model : models) {
        loaded.failure = LoadModel(model.mesh, model.fileName, model.objectName);
        if (loaded.failure.Failed()) {
            FreeResources(&resources);
            return loaded;
        }
    }
    return loaded;
}

void FreeResources(Resources* resources)
{
    for (Mesh* mesh : {&resources->ball, &resources->crystal}) FreeMesh(mesh);
}
