// The display mode's guardian on X11: XRandR notes the desktop's screen size and CRTC
// modes, and sets them again when the watch pipe closes without a release.
#include "platform/display_mode_guard.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

namespace {

// The program's ends of the pipes while a guardian watches; -1 otherwise. Written by
// StartDisplayModeGuard and ReleaseDisplayModeGuard.
int g_watchFd = -1;
int g_answerFd = -1;

constexpr int GuardWatchFd = 3;
constexpr int GuardAnswerFd = 4;
constexpr char Release = 'R';       // program to guardian: nothing to restore
constexpr char RestoreNow = 'C';    // program to guardian: restore at once (a crash)
constexpr char Ready = 'G';         // guardian to program: the desktop mode is noted
constexpr char Restored = 'D';      // guardian to program: the mode is back

struct CrtcMode {
    RRCrtc crtc;
    RRMode mode;
    int x, y;
    Rotation rotation;
    std::vector<RROutput> outputs;
};

struct DesktopMode {
    int width, height, widthMm, heightMm;
    std::vector<CrtcMode> crtcs;
};

bool ReadDesktopMode(Display* display, DesktopMode* desktop)
{
    const int screen = DefaultScreen(display);
    // The root window's size as the server has it now (Xlib's own copy is from when the
    // connection opened).
    Window root;
    int x, y;
    unsigned width, height, border, depth;
    if (!XGetGeometry(display, RootWindow(display, screen), &root, &x, &y, &width, &height, &border, &depth))
        return false;
    desktop->width = static_cast<int>(width);
    desktop->height = static_cast<int>(height);
    desktop->widthMm = DisplayWidthMM(display, screen);
    desktop->heightMm = DisplayHeightMM(display, screen);
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, RootWindow(display, screen));
    if (!resources) return false;
    for (int i = 0; i < resources->ncrtc; ++i) {
        XRRCrtcInfo* info = XRRGetCrtcInfo(display, resources, resources->crtcs[i]);
        if (!info) continue;
        desktop->crtcs.push_back({resources->crtcs[i], info->mode, info->x, info->y, info->rotation,
                                  std::vector<RROutput>(info->outputs, info->outputs + info->noutput)});
        XRRFreeCrtcInfo(info);
    }
    XRRFreeScreenResources(resources);
    return true;
}

bool SameCrtcMode(const CrtcMode& a, const CrtcMode& b)
{
    return a.mode == b.mode && a.x == b.x && a.y == b.y && a.rotation == b.rotation && a.outputs == b.outputs;
}

// Sets the noted mode again where it differs: the changed CRTCs off, the screen's size,
// then the CRTCs as they were (as a CRTC must always fit the screen).
void RestoreDesktopMode(Display* display, const DesktopMode& desktop)
{
    const Window root = DefaultRootWindow(display);
    DesktopMode now;
    if (!ReadDesktopMode(display, &now)) return;
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    if (!resources) return;
    std::vector<const CrtcMode*> changed;
    for (const CrtcMode& noted : desktop.crtcs)
        for (const CrtcMode& current : now.crtcs)
            if (current.crtc == noted.crtc && !SameCrtcMode(current, noted)) changed.push_back(&noted);
    const bool resize = now.width != desktop.width || now.height != desktop.height;
    if (!changed.empty() || resize) {
        XGrabServer(display);
        for (const CrtcMode* crtc : changed)
            XRRSetCrtcConfig(display, resources, crtc->crtc, CurrentTime, 0, 0, None, RR_Rotate_0, nullptr, 0);
        if (resize) XRRSetScreenSize(display, root, desktop.width, desktop.height, desktop.widthMm, desktop.heightMm);
        for (const CrtcMode* crtc : changed)
            XRRSetCrtcConfig(display, resources, crtc->crtc, CurrentTime, crtc->x, crtc->y, crtc->mode,
                             crtc->rotation, const_cast<RROutput*>(crtc->outputs.data()),
                             static_cast<int>(crtc->outputs.size()));
        XUngrabServer(display);
        XSync(display, False);
    }
    XRRFreeScreenResources(resources);
}

void WriteByte(int fd, char byte)
{
    while (write(fd, &byte, 1) < 0 && errno == EINTR) {
    }
}

// Waits at most timeoutMs for one byte on fd; 0 when none came.
char ReadByte(int fd, int timeoutMs)
{
    pollfd ready{fd, POLLIN, 0};
    int polled;
    while ((polled = poll(&ready, 1, timeoutMs)) < 0 && errno == EINTR) {
    }
    char byte = 0;
    if (polled <= 0 || read(fd, &byte, 1) != 1) return 0;
    return byte;
}

