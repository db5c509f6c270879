// Texture loading as the demo does it at start-up: every PNG of the data set decoded
// into an image, and (with an X display) each image made into a mipmapped texture.
// The data set is $ZIRCON_DATA_DIR, or megadata in the working directory.
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "shell/report.h"
#include "shell/window.h"
#include "gfx/device.h"
#include "gfx/render_interface.h"
#include "image/png_load.h"

namespace {

namespace fs = std::filesystem;

// The PNG files of the data set in name order; empty when the folder is missing.
std::vector<std::string> DataSetPngs()
{
    const char* dir = std::getenv("ZIRCON_DATA_DIR");
    const fs::path folder = dir && *dir ? dir : "megadata";
    std::vector<std::string> files;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (it->path().extension() == ".png") files.push_back(it->path().string());
    std::sort(files.begin(), files.end());
    return files;
}

// Decodes every file; the pixel bytes of the images that came out.
int64_t DecodeAll(const std::vector<std::string>& files, std::vector<std::unique_ptr<Image>>* images)
{
    int64_t bytes = 0;
    for (const std::string& file : files) {
        std::unique_ptr<Image> image(LoadPngImage(file.c_str()));
        if (!image) continue;   // damaged files of a test set are refused, not loaded
        bytes += int64_t{image->Width()} * image->Height() * 4;
        images->push_back(std::move(image));
    }
    return bytes;
}

void BM_DecodeDataSet(benchmark::State& state)
{
    const std::vector<std::string> files = DataSetPngs();
    if (files.empty()) {
        state.SkipWithError("no PNG files: set ZIRCON_DATA_DIR or run beside megadata/");
        return;
    }
    int64_t bytes = 0, images = 0;
    for (auto _ : state) {
        std::vector<std::unique_ptr<Image>> decoded;
        bytes += DecodeAll(files, &decoded);
        images += static_cast<int64_t>(decoded.size());
    }
    state.SetBytesProcessed(bytes);
    state.counters["images"] = benchmark::Counter(static_cast<double>(images), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_DecodeDataSet)->Unit(benchmark::kMillisecond);

// The window, context and render interface the demo makes; null without a display.
RenderInterface* MakeRenderer()
{
    static RenderInterface* renderer = nullptr;
    static bool tried = false;
    if (tried) return renderer;
    tried = true;
    DialogsEnabled = false;
    MainWindowOptions options;
    options.desktopWindow = true;
    if (!CreateMainWindow(options)) return nullptr;
    DeviceRequest request;
    request.display = DisplayUse::Window;
    DeviceResult result;
    std::string failure;
    renderer = OpenDevice(request, &result, &failure).release();   // kept to the end of the process
    return renderer;
}

void BM_DecodeAndCreateTextures(benchmark::State& state)
{
    const std::vector<std::string> files = DataSetPngs();
    if (files.empty()) {
        state.SkipWithError("no PNG files: set ZIRCON_DATA_DIR or run beside megadata/");
        return;
    }
    if (!std::getenv("DISPLAY")) {
        state.SkipWithError("no X display: set DISPLAY");
        return;
    }
    RenderInterface* renderer = MakeRenderer();
    if (!renderer) {
        state.SkipWithError("no GL context");
        return;
    }
    int64_t bytes = 0;
    for (auto _ : state) {
        std::vector<std::unique_ptr<Image>> decoded;
        bytes += DecodeAll(files, &decoded);
        std::vector<GLuint> textures;
        for (const std::unique_ptr<Image>& image : decoded) textures.push_back(renderer->CreateTexture(*image).name);
        glFinish();
        // The demo keeps its textures; here each round starts from none.
        state.PauseTiming();
        glDeleteTextures(static_cast<GLsizei>(textures.size()), textures.data());
        state.ResumeTiming();
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_DecodeAndCreateTextures)->Unit(benchmark::kMillisecond);

}  // namespace
