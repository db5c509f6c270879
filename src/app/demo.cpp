#include "app/demo.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>
#include <cstdio>

#include "app/capture.h"
#include "app/check_data.h"
#include "app/frame_pacing.h"
#include "shell/clock.h"
#include "scenes/frame_stats.h"
#include "app/options.h"
#include "app/player.h"
#include "app/viewer_overlay.h"
#include "app/record.h"
#include "app/timed_renderer.h"
#include "shell/report.h"
#include "shell/window.h"
#include "gfx/device.h"
#include "gfx/frame_target.h"
#include "gfx/render_interface.h"
#include "platform/data_file.h"
#include "platform/system.h"
#include "scenes/resources.h"
#include "scenes/timeline.h"

AudioStreamHandle MusicStream = 0;
// The --keys script, read by ZirconMain before play.
static std::vector<ScriptedKey> KeyScript;
DeviceFactory* Factory = nullptr;    // made by the driver, never deleted
GraphicsDevice* Device = nullptr;    // made by the factory, never deleted

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

uint32_t DemoStartTickFor(uint32_t tickAtPlay, int latencyMs, int startMs)
{
    return tickAtPlay + static_cast<uint32_t>(latencyMs) - static_cast<uint32_t>(startMs);
}

std::string ChooseDataFolder(const std::string& requested)
{
    if (!requested.empty()) return requested;
    std::error_code error;
    if (std::filesystem::exists("megadata", error)) return "megadata";
    const std::string program = PlatformProgramFolder();
    if (program.empty()) return "megadata";
    for (const std::string& folder : {program + "megadata", program + "../share/zircon-megademo/megadata"})
        if (std::filesystem::is_directory(folder, error)) return folder;
    return "megadata";
}

namespace {

double CpuSeconds()
{
    ProcessFigures figures;
    PlatformProcessFigures(&figures);
    return figures.cpuSeconds;
}

// Real-time play keeps in step with the display: vsync where the driver offers it (and
// it is seen to wait), else waiting to the refresh rate; --max-fps sets another cap (0:
// none) and turns vsync off.
void ChoosePresentPace()
{
    const bool vsyncOn = Options.maxFps < 0 && !FixedFrameClockInUse() && PlatformSetVsync(true);
    const int refreshHz = PlatformRefreshRate();
    StartPresentPacing(PacedFrameRate(Options.maxFps, FixedFrameClockInUse(), vsyncOn, refreshHz),
                       vsyncOn ? refreshHz : -1);
}

// The play sequence one frame at a time, measured for --stats: frames, real time, demo
// time and CPU time.
void PlayMeasuredSequence(const PlayerSettings& settings)
{
    const auto realStart = std::chrono::steady_clock::now();
    const double cpuStart = CpuSeconds();
    BeginPlay(Options.startMs, settings);
    const int32_t demoStart = DemoTime;
    while (PlayFrame()) {
    }
    EndPlay();
    PlayFigures play;
    for (int scene = 1; scene <= SceneCount; ++scene) play.frames += FramesDrawn(scene);
    play.realSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - realStart).count();
    play.demoSeconds = (DemoTime - demoStart) / 1000.0;
    play.cpuSeconds = CpuSeconds() - cpuStart;
    SetPlayFigures(play);
}

}  // namespace


// Written frames are drawn off screen at their own size, unless the window's drawable
// already is that size (then they are the very frames the window shows, rasterised the
// same way); then the fallback from the designed mode and the multisampling had, each
// said on standard error.
static void ReportDisplayChoices()
{
    if (WritesFrames(Options)) {
        int width = 0, height = 0, drawableWidth = 0, drawableHeight = 0;
        WrittenFrameSize(Options, &width, &height);
        PlatformDrawableSize(&drawableWidth, &drawableHeight);
        // (Not a desktop window: the viewer may resize it while frames are written.)
        const bool windowIsTheFrame =
            !Options.window && drawableWidth == width && drawableHeight == height && Options.msaa < 2;
        std::string error;
        if (!windowIsTheFrame && !UseOffscreenFrames(width, height, Options.msaa, &error)) {
            StopPictureDecoding();
            FinishRecording(false);
            FatalError("Cannot draw the frames to write: " + error);
        }
    }
    if (DeviceSettings.fellBackToDesktop) {
        int width = 0, height = 0;
        PlatformDrawableSize(&width, &height);
        std::fprintf(stderr,
                     "zircon-megademo: the display cannot switch to 640x480; playing fullscreen at the "
                     "desktop's resolution (%dx%d) instead\n",
                     width, height);
    }
    const int samples = CurrentFrameSamples();
    if (Options.msaa >= 2 && samples != Options.msaa)
        std::fprintf(stderr, "zircon-megademo: --msaa %d: the OpenGL driver offers %d samples per pixel%s\n",
                     Options.msaa, samples, samples < 2 ? "; drawing without multisampling" : ", used instead");
}

