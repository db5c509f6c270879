// The program in a web page. The page's script has fetched and decoded the data set and
// waited for a click (browsers start sound only after one) before it calls main, with
// options taken from the page's address (--fps, --start, --until). main loads everything,
// starts the music and plays a frame at each of the browser's animation frames. When play
// ends, the page offers to play again (PlatformOnPlayAgain).
#include <memory>
#include <string>

#include "app/options.h"
#include "app/player.h"
#include "app/start_up.h"
#include "platform/data_file.h"
#include "platform/platform.h"
#include "platform/web_page.h"
#include "scenes/timeline.h"
#include "shell/report.h"
#include "shell/window.h"

namespace {

// Each frame the page shows is told to the page, with its demo time and whether play is
// paused, once presented.
class PageSink : public PresentSink {
public:
    const Player* player = nullptr;
    void AfterPresent(int32_t demoTime) override { PlatformFrameDrawn(demoTime, player && player->Status().paused); }
};

// The scene table as the page shows it (its scrubber's marks, its media session's chapters).
void TellPageTheScenes()
{
    PageScene scenes[SceneCount];
    for (int i = 0; i < SceneCount; ++i) {
        const SceneId id = static_cast<SceneId>(i);
        scenes[i] = {SceneRowOf(id).name, SceneStart(id)};
    }
    PlatformTellScenes(scenes, SceneCount, DemoEnd());
}

// Everything the page's play needs; made by main and kept for the page's life (the
// runtime does not exit), handed to each animation frame and to "play again".
struct PageDemo {
    DemoOptions options;
    AudioStreamHandle music = 0;
    DemoDevice device;
    PageSink pageSink;
    std::unique_ptr<Player> player;   // each play (main's, play again's) begins it again
};

// The fixed-rate clock capturing frames is a test's repeatable run, drawn as fast as the
// page can, as natively: frames follow one another within an animation frame for this long
// (each still told to the page, and captured, as it is drawn). Otherwise the page draws
// one frame an animation frame.
constexpr double FixedClockFramesSeconds = 0.012;

bool AnimationFrame(void* context)
{
    PageDemo& page = *static_cast<PageDemo*>(context);
    const double began = RealSteadySeconds();
    bool playing = page.player->PlayFrame();
    while (playing && page.options.fps > 0 && PlatformCapturesFrames() &&
           RealSteadySeconds() - began < FixedClockFramesSeconds)
        playing = page.player->PlayFrame();
    if (playing) return true;
    page.player->End();
    AudioStop();
    PlatformPlayEnded();
    return false;
}

void StartPlay(PageDemo& page, int32_t startMs)
{
    page.player->Begin(startMs);
    PlatformRunAnimationFrames(AnimationFrame, &page);
}

void PlayAgain(void* context)
{
    ResetWindowState();
    MainWindowOptions windowOptions;
    windowOptions.desktopWindow = true;
    if (!CreateMainWindow(windowOptions)) return;
    StartPlay(*static_cast<PageDemo*>(context), 0);
}

}  // namespace

int main(int argc, char** argv)
{
    PageDemo& page = *new PageDemo;   // lives as long as the page
    std::string error;
    if (!ParseOptions(argc, argv, &page.options, &error)) {
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
    page.music = OpenMusic(page.options.fps > 0);
    if (!OpenDemoDevice(DeviceRequest{}, nullptr, &page.device, &error) || !LoadDemoResources(&page.device, &error))
        FatalError(error);
    // The page's output latency, asked for when play starts and at each seek: it changes
    // while the page plays. The fixed-rate clock plays silently.
    const bool silent = page.options.fps > 0;
    const auto latencyMs = [silent] { return silent ? 0 : PlatformAudioLatencyMs(); };
    PlayerSettings settings = PlayerSettingsFor(page.options, &page.device, page.music, latencyMs, {});
    settings.loopMusic = true;
    settings.sceneStorageWhileEntered = true;
    // Play keeps time with the music as it is heard; the browser's animation frames pace
    // the presents.
    settings.now = PlatformPlaySeconds;
    page.player.reset(new Player(settings));
    page.player->AddScreenshotSink();
    page.pageSink.player = page.player.get();
    page.player->AddPresentSink(&page.pageSink);
    TellPageTheScenes();
    PlatformOnPlayAgain(PlayAgain, &page);
    StartPlay(page, page.options.startMs);
    return 0;
}
