#include "app/options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

bool ParseInt(const char* text, int low, int high, int* value)
{
    if (!text || !*text) return false;
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || v < low || v > high) return false;
    *value = static_cast<int>(v);
    return true;
}

bool ParseTimeList(const char* text, std::vector<int>* times)
{
    std::string list = text ? text : "";
    if (list.empty()) return false;
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        std::string item = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        int t = 0;
        if (!ParseInt(item.c_str(), 0, 10000000, &t)) return false;
        times->push_back(t);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return true;
}

// "WxH" with both sides from 16 to 16384.
bool ParseSize(const char* text, int* width, int* height)
{
    const char* x = text ? std::strchr(text, 'x') : nullptr;
    if (!x) return false;
    const std::string w(text, x);
    return ParseInt(w.c_str(), 16, 16384, width) && ParseInt(x + 1, 16, 16384, height);
}

}  // namespace

bool WritesFrames(const DemoOptions& options) { return !options.captureDir.empty() || !options.recordPath.empty(); }

void WrittenFrameSize(const DemoOptions& options, int* width, int* height)
{
    *width = options.width > 0 ? options.width : 640;
    *height = options.height > 0 ? options.height : 480;
}

bool ParseOptions(int argc, const char* const* argv, DemoOptions* o, std::string* error)
{
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        auto needValue = [&](const char* what) {
            if (next) return true;
            *error = std::string(arg) + " needs " + what;
            return false;
        };
        // A whole-number value within [lo, hi]; rangeText words the range for the error.
        auto intValue = [&](const char* what, int lo, int hi, int* out, const char* rangeText) {
            if (!needValue(what)) return false;
            if (!ParseInt(next, lo, hi, out)) {
                *error = std::string(arg) + " takes " + rangeText;
                return false;
            }
            ++i;
            return true;
        };
        if (!std::strcmp(arg, "--help") || !std::strcmp(arg, "-h")) {
            o->help = true;
        } else if (!std::strcmp(arg, "--version")) {
            o->version = true;
        } else if (!std::strcmp(arg, "--check-data")) {
            o->checkData = true;
        } else if (!std::strcmp(arg, "--data")) {
            if (!needValue("a directory")) return false;
            o->dataDir = next;
            ++i;
        } else if (!std::strcmp(arg, "--window")) {
            o->window = true;
        } else if (!std::strcmp(arg, "--desktop")) {
            o->desktop = true;
        } else if (!std::strcmp(arg, "--size")) {
            if (!needValue("a size WxH")) return false;
            if (!ParseSize(next, &o->width, &o->height)) {
                *error = "--size takes WIDTHxHEIGHT in pixels, each from 16 to 16384 (e.g. 1920x1080)";
                return false;
            }
            ++i;
        } else if (!std::strcmp(arg, "--msaa")) {
            if (!intValue("a number of samples", 0, 16, &o->msaa, "a number of samples from 0 to 16")) return false;
        } else if (!std::strcmp(arg, "--no-dialogs")) {
            o->noDialogs = true;
        } else if (!std::strcmp(arg, "--stats")) {
            o->stats = true;
        } else if (!std::strcmp(arg, "--fps")) {
            if (!intValue("a frame rate", 1, 1000, &o->fps, "a whole number from 1 to 1000")) return false;
        } else if (!std::strcmp(arg, "--max-fps")) {
            if (!intValue("a frame rate", 0, 1000, &o->maxFps, "a whole number from 0 to 1000")) return false;
        } else if (!std::strcmp(arg, "--start")) {
            if (!intValue("a time in milliseconds", 0, 10000000, &o->startMs, "a time in milliseconds from 0 to 10000000"))
                return false;
        } else if (!std::strcmp(arg, "--stats-json")) {
            if (!needValue("a file")) return false;
            o->statsJson = next;
            o->stats = true;
            ++i;
        } else if (!std::strcmp(arg, "--record")) {
            if (!needValue("a video file")) return false;
            o->recordPath = next;
            ++i;
        } else if (!std::strcmp(arg, "--until")) {
            if (!intValue("a time in milliseconds", 1, 10000000, &o->untilMs, "a time in milliseconds from 1 to 10000000"))
                return false;
        } else if (!std::strcmp(arg, "--keys")) {
            if (!needValue("a file")) return false;
            o->keysPath = next;
            ++i;
        } else if (!std::strcmp(arg, "--capture")) {
            if (!needValue("a directory")) return false;
            o->captureDir = next;
            ++i;
        } else if (!std::strcmp(arg, "--at")) {
            if (!needValue("a list of times")) return false;
            if (!ParseTimeList(next, &o->captureAt)) {
                *error = "--at takes demo times in milliseconds separated by commas";
                return false;
            }
            ++i;
        } else {
            *error = std::string("unknown option ") + arg;
            return false;
        }
    }
    if (!o->captureAt.empty() && o->captureDir.empty()) {
        *error = "--at goes with --capture";
        return false;
    }
    if (o->desktop && o->window) {
        *error = "--desktop and --window exclude each other";
        return false;
    }
    if (o->desktop && o->width > 0 && !WritesFrames(*o)) {
        *error = "--size sets the size of a window: it does not go with --desktop";
        return false;
    }
    if (WritesFrames(*o)) {
        o->noDialogs = true;              // capture and recording never wait on a box
        if (o->fps == 0) o->fps = 60;
    }
    if (o->untilMs > 0 && o->untilMs <= o->startMs) {
        *error = "--until must come after --start";
        return false;
    }
    return true;
}

