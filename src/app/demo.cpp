#include "app/demo.h"

#include <cstdio>

#include "app/capture.h"
#include "app/clock.h"
#include "app/frame_stats.h"
#include "app/options.h"
#include "app/report.h"
#include "app/window.h"
#include "gfx/device.h"
#include "gfx/render_interface.h"
#include "platform/data_file.h"
#include "scenes/resources.h"
#include "scenes/timeline.h"

AudioStreamHandle MusicStream = 0;
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

// Runs just before each buffer swap.
static void OnFramePresented()
{
    CaptureFrame(DemoTime);
    // The fixed-rate clock counts scene frames only, so frame n of the demo is drawn at
    // DemoTime floor(n × 1000 / fps) whatever was presented while loading.
    if (CurrentScene != 0) CountPresentedFrame();
}

int RunDemo(int width, int height, int bitsPerPixel)
{
    Factory = new DeviceFactory;
    Device = Factory->CreateDevice(width, height, bitsPerPixel);
    // Nothing can be drawn without a context: the box has been shown, end here.
    if (!Device->Initialise()) EndAfterFatalError();
    Renderer = Device->CreateRenderInterface();
    if (!Renderer) {
        Factory->Shutdown();
        EndAfterFatalError();
    }

    LoadResources();

    if (!AudioPlay(MusicStream, false)) ReportAudioError("Can't play stream");
    DemoStartTick = GetTickCount() - static_cast<uint32_t>(Options.startMs);
    DemoTime = static_cast<int32_t>(GetTickCount() - DemoStartTick);

    PlaySequence();

    AudioSetVolume(0);
    return Factory->Shutdown();
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
    DialogsEnabled = !Options.noDialogs;
    DeviceSettings.changeDisplayMode = !Options.window;
    if (Options.fps > 0) UseFixedFrameClock(Options.fps);
    if (!Options.captureDir.empty() && !BeginCapture(Options.captureDir, Options.captureAt)) {
        std::fprintf(stderr, "zircon-megademo: cannot write frames to %s\n", Options.captureDir.c_str());
        return 1;
    }
    FramePresentedHook = OnFramePresented;

    MainWindowOptions windowOptions;
    windowOptions.desktopWindow = Options.window;
    if (!CreateMainWindow(ShowCommand, windowOptions)) {
        std::fprintf(stderr, "zircon-megademo: cannot open a window with OpenGL (is a display available?)\n");
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
    if (Options.stats) PrintFrameStats(stdout);
    return 0;
}
