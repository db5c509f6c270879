#include "app/demo.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "app/capture.h"
#include "app/check_data.h"
#include "app/frame_stats.h"
#include "app/options.h"
#include "app/player.h"
#include "app/present_schedule.h"
#include "app/record.h"
#include "app/start_up.h"
#include "gfx/frame_target.h"
#include "platform/data_file.h"
#include "platform/file_system.h"
#include "platform/system.h"
#include "scenes/resources.h"
#include "shell/report.h"
#include "shell/window.h"

std::string ChooseDataFolder(const std::string& requested)
{
    if (!requested.empty()) return requested;
    if (PlatformPathExists("megadata")) return "megadata";
    const std::string program = PlatformProgramFolder();
    if (program.empty()) return "megadata";
    for (const std::string& folder : {program + "megadata", program + "../share/zircon-megademo/megadata"})
        if (PlatformIsFolder(folder)) return folder;
    return "megadata";
}

namespace {

// The frames --capture writes.
class CaptureSink : public PresentSink {
public:
    void BeforePresent(RenderInterface& render, int32_t demoTime) override { CaptureFrame(render, demoTime); }
};

// The frames --record sends to the video.
class RecordingSink : public PresentSink {
public:
    void BeforePresent(RenderInterface& render, int32_t demoTime) override { RecordVideoFrame(render, demoTime); }
};

// A run that cannot go on: the pictures' decoding stopped and a partial video removed
// (what ZirconMain started before the device), before the box and the end.
void StopStartedWork()
{
    StopPictureDecoding();
    FinishRecording(false);
}

[[noreturn]] void FailRun(const std::string& message)
{
    StopStartedWork();
    FatalError(message);
}

double CpuSeconds()
{
    ProcessFigures figures;
    PlatformProcessFigures(&figures);
    return figures.cpuSeconds;
}

// Real-time play keeps in step with the display: vsync where the driver offers it (and
// it is seen to wait), else waiting to the refresh rate; --max-fps sets another cap (0:
// none) and turns vsync off.
PresentSchedule ChoosePresentSchedule(const DemoOptions& options)
{
    const bool fixedClock = options.fps > 0;
    const bool vsyncOn = options.maxFps < 0 && !fixedClock && PlatformSetVsync(true);
    const int refreshHz = PlatformRefreshRate();
    return StartPresentSchedule(PacedFrameRate(options.maxFps, fixedClock, vsyncOn, refreshHz),
                                vsyncOn ? refreshHz : -1);
}

// The play sequence one frame at a time, measured into `stats` when kept: frames, real
// time (on the player's clock), demo time and CPU time.
void PlayMeasuredSequence(Player& player, int32_t startMs, FrameStats* stats)
{
    PlayFigures play;
    PlatformDisplaySize(&play.displayWidth, &play.displayHeight);
    PlatformDrawableSize(&play.drawableWidth, &play.drawableHeight);
    const double realStart = player.Now();
    const double cpuStart = CpuSeconds();
    player.Begin(startMs);
    const int32_t demoStart = player.Status().demoTime;
    while (player.PlayFrame()) {
    }
    const int32_t demoEnd = player.Status().demoTime;
    player.End();
    if (!stats) return;
    for (int scene = 1; scene <= SceneCount; ++scene) play.frames += stats->FramesDrawn(scene);
    play.realSeconds = player.Now() - realStart;
    play.demoSeconds = (demoEnd - demoStart) / 1000.0;
    play.cpuSeconds = CpuSeconds() - cpuStart;
    stats->SetPlayFigures(play);
}

// The statistics on standard output, and as JSON where --stats-json asks.
void ReportStatistics(const FrameStats& stats, const std::string& jsonPath)
{
    ProcessFigures figures;
    PlatformProcessFigures(&figures);
    const long peakKb = figures.peakResidentKb;
    stats.Print(stdout, peakKb);
    if (!jsonPath.empty() && !stats.WriteJson(jsonPath, peakKb))
        std::fprintf(stderr, "zircon-megademo: cannot write %s\n", jsonPath.c_str());
}

}  // namespace


// Written frames are drawn off screen at their own size, unless the window's drawable
// already is that size (then they are the very frames the window shows, rasterised the
// same way); then the fallback from the designed mode and the multisampling had, each
// said on standard error.
static void ReportDisplayChoices(const DeviceResult& display, const DemoOptions& options)
{
    if (WritesFrames(options)) {
        int width = 0, height = 0, drawableWidth = 0, drawableHeight = 0;
        WrittenFrameSize(options, &width, &height);
        PlatformDrawableSize(&drawableWidth, &drawableHeight);
        // (Not a desktop window: the viewer may resize it while frames are written.)
        const bool windowIsTheFrame =
            !options.window && drawableWidth == width && drawableHeight == height && options.msaa < 2;
        std::string error;
        if (!windowIsTheFrame && !UseOffscreenFrames(width, height, options.msaa, &error))
            FailRun("Cannot draw the frames to write: " + error);
    }
    if (display.fellBackToDesktop) {
        int width = 0, height = 0;
        PlatformDrawableSize(&width, &height);
        std::fprintf(stderr,
                     "zircon-megademo: the display cannot switch to 640x480; playing fullscreen at the "
                     "desktop's resolution (%dx%d) instead\n",
                     width, height);
    }
    const int samples = CurrentFrameSamples();
    if (options.msaa >= 2 && samples != options.msaa)
        std::fprintf(stderr, "zircon-megademo: --msaa %d: the OpenGL driver offers %d samples per pixel%s\n",
                     options.msaa, samples, samples < 2 ? "; drawing without multisampling" : ", used instead");
}

