// The program in a web page. The page's script has fetched and decoded the data set and
// waited for a click (browsers start sound only after one) before it calls main, with
// options taken from the page's address (--fps, --start, --until). main loads everything,
// starts the music and plays a frame at each of the browser's animation frames. When play
// ends, the page offers to play again, which calls ZirconPlayAgain.
#include <emscripten.h>

#include <cstdio>
#include <string>

#include "app/options.h"
#include "app/player.h"
#include "app/viewer_overlay.h"
#include "gfx/device.h"
#include "gfx/render_interface.h"
#include "platform/data_file.h"
#include "platform/platform.h"
#include "platform/web_page.h"
#include "scenes/resources.h"
#include "scenes/timeline.h"
#include "shell/clock.h"
#include "shell/report.h"
#include "shell/window.h"

namespace {

// Written by main and StartPlay only.
AudioStreamHandle g_music = 0;
DeviceFactory* g_factory = nullptr;
GraphicsDevice* g_device = nullptr;
LoadedResources g_loaded;

void ReportAudioFailure(const char* text)
{
    char box[200];
    std::snprintf(box, sizeof box, "%s\n(error code: %d)", text, AudioLastError());
    ShowErrorBox(box, "Error");
}

// Each frame the page shows is also told to the page, with its demo time.
void FramePresented()
{
    OnFramePresented();
    if (CurrentScene != 0) PlatformFrameDrawn(DemoTime);
}

bool AnimationFrame()
{
    if (PlayFrame()) return true;
    EndPlay();
    AudioStop();
    PlatformPlayEnded();
    return false;
}

void StartPlay(int32_t startMs)
{
    if (!AudioPlay(g_music, true)) ReportAudioFailure("Can't play stream");
    else if (startMs > 0) AudioSeek(g_music, startMs);
    PlayerSettings settings;
    settings.resources = &g_loaded.resources;
    // The clock counts from when the music is heard; the fixed-rate clock plays silently.
    if (!FixedFrameClockInUse()) settings.latencyMs = PlatformAudioLatencyMs();
    settings.music = g_music;
    SetUpViewerOverlay();
    BeginPlay(startMs, settings);
    PlatformRunAnimationFrames(AnimationFrame);
}

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void ZirconPlayAgain()
{
    ResetWindowState();
    MainWindowOptions windowOptions;
    windowOptions.desktopWindow = true;
    if (!CreateMainWindow(ShowCommand, windowOptions)) return;
    if (Options.fps > 0) UseFixedFrameClock(Options.fps);
    StartPlay(0);
}

int main(int argc, char** argv)
{
    std::string error;
    if (!ParseOptions(argc, argv, &Options, &error)) {
        ShowErrorBox(error, "Error");
        return 2;
    }
    SetDataFolder("megadata");
    if (Options.fps > 0) UseFixedFrameClock(Options.fps);
    FramePresentedHook = FramePresented;

    MainWindowOptions windowOptions;
    windowOptions.desktopWindow = true;
    if (!CreateMainWindow(ShowCommand, windowOptions)) {
        ShowErrorBox("cannot use the page's canvas", "FATAL ERROR");
        return 1;
    }
    if (!AudioInit(-1, 44100, 16, Options.fps > 0)) ReportAudioFailure("Can't initialize digital sound system");
    g_music = AudioStreamFromFile(DataFilePath("megadata\\demusik.mp3").c_str());
    if (g_music == 0) ReportAudioFailure("Can't create stream");

    g_factory = new DeviceFactory;
    g_device = g_factory->CreateDevice(640, 480, 32);
    if (!g_device->Initialise()) FatalError(g_device->failure);
    Renderer = g_device->CreateRenderInterface();
    if (!Renderer) FatalError(g_device->failure);
    g_loaded = LoadResources(*Renderer, [] { Renderer->PresentFrame(); });
    if (g_loaded.failure.Failed()) FatalError(g_loaded.failure.text);
    StartPlay(Options.startMs);
    return 0;
}
