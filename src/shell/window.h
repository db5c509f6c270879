// The main window, its message queue and the non-blocking message pump.
//
// Window-system events become messages in one queue. Escape posts a close request;
// closing destroys the window, which posts the quit message; PumpMessages turns the
// quit message into a sticky quit (QuitWasRequested). So every way of closing the window
// ends in the same quit.
#pragma once

#include <cstdint>

#include "platform/platform.h"

enum class Message { Destroy, KeyDown, Close, Quit, Hide, Show, SeekTo, Other };

struct WindowMessage {
    Message kind;
    Key key = Key::Other;   // KeyDown
    int32_t demoTime = 0;   // SeekTo: the demo time in ms
};

constexpr Key KeyEscape = Key::Escape;

// True while the window exists: from CreateMainWindow until it is closed.
bool MainWindowOpen();
// True once the pump has retrieved the quit message; stays true until ResetWindowState.
bool QuitWasRequested();
// True between a Hide message (the window minimised, or stepped aside from fullscreen for
// another window) and the Show that brings it back.
bool MainWindowHidden();

struct MainWindowOptions {
    bool desktopWindow = false;   // a normal window instead of the fullscreen popup
    bool hidden = false;          // not shown (tests)
    bool resizable = false;       // the user may resize it; the picture follows
    int width = 640, height = 480;
    int samples = 0;              // multisampling: samples per pixel, 0 for none
};

// Creates the window at (0, 0) titled "Zircon megademo", 640 × 480 unless asked otherwise.
bool CreateMainWindow(const MainWindowOptions& options);

// The window procedure: handles a message, returns its result.
long MainWindowProc(const WindowMessage& message);

// Dispatches pending messages without waiting. True means quit.
bool PumpMessages();

// What the viewer asked of play: a key (every key but Escape), or play from a demo time
// (a page's scrubber).
struct ViewerRequest {
    Key key = Key::Other;   // Key::Other for a seek
    int32_t seekToMs = -1;  // >= 0: play from this demo time
};

// The viewer's requests that the pump has dispatched, oldest first; false when none is
// waiting. The player takes them after each pump.
bool TakeViewerRequest(ViewerRequest* request);

// Queue access, also used by tests.
void PostWindowMessage(const WindowMessage& message);
void PostQuitMessage();
bool PeekWindowMessage(WindowMessage* message);   // takes the next message, if any
int PendingMessageCount();
void ResetWindowState();                           // tests: empty queue, flags cleared, no window
void MarkMainWindowOpen();                         // tests: the message handling takes a window to exist