int RunDemo(int width, int height, int bitsPerPixel)
{
    Factory = new DeviceFactory;
    Device = Factory->CreateDevice(width, height, bitsPerPixel);
    // Nothing can be drawn without a context or both texture units: the box, then the end.
    if (!Device->Initialise()) {
        StopPictureDecoding();
        FatalError(Device->failure);
    }
    Renderer = Device->CreateRenderInterface();
    if (!Renderer) {
        StopPictureDecoding();
        Factory->Shutdown();
        FatalError(Device->failure);
    }
    ReportDisplayChoices();
    // With --stats every call is timed; without, nothing stands between scenes and GL.
    if (FrameStatsEnabled) Renderer = new TimedRenderInterface(Renderer);

    ChoosePresentPace();
    // Loading reports its failure; ending the program is the driver's call.
    static LoadedResources loaded = LoadResources(*Renderer, [] { Renderer->PresentFrame(); });
    if (loaded.failure.Failed()) FatalError(loaded.failure.text);

    if (!AudioPlay(MusicStream, false)) ReportAudioError("Can't play stream");
    // A demo started late starts its music at the same moment.
    else if (Options.startMs > 0) AudioSeek(MusicStream, Options.startMs);
    // The real clock counts from when the music is heard; the fixed-rate clock (repeatable
    // frames, silent output) from when it is started.
    int samples = 0, frequency = 0;
    PlayerSettings settings;
    if (!FixedFrameClockInUse() && AudioOutputBuffer(&samples, &frequency))
        settings.latencyMs = OutputLatencyMs(samples, frequency);
    settings.music = MusicStream;
    settings.resources = &loaded.resources;
    // The viewer's keys act while playing on screen, not while frames are being written.
    settings.keyboard = !CaptureActive() && !RecordingActive();
    settings.script = KeyScript;
    SetUpViewerOverlay();

    PlayMeasuredSequence(settings);

    AudioSetVolume(0);
    std::string failure;
    const int restored = Factory->Shutdown(&failure);
    if (!failure.empty()) ShowErrorBox(failure, "ERROR");
    return restored;
}

int ZirconMain(int argc, char** argv)
{
    std::string error;
    if (!ParseOptions(argc, argv, &Options, &error)) {
        std::fprintf(stderr, "zircon-megademo: %s\n\n%s", error.c_str(), OptionsHelpText());
        return 2;
    }
    if (Options.help) {
        std::fputs(OptionsHelpText(), stdout);
        return 0;
    }
    if (Options.version) {
        std::printf("zircon-megademo %s\n", ZIRCON_VERSION);
        return 0;
    }
    SetDataFolder(ChooseDataFolder(Options.dataDir));
    if (Options.checkData) {
        const int status = RunDataCheck(stdout);
        AudioFree();
        return status;
    }
    if (!Options.keysPath.empty()) {
        std::ifstream file(Options.keysPath);
        std::stringstream text;
        text << file.rdbuf();
        if (!file || !ParseKeyScript(text.str(), &KeyScript, &error)) {
            std::fprintf(stderr, "zircon-megademo: --keys %s: %s\n", Options.keysPath.c_str(),
                         file ? error.c_str() : "cannot read the file");
            return 2;
        }
    }
    DialogsEnabled = !Options.noDialogs;
    FrameStatsEnabled = Options.stats;
    // --size without frames to write asks for a window of that size.
    const bool sizedWindow = Options.width > 0 && !WritesFrames(Options);
    DeviceSettings.changeDisplayMode = !Options.window && !sizedWindow && !Options.desktop;
    DeviceSettings.desktopFullscreen = Options.desktop;
    if (Options.fps > 0) UseFixedFrameClock(Options.fps);
    if (!Options.captureDir.empty() && !BeginCapture(Options.captureDir, Options.captureAt)) {
        std::fprintf(stderr, "zircon-megademo: cannot write frames to %s\n", Options.captureDir.c_str());
        return 1;
    }
    if (!Options.recordPath.empty()) {
        const int endMs = Options.untilMs > 0 ? Options.untilMs : 94000;
        int width = 0, height = 0;
        WrittenFrameSize(Options, &width, &height);
        if (!BeginRecording(Options.recordPath, Options.fps, Options.startMs, endMs,
                            DataFilePath("megadata\\demusik.mp3"), width, height, &error)) {
            std::fprintf(stderr, "zircon-megademo: %s\n", error.c_str());
            return 1;
        }
    }
    FramePresentedHook = OnFramePresented;
    // The pictures decode while the window and the GL context are being made.
    StartPictureDecoding();

    MainWindowOptions windowOptions;
    windowOptions.desktopWindow = Options.window || sizedWindow;
    windowOptions.resizable = windowOptions.desktopWindow;
    if (sizedWindow) {
        windowOptions.width = Options.width;
        windowOptions.height = Options.height;
    }
    // Written frames carry their own samples (the offscreen frame).
    if (!WritesFrames(Options)) windowOptions.samples = Options.msaa;
    if (!CreateMainWindow(ShowCommand, windowOptions)) {
        std::fprintf(stderr, "zircon-megademo: cannot open a window with OpenGL (is a display available?)\n");
        StopPictureDecoding();
        FinishRecording(false);
        return 1;
    }

    if (!AudioInit(-1, 44100, 16, Options.fps > 0)) ReportAudioError("Can't initialize digital sound system");
    AudioStart();
    PlatformStartTimer(250);
    MusicStream = AudioStreamFromFile(DataFilePath("megadata\\demusik.mp3").c_str());
    if (MusicStream == 0) ReportAudioError("Can't create stream");

    RunDemo(640, 480, 32);

    AudioSetVolume(0);
    AudioStop();
    AudioFreeStream(MusicStream);
    AudioFree();
    if (Options.stats) {
        ProcessFigures figures;
        PlatformProcessFigures(&figures);
        const long peakKb = figures.peakResidentKb;
        PrintFrameStats(stdout, peakKb);
        if (!Options.statsJson.empty() && !WriteFrameStatsJson(Options.statsJson, peakKb))
            std::fprintf(stderr, "zircon-megademo: cannot write %s\n", Options.statsJson.c_str());
    }
    return FinishRecording(!QuitRequested || UntilReached());
}
