// The program in a web page. The page's script has fetched and decoded the data set and
// waited for a click (browsers start sound only after one) before it calls main, with
// options taken from the page's address (--fps, --start, --until). main loads everything,
// starts the music and plays a frame at each of the browser's animation frames. When play
// ends, the page offers to play again, which calls ZirconPlayAgain.
#include <emscripten.h>

#include <memory>
#include <string>

#include "app/options.h"
#include "app/player.h"
#include "app/start_up.h"
#include "platform/data_file.h"
#include "platform/platform.h"
#include "platform/web_page.h"
#include "shell/report.h"
#include "shell/window.h"

namespace {

// Written by main only; the page lives as long as they do.
DemoOptions g_options;
AudioStreamHandle g_music = 0;
DemoDevice g_device;
std::unique_ptr<Player> g_player;   // made by main; each play (main's, ZirconPlayAgain's) begins it again

// Each frame the page shows is told to the page, with its demo time, once presented.
class PageSink : public PresentSink {
public:
    void AfterPresent(int32_t demoTime) override { PlatformFrameDrawn(demoTime); }
} g_pageSink;   // not written

// The page's output latency, asked for when play starts and at each seek: it changes
// while the page plays. The fixed-rate clock plays silently.
int PageLatencyMs() { return g_options.fps > 0 ? 0 : PlatformAudioLatencyMs(); }

bool AnimationFrame()
{
    if (g_player->PlayFrame()) return true;
    g_player->End();
    AudioStop();
    PlatformPlayEnded();
    return false;
}

void StartPlay(int32_t startMs)
{
    StartMusic(g_music, startMs, true);
    g_player->Begin(startMs);
    PlatformRunAnimationFrames(AnimationFrame);
}

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void ZirconPlayAgain()
{
    ResetWindowState();
    MainWindowOptions windowOptions;
    windowOptions.desktopWindow = true;
    if (!CreateMainWindow(windowOptions)) return;
    StartPlay(0);
}

int main(int argc, char** argv)
{
    std::string error;
    if (!ParseOptions(argc, argv, &g_options, &error)) {
        ShowErrorBox(error, "Error");
        return 2;
    }
    SetDataFolder("megadata");

    MainWindowOptions windowOptions;
    windowOptions.desktopWindow = true;
    if (!CreateMainWindow(windowOptions)) {
        ShowErrorBox("cannot use the page's canvas", "FATAL ERROR");
        return 1;
    }
    g_music = OpenMusic(g_options.fps > 0);
    if (!OpenDemoDevice(DeviceRequest{}, nullptr, &g_device, &error) || !LoadDemoResources(&g_device, &error))
        FatalError(error);
    PlayerSettings settings = PlayerSettingsFor(g_options, &g_device, g_music, PageLatencyMs, {});
    // Play keeps time with the music as it is heard; the browser's animation frames pace
    // the presents.
    settings.now = PlatformPlaySeconds;
    g_player.reset(new Player(settings));
    g_player->AddScreenshotSink();
    g_player->AddPresentSink(&g_pageSink);
    StartPlay(g_options.startMs);
    return 0;
}
