#include "shell/window.h"

#include <deque>

#include "platform/platform.h"

namespace {

bool g_windowOpen = false;      // written by CreateMainWindow and by closing
bool g_quitRequested = false;   // written by the pump
bool g_hidden = false;          // written by MainWindowProc

std::deque<WindowMessage> g_queue;   // written by PostWindowMessage, PostQuitMessage and the pump
std::deque<ViewerRequest> g_viewerRequests;   // written by MainWindowProc, taken by the player

// Window-system events arrive in the queue as messages, in their order.
void CollectPlatformEvents()
{
    PlatformEvent event;
    while (PlatformPollEvent(&event)) {
        switch (event.kind) {
        case PlatformEventKind::KeyDown: g_queue.push_back({Message::KeyDown, event.key}); break;
        case PlatformEventKind::CloseRequest: g_queue.push_back({Message::Close}); break;
        case PlatformEventKind::Hidden: g_queue.push_back({Message::Hide}); break;
        case PlatformEventKind::Shown: g_queue.push_back({Message::Show}); break;
        case PlatformEventKind::SeekTo: g_queue.push_back({Message::SeekTo, Key::Other, event.demoTime}); break;
        case PlatformEventKind::Other: break;
        }
    }
}

void DestroyMainWindow()
{
    if (!g_windowOpen) return;   // a second close request finds nothing left to destroy
    PlatformDestroyWindow();
    g_windowOpen = false;
    MainWindowProc({Message::Destroy});
}

// What the window system does with a message the procedure passes on.
long DefaultProcessing(const WindowMessage& message)
{
    if (message.kind == Message::Close) DestroyMainWindow();
    return 0;
}

}  // namespace

bool MainWindowOpen() { return g_windowOpen; }

bool QuitWasRequested() { return g_quitRequested; }

bool MainWindowHidden() { return g_hidden; }

bool CreateMainWindow(const MainWindowOptions& options)
{
    PlatformWindowOptions o{};
    o.title = "Zircon megademo";
    o.x = 0;
    o.y = 0;
    o.width = options.width;
    o.height = options.height;
    o.resizable = options.resizable;
    o.samples = options.samples;
    o.borderless = !options.desktopWindow;
    o.alwaysOnTop = !options.desktopWindow;
    o.hideCursor = true;
    o.hidden = options.hidden;
    if (!PlatformCreateWindow(o)) return false;
    g_windowOpen = true;
    if (!options.hidden) PlatformShowWindow();
    return true;
}

long MainWindowProc(const WindowMessage& message)
{
    switch (message.kind) {
    case Message::Destroy:
        PostQuitMessage();
        return DefaultProcessing(message);
    case Message::Hide:
    case Message::Show:
        g_hidden = message.kind == Message::Hide;
        return DefaultProcessing(message);
    case Message::KeyDown:
        if (message.key == KeyEscape) PostWindowMessage({Message::Close});
        else if (message.key != Key::Other) g_viewerRequests.push_back({message.key});
        return DefaultProcessing(message);
    case Message::SeekTo:
        g_viewerRequests.push_back({Key::Other, message.demoTime < 0 ? 0 : message.demoTime});
        return DefaultProcessing(message);
    default:
        return DefaultProcessing(message);
    }
}

bool PumpMessages()
{
    if (g_quitRequested) return true;
    WindowMessage message;
    while (PeekWindowMessage(&message)) {
        if (message.kind == Message::Quit) {
            g_quitRequested = true;   // anything behind the quit stays queued
            return true;
        }
        MainWindowProc(message);
    }
    return false;
}

void PostWindowMessage(const WindowMessage& message) { g_queue.push_back(message); }

void PostQuitMessage() { g_queue.push_back({Message::Quit}); }

bool PeekWindowMessage(WindowMessage* message)
{
    if (g_queue.empty()) CollectPlatformEvents();
    if (g_queue.empty()) return false;
    *message = g_queue.front();
    g_queue.pop_front();
    return true;
}

bool TakeViewerRequest(ViewerRequest* request)
{
    if (g_viewerRequests.empty()) return false;
    *request = g_viewerRequests.front();
    g_viewerRequests.pop_front();
    return true;
}

int PendingMessageCount() { return static_cast<int>(g_queue.size()); }

void ResetWindowState()
{
    g_queue.clear();
    g_viewerRequests.clear();
    g_quitRequested = false;
    g_hidden = false;
    g_windowOpen = false;
}

void MarkMainWindowOpen() { g_windowOpen = true; }
