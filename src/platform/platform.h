// Platform layer: the only part of the program that talks to the operating system's
// window system, display, GL context loader, clock and audio output. Everything above it
// calls these role-named operations and never includes SDL.
//
// Conventions: sizes in pixels, times in milliseconds (unsigned 32-bit, wrapping),
// text in UTF-8. All calls are made from the program's one thread.
#pragma once

#include <cstdint>
#include <string>

// ---- Window -------------------------------------------------------------------------

struct PlatformWindowOptions {
    const char* title;
    int x, y, width, height;
    bool borderless;      // no frame or title bar
    bool alwaysOnTop;     // stays above other windows
    bool hideCursor;      // mouse cursor invisible over the window
    bool hidden;          // create without showing (tests)
    bool resizable;       // the user may resize it
    int samples;          // multisampling: samples per pixel, 0 for none
};

// Creates the one window with an OpenGL-capable surface. Returns false when no display
// or no suitable GL visual exists.
bool PlatformCreateWindow(const PlatformWindowOptions& options);
bool PlatformHasWindow();
void PlatformShowWindow();
void PlatformRaiseWindow();                      // to the foreground with keyboard focus
void PlatformDestroyWindow();
void PlatformDrawableSize(int* width, int* height);  // GL drawable in pixels
// Gives the window an icon: width × height pixels of red, green, blue, alpha (alpha =
// opacity), rows top first and width × 4 bytes apart; the pixels are copied. False when
// there is no window or the window system takes no icon.
bool PlatformSetWindowIcon(const uint8_t* rgba, int width, int height);

// ---- Events -------------------------------------------------------------------------

enum class PlatformEventKind { KeyDown, CloseRequest, Hidden, Shown, SeekTo, Other };

// The keys the program reacts to; every other key arrives as Other.
enum class Key { Other, Escape, Space, Tab, Left, Right, PageUp, PageDown, Home, F12 };

struct PlatformEvent {
    PlatformEventKind kind;
    Key key;              // for KeyDown
    int32_t demoTime = 0; // for SeekTo: the demo time (ms) the viewer chose on a page's scrubber
};

// A fullscreen window that loses the keyboard focus (Alt+Tab, a click on another monitor)
// steps aside: it leaves fullscreen, which gives the desktop its own mode back, is
// minimised and reports Hidden. Focus back, it takes fullscreen again in the mode it had
// and reports Shown. A desktop window reports Hidden while minimised and Shown when
// restored; losing the focus alone changes nothing.
//
// Takes the next pending event without waiting; false when none is pending.
bool PlatformPollEvent(PlatformEvent* event);

// ---- Display mode -------------------------------------------------------------------

// False where the display's mode is not the program's to change (a Wayland desktop, also
// through XWayland): fullscreen there is the desktop's own resolution.
bool PlatformCanChangeDisplayMode();
// Switches the display to the given mode with the window covering it. False, without
// touching the display, where the mode cannot be changed.
bool PlatformEnterFullscreen(int width, int height, int bitsPerPixel);
// Returns the display to the desktop mode. Safe to call at any time, any number of times.
bool PlatformRestoreDisplayMode();
// Covers the whole display with the window at the desktop's own resolution, without a
// mode change. True when the window then has the display's size.
bool PlatformEnterDesktopFullscreen();
// The size of the display the window is on, in the mode it runs in now.
bool PlatformDisplaySize(int* width, int* height);

// ---- OpenGL context -----------------------------------------------------------------

struct PlatformGLInfo {
    int colorBits;
    int depthBits;
    bool doubleBuffered;
};

bool PlatformCreateGLContext();                  // created and made current
bool PlatformDeleteGLContext();                  // released; false when the release failed
bool PlatformHasGLContext();
void PlatformGLContextInfo(PlatformGLInfo* info);
void* PlatformGLProcAddress(const char* name);   // null when the entry point is missing
void PlatformSwapBuffers();
// Swaps in step with the display's refresh (on) or at once (off, the state a new context
// starts in). False when the driver does not offer the choice.
bool PlatformSetVsync(bool on);
// The refresh rate of the window's display in hertz; 0 when unknown.
int PlatformRefreshRate();

// ---- Clock --------------------------------------------------------------------------

uint32_t PlatformTickCount();                    // milliseconds since an arbitrary start

// ---- Message boxes ------------------------------------------------------------------

// Shows a modal box with one OK button; returns false when no box could be shown.
bool PlatformMessageBox(const char* text, const char* caption);

// ---- MP3 stream player --------------------------------------------------------------

using AudioStreamHandle = uint32_t;             // 0 is never a valid stream

enum AudioErrorCode {
    AudioOk = 0,
    AudioErrorInit = 1,        // no output device could be opened
    AudioErrorNotInit = 2,     // called before a successful init
    AudioErrorFileOpen = 3,    // the file is missing or unreadable
    AudioErrorFormat = 4,      // the file is not a stream the decoder understands
    AudioErrorHandle = 5,      // the stream handle is not valid
    AudioErrorStart = 6,       // the output could not start playing
};

// Opens the output at sampleRate (the page's own rate in a browser). silentOutput: decode
// and play to an output that makes no sound (repeatable runs).
bool AudioInit(int sampleRate, bool silentOutput);
bool AudioStart();
// The output's buffer in sample frames and its rate, once the output is open; a sound
// started now is heard about one buffer later.
bool AudioOutputBuffer(int* samples, int* frequency);
AudioStreamHandle AudioStreamFromFile(const char* path);
bool AudioPlay(AudioStreamHandle stream, bool restart);
bool AudioSetVolume(int volumePercent);
// Moves a playing stream to the given time from its start (for a demo started late).
bool AudioSeek(AudioStreamHandle stream, int milliseconds);
// Holds (true) or resumes (false) the playing stream where it is.
bool AudioPause(bool paused);
// Where the playing stream is, in milliseconds from its start; -1 when none plays.
int AudioPositionMs(AudioStreamHandle stream);
// The stream as the listener hears it: *positionMs of it is heard at *atSeconds on the
// player's clock (std::chrono::steady_clock; in a page, its clock of play), the output's
// delay already counted. False
// when the output cannot tell, nothing plays, or it is held.
bool AudioHeardPosition(AudioStreamHandle stream, double* positionMs, double* atSeconds);
bool AudioStop();
bool AudioFreeStream(AudioStreamHandle stream);
// Decodes the whole file (after a successful init) and returns the length of the sound
// it holds in milliseconds; -1 when it cannot be decoded.
int AudioDecodedLength(const char* path);
void AudioFree();
int AudioLastError();

// ---- Process ------------------------------------------------------------------------

void PlatformQuit();                             // releases everything the layer holds
std::string PlatformProgramFolder();             // the folder of the running program, ending in '/'; "" if unknown
