// Command-line options. With none the demo plays exactly as designed: fullscreen,
// real-time clock, music, error boxes.
#pragma once

#include <string>
#include <vector>

struct DemoOptions {
    bool help = false;
    bool window = false;          // --window: a desktop window, no display-mode change
    bool noDialogs = false;       // --no-dialogs: boxes only on standard error
    int fps = 0;                  // --fps N: fixed-rate clock, silent output
    int startMs = 0;              // --start MS: the demo clock starts at MS
    bool stats = false;           // --stats: per-scene frame statistics at the end
    std::string captureDir;       // --capture DIR: frames as PNG files
    std::vector<int> captureAt;   // --at T1,T2,...: only the first frame at or after each
};

extern DemoOptions Options;

// Parses argv[1..]. False with a message in *error for anything it does not understand.
bool ParseOptions(int argc, const char* const* argv, DemoOptions* options, std::string* error);

// The --help text.
const char* OptionsHelpText();