const char* OptionsHelpText()
{
    return "Usage: zircon-megademo [options]\n"
           "With no option the demo switches the display to 640x480x32 and plays with music\n"
           "(on a Wayland desktop: fullscreen at the desktop's resolution). Escape ends it.\n"
           "Switching to another window minimises it, gives the desktop its mode back and\n"
           "pauses; back, it plays on. Data is read from megadata/ in the working directory;\n"
           "when there is none, from megadata/ beside the program, else from the one\n"
           "installed with it.\n"
           "\n"
           "Options:\n"
           "  --window          play in a 640x480 desktop window, no display-mode change; the\n"
           "                    window can be resized and the picture follows, keeping 4:3\n"
           "  --desktop         play fullscreen at the desktop's own resolution, no mode change;\n"
           "                    the 4:3 picture is centred at the largest size that fits, with\n"
           "                    black bars (also what happens when the 640x480 switch fails)\n"
           "  --size WxH        play in a desktop window of WxH pixels (implies --window); with\n"
           "                    --capture or --record the size of the frames written, e.g.\n"
           "                    --record demo.mp4 --size 1920x1080 (4:3 picture, black bars)\n"
           "  --msaa N          smooth polygon edges with N samples per pixel where the OpenGL\n"
           "                    driver offers it (llvmpipe: 4); 0, the default, for none\n"
           "  --no-dialogs      write error boxes to standard error only, never wait on them\n"
           "  --fps N           fixed-rate clock: every frame advances the clock by 1000/N ms,\n"
           "                    however long it took (repeatable runs); music plays silently\n"
           "  --max-fps N       present at most N frames a second; 0: as fast as the machine\n"
           "                    allows. Without it real-time play keeps in step with the display\n"
           "                    (vsync, or its refresh rate, 60 Hz when unknown)\n"
           "  --start MS        start the demo clock, and the music, at MS milliseconds\n"
           "  --data DIR        read the data set from DIR instead of megadata/\n"
           "  --stats           print per-scene frame statistics at the end: frames, median,\n"
           "                    99th percentile and worst frame time, the share of our own CPU\n"
           "                    work against drawing, start-up times, peak memory, the frame\n"
           "                    rate reached and the CPU time used per second of demo\n"
           "  --stats-json FILE the same figures as JSON in FILE (implies --stats), and every\n"
           "                    present of real-time play: ms since the first, the demo time\n"
           "                    shown, ms ready after its slot, ms waited\n"
           "  --capture DIR     write every frame as DIR/tNNNNNNN.png (named by demo time) and\n"
           "                    the loading screen as DIR/loading.png; implies --no-dialogs and\n"
           "                    --fps 60 unless --fps is given\n"
           "  --at T1,T2,...    with --capture: only the first frame at or after each demo time;\n"
           "                    the run ends once the last of them is written\n"
           "  --record FILE     record the demo with its soundtrack to FILE (.mp4: H.264 and AAC,\n"
           "                    .mkv: H.264 and AAC, .webm: VP9 and Opus) through the ffmpeg\n"
           "                    program; implies --no-dialogs and --fps 60 unless --fps is given.\n"
           "                    The file appears only when complete (FILE.partial while written;\n"
           "                    removed on a failure or an early quit, and the status is 1)\n"
           "  --until MS        end the run before the first frame at or after demo time MS\n"
           "  --check-data      check the data set the demo would load (present, readable, the\n"
           "                    sizes and objects the scenes assume, a soundtrack of at least\n"
           "                    94 s), print a table and end: status 0 when all is well, else 1\n"
           "  --keys FILE       replay viewer keys from FILE: lines \"MS KEY\", MS the play time\n"
           "                    (ms since the first frame, going on through pauses and seeks),\n"
           "                    KEY one of space, left, right, pageup, pagedown, home, f12, tab,\n"
           "                    escape; each key applied is traced on standard error\n"
           "  --version         print the version\n"
           "  --help            show this text\n"
           "\n"
           "Keys while playing (not while recording or capturing):\n"
           "  Space             pause and resume, the music too\n"
           "  Left, Right       5 seconds back, forward\n"
           "  Page Up, Page Down  the start of the previous, next scene\n"
           "  Home              back to the start\n"
           "  F12               save the frame as zircon-tNNNNNNN.png (its demo time) here\n"
           "  Tab               show or hide demo time, scene, frame rate and frame time\n"
           "  Escape            end\n";
}