constexpr int CrashSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
// The handlers before ours: written by RestoreOnCrash, read by RestoreAndDie.
struct sigaction g_crashActions[sizeof CrashSignals / sizeof CrashSignals[0]];

// A crash hands the mode back through the guardian before the process dies, then goes to
// whatever handled the signal before (a sanitizer's report, or the default end).
void RestoreAndDie(int signal)
{
    RestoreThroughGuardNow(1500);
    for (size_t i = 0; i < sizeof CrashSignals / sizeof CrashSignals[0]; ++i)
        if (CrashSignals[i] == signal) sigaction(signal, &g_crashActions[i], nullptr);
    raise(signal);
}

void RestoreOnCrash()
{
    static bool installed = false;
    if (installed) return;
    installed = true;
    struct sigaction action {};
    action.sa_handler = RestoreAndDie;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_NODEFER;
    for (size_t i = 0; i < sizeof CrashSignals / sizeof CrashSignals[0]; ++i)
        sigaction(CrashSignals[i], &action, &g_crashActions[i]);
}

}  // namespace

bool StartDisplayModeGuard()
{
    if (g_watchFd >= 0) return true;
    // A guardian that is gone makes writes to it fail, never ends the program.
    ::signal(SIGPIPE, SIG_IGN);
    char program[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", program, sizeof program - 1);
    if (length <= 0) return false;
    program[length] = '\0';
    int watch[2], answer[2];
    if (pipe2(watch, O_CLOEXEC) != 0) return false;
    if (pipe2(answer, O_CLOEXEC) != 0) {
        close(watch[0]), close(watch[1]);
        return false;
    }
    char argument[sizeof DisplayModeGuardArgument];
    for (size_t i = 0; i < sizeof argument; ++i) argument[i] = DisplayModeGuardArgument[i];
    char* argv[] = {program, argument, nullptr};
    const pid_t pid = fork();
    if (pid == 0) {
        // Only async-signal-safe calls between fork and exec: other threads were running.
        if (dup2(watch[0], GuardWatchFd) < 0 || dup2(answer[1], GuardAnswerFd) < 0) _exit(127);
        execv(program, argv);
        _exit(127);
    }
    close(watch[0]);
    close(answer[1]);
    g_watchFd = watch[1];
    g_answerFd = answer[0];
    // The guardian notes the mode before the program may change it.
    if (pid < 0 || ReadByte(g_answerFd, 10000) != Ready) {
        close(g_watchFd), close(g_answerFd);
        g_watchFd = g_answerFd = -1;
        return false;
    }
    RestoreOnCrash();
    return true;
}

void ReleaseDisplayModeGuard()
{
    if (g_watchFd < 0) return;
    WriteByte(g_watchFd, Release);
    close(g_watchFd), close(g_answerFd);
    g_watchFd = g_answerFd = -1;
}

void RestoreThroughGuardNow(int timeoutMs)
{
    if (g_watchFd < 0) return;
    WriteByte(g_watchFd, RestoreNow);
    ReadByte(g_answerFd, timeoutMs);
}

// An X error (a CRTC that vanished meanwhile) is no reason for the guardian to die
// before it has tried the rest.
static int IgnoreXError(Display*, XErrorEvent*) { return 0; }

// The watch pipe is file 3 and the answer pipe file 4.
int RunDisplayModeGuard(int, char**)
{
    // The guardian outlives a hang-up or an interrupt sent to the program's group: the
    // program's end is what it waits for.
    for (int signal : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE}) ::signal(signal, SIG_IGN);
    XSetErrorHandler(IgnoreXError);
    Display* display = XOpenDisplay(nullptr);
    DesktopMode desktop;
    if (!display || !ReadDesktopMode(display, &desktop)) return 1;
    WriteByte(GuardAnswerFd, Ready);
    for (;;) {
        char byte = 0;
        const ssize_t got = read(GuardWatchFd, &byte, 1);
        if (got < 0 && errno == EINTR) continue;
        if (got == 1 && byte == Release) break;
        RestoreDesktopMode(display, desktop);
        if (got == 1 && byte == RestoreNow) {
            WriteByte(GuardAnswerFd, Restored);
            continue;
        }
        break;   // the program ended without a release
    }
    XCloseDisplay(display);
    return 0;
}
