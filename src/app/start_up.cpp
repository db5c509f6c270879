// Start-up shared by the native program and the page.
#include "app/start_up.h"

#include <cstdio>
#include <utility>

#include "app/capture.h"
#include "app/frame_stats.h"
#include "app/options.h"
#include "app/record.h"
#include "app/timed_renderer.h"
#include "app/viewer_overlay.h"
#include "gfx/render_interface.h"
#include "image/png_load.h"
#include "platform/data_file.h"
#include "shell/report.h"

std::string FormatAudioError(const char* text, int code)
{
    char buffer[200];
    std::snprintf(buffer, sizeof buffer, "%s\n(error code: %d)", text, code);
    return buffer;
}

void ReportAudioError(const char* text)
{
    ShowErrorBox(FormatAudioError(text, AudioLastError()), "Error");
}

int OutputLatencyMs(int bufferSamples, int frequency)
{
    if (bufferSamples <= 0 || frequency <= 0) return 0;
    return static_cast<int>((static_cast<int64_t>(bufferSamples) * 1000 + frequency / 2) / frequency);
}

AudioStreamHandle OpenMusic(bool silent)
{
    if (!AudioInit(44100, silent)) ReportAudioError("Can't initialize digital sound system");
    AudioStart();
    const AudioStreamHandle music = AudioStreamFromFile(DataFilePath("megadata\\demusik.mp3").c_str());
    if (music == 0) ReportAudioError("Can't create stream");
    return music;
}

void StartMusic(AudioStreamHandle music, int32_t startMs, bool loop)
{
    if (!AudioPlay(music, loop)) ReportAudioError("Can't play stream");
    // A demo started late starts its music at the same moment.
    else if (startMs > 0) AudioSeek(music, startMs);
}

std::vector<uint8_t> WindowIconPixels(const Image& image)
{
    const int width = image.Width(), height = image.Height();
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = image.Pixels() + static_cast<size_t>(y) * image.Pitch() * 4;
        uint8_t* out = &rgba[static_cast<size_t>(y) * width * 4];
        for (int i = 0; i < width * 4; ++i) out[i] = (i % 4 == 3) ? 255 - row[i] : row[i];
    }
    return rgba;
}

bool SetWindowIconFromDataSet()
{
    const std::unique_ptr<Image> image(LoadPngImage("megadata\\icon.png"));
    if (!image) return false;
    const std::vector<uint8_t> rgba = WindowIconPixels(*image);
    return PlatformSetWindowIcon(rgba.data(), image->Width(), image->Height());
}

bool OpenDemoDevice(const DeviceRequest& request, FrameStats* stats, DemoDevice* device, std::string* failure)
{
    device->backEnd = OpenDevice(request, &device->display, failure);
    if (!device->backEnd) return false;
    device->render = device->backEnd.get();
    device->stats = stats;
    if (stats) {
        device->timing.reset(new TimedRenderInterface(device->backEnd.get(), stats));
        device->render = device->timing.get();
    }
    return true;
}

bool LoadDemoResources(DemoDevice* device, std::string* failure)
{
    RenderInterface& render = *device->render;
    FrameStats* stats = device->stats;
    LoadedResources loaded = LoadResources(render, [&render, stats] {
        CaptureLoadingScreen(render);
        render.PresentFrame();
        if (stats) stats->MarkStartup(StartupMark::LoadingScreenShown);
    });
    if (loaded.failure.Failed()) {
        *failure = loaded.failure.text;
        return false;
    }
    device->resources = loaded.resources;
    SetUpViewerOverlay(render);
    return true;
}

PlayerSettings PlayerSettingsFor(const DemoOptions& options, DemoDevice* device, AudioStreamHandle music,
                                 std::function<int()> latencyMs, const std::vector<ScriptedKey>& script)
{
    PlayerSettings settings;
    settings.render = device->render;
    settings.resources = &device->resources;
    settings.stats = device->stats;
    settings.fixedFps = options.fps;
    settings.untilMs = options.untilMs;
    settings.latencyMs = std::move(latencyMs);
    settings.music = music;
    settings.startMusic = true;
    // The viewer's keys act while playing on screen, not while frames are being written.
    settings.keyboard = !CaptureActive() && !RecordingActive();
    settings.script = script;
    return settings;
}
