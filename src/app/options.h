// Command-line options. With none the demo plays exactly as designed: fullscreen,
// real-time clock, music, error boxes.
#pragma once

#include <string>
#include <vector>

struct DemoOptions {
    bool help = false;
    bool version = false;         // --version: print the version and end
    bool checkData = false;       // --check-data: check the data set, print a table and end
    bool window = false;          // --window: a desktop window, no display-mode change
    bool noDialogs = false;       // --no-dialogs: boxes only on standard error
    int fps = 0;                  // --fps N: fixed-rate clock, silent output
    int maxFps = -1;              // --max-fps N: present at most N frames a second (0: no cap; -1: the display's pace)
    int startMs = 0;              // --start MS: the demo clock starts at MS
    bool stats = false;           // --stats: per-scene frame statistics at the end
    std::string statsJson;        // --stats-json FILE: the same figures as JSON (implies --stats)
    std::string captureDir;       // --capture DIR: frames as PNG files
    std::vector<int> captureAt;   // --at T1,T2,...: only the first frame at or after each
    std::string dataDir;          // --data DIR: the data set's folder instead of megadata/
    std::string recordPath;       // --record FILE: a video with the soundtrack (.mp4, .mkv, .webm)
    std::string keysPath;         // --keys FILE: viewer keys replayed at given play times
    int untilMs = 0;              // --until MS: the run ends before the first frame at or after MS
    bool desktop = false;         // --desktop: fullscreen at the desktop's resolution, no mode change
    int width = 0, height = 0;    // --size WxH: the window's size, or the frames' with --capture/--record
    int msaa = 0;                 // --msaa N: samples per pixel, 0 for none
};

// True when frames are written (--capture or --record): they are then drawn off screen
// at their own size.
bool WritesFrames(const DemoOptions& options);
// The size of written frames: --size, else 640 × 480.
void WrittenFrameSize(const DemoOptions& options, int* width, int* height);

// Parses argv[1..]. False with a message in *error for anything it does not understand.
bool ParseOptions(int argc, const char* const* argv, DemoOptions* options, std::string* error);

// The --help text.
const char* OptionsHelpText();