// The run, once the window is open: the music, the device, the resources, the play
// sequence; then its end, the start undone in reverse: resources freed, the sound turned
// down, the display mode restored, the sound system closed, the statistics reported, the
// video finished. Returns the exit status. A failure before play ends the program
// (FailRun).
static int RunDemo(const DeviceRequest& request, const DemoOptions& options,
                   const std::vector<ScriptedKey>& keyScript)
{
    std::unique_ptr<FrameStats> stats(options.stats ? new FrameStats : nullptr);
    const AudioStreamHandle music = OpenMusic(options.fps > 0);
    // Nothing can be drawn without a context or both texture units: the box, then the end.
    DemoDevice device;
    std::string failure;
    if (!OpenDemoDevice(request, stats.get(), &device, &failure)) FailRun(failure);
    ReportDisplayChoices(device.display, options);
    const PresentSchedule schedule = ChoosePresentSchedule(options);
    if (!LoadDemoResources(&device, &failure)) FailRun(failure);

    // The player starts the music. The real clock counts from when it is heard; the
    // fixed-rate clock (repeatable frames, silent output) from when it is started.
    // Natively the output's latency is one buffer, the same throughout.
    int samples = 0, frequency = 0, latencyMs = 0;
    if (options.fps <= 0 && AudioOutputBuffer(&samples, &frequency)) latencyMs = OutputLatencyMs(samples, frequency);
    PlayerSettings settings =
        PlayerSettingsFor(options, &device, music, [latencyMs] { return latencyMs; }, keyScript);
    settings.schedule = schedule;

    bool untilReached = false;
    {
        CaptureSink capture;
        RecordingSink recording;
        Player player(settings);
        player.AddPresentSink(&capture);
        player.AddScreenshotSink();
        player.AddPresentSink(&recording);
        PlayMeasuredSequence(player, options.startMs, stats.get());
        untilReached = player.UntilReached();
    }
    FreeResources(&device.resources);

    AudioSetVolume(0);
    failure.clear();
    CloseDevice(&failure);
    if (!failure.empty()) ShowErrorBox(failure, "ERROR");
    AudioStop();
    AudioFreeStream(music);
    AudioFree();
    if (stats) ReportStatistics(*stats, options.statsJson);
    return FinishRecording(!QuitWasRequested() || untilReached);
}

int ZirconMain(int argc, char** argv)
{
    DemoOptions options;
    std::vector<ScriptedKey> keyScript;   // --keys
    std::string error;
    if (!ParseOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "zircon-megademo: %s\n\n%s", error.c_str(), OptionsHelpText());
        return 2;
    }
    if (options.help) {
        std::fputs(OptionsHelpText(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("zircon-megademo %s\n", ZIRCON_VERSION);
        return 0;
    }
    SetDataFolder(ChooseDataFolder(options.dataDir));
    if (options.checkData) {
        const int status = RunDataCheck(stdout);
        AudioFree();
        return status;
    }
    if (!options.keysPath.empty()) {
        std::string text;
        const bool read = PlatformReadFile(options.keysPath, &text);
        if (!read || !ParseKeyScript(text, &keyScript, &error)) {
            std::fprintf(stderr, "zircon-megademo: --keys %s: %s\n", options.keysPath.c_str(),
                         read ? error.c_str() : "cannot read the file");
            return 2;
        }
    }
    DialogsEnabled = !options.noDialogs;
    // --size without frames to write asks for a window of that size.
    const bool sizedWindow = options.width > 0 && !WritesFrames(options);
    DeviceRequest request;
    request.display = options.desktop ? DisplayUse::DesktopFullscreen
                      : (options.window || sizedWindow) ? DisplayUse::Window : DisplayUse::DesignedMode;
    if (!options.captureDir.empty() && !BeginCapture(options.captureDir, options.captureAt)) {
        std::fprintf(stderr, "zircon-megademo: cannot write frames to %s\n", options.captureDir.c_str());
        return 1;
    }
    if (!options.recordPath.empty()) {
        const int endMs = options.untilMs > 0 ? options.untilMs : DemoEnd();
        int width = 0, height = 0;
        WrittenFrameSize(options, &width, &height);
        if (!BeginRecording(options.recordPath, options.fps, options.startMs, endMs,
                            DataFilePath("megadata\\demusik.mp3"), width, height, &error)) {
            std::fprintf(stderr, "zircon-megademo: %s\n", error.c_str());
            return 1;
        }
    }
    // The pictures decode while the window and the GL context are being made.
    StartPictureDecoding();

    MainWindowOptions windowOptions;
    windowOptions.desktopWindow = options.window || sizedWindow;
    windowOptions.resizable = windowOptions.desktopWindow;
    if (sizedWindow) {
        windowOptions.width = options.width;
        windowOptions.height = options.height;
    }
    // Written frames carry their own samples (the offscreen frame).
    if (!WritesFrames(options)) windowOptions.samples = options.msaa;
    if (!CreateMainWindow(windowOptions)) {
        std::fprintf(stderr, "zircon-megademo: cannot open a window with OpenGL (is a display available?)\n");
        StopStartedWork();
        return 1;
    }
    SetWindowIconFromDataSet();   // without it the window keeps the system's icon
    return RunDemo(request, options, keyScript);
}
