// The platform layer in a web page: the canvas is the window, the document's keys its
// events, a WebGL 2 context its GL context, and the page's clock its tick count.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstring>
#include <deque>

#include "platform/platform.h"
#include "platform/web_graphics.h"
#include "platform/web_page.h"

namespace {

constexpr const char* Canvas = "#canvas";

// Written by the functions of this file only (the program's one thread).
bool g_window = false;
EMSCRIPTEN_WEBGL_CONTEXT_HANDLE g_context = 0;
std::deque<PlatformEvent> g_events;
// The program's callbacks and their contexts, as it handed them in.
bool (*g_frame)(void*) = nullptr;
void* g_frameContext = nullptr;
void (*g_playAgain)(void*) = nullptr;
void* g_playAgainContext = nullptr;

// A key by its KeyboardEvent code ("Space", "PageDown"...); Other for the page's own.
Key KeyOfCode(const char* code)
{
    const struct {
        const char* code;
        Key key;
    } keys[] = {
        {"Escape", Key::Escape}, {"Space", Key::Space},     {"Tab", Key::Tab},
        {"ArrowLeft", Key::Left}, {"ArrowRight", Key::Right}, {"PageUp", Key::PageUp},
        {"PageDown", Key::PageDown}, {"Home", Key::Home},   {"F12", Key::F12},
    };
    for (const auto& k : keys)
        if (std::strcmp(code, k.code) == 0) return k.key;
    return Key::Other;
}

// Queues the program's key of that code for the next poll; false for the page's own keys
// (F for fullscreen) and before the window exists.
bool PushKeyOfCode(const char* code)
{
    const Key key = code ? KeyOfCode(code) : Key::Other;
    if (!g_window || key == Key::Other) return false;
    g_events.push_back({PlatformEventKind::KeyDown, key});
    return true;
}

EM_BOOL OnKeyDown(int, const EmscriptenKeyboardEvent* e, void*)
{
    if (e->repeat) return EM_FALSE;
    return PushKeyOfCode(e->code) ? EM_TRUE : EM_FALSE;   // taken: no scrolling, focus change or dev tools
}

EM_BOOL OnAnimationFrame(double, void*)
{
    if (g_frame && PlatformGraphicsHeld()) return EM_TRUE;   // no frame without a context: play holds
    if (g_frame && g_frame(g_frameContext)) return EM_TRUE;
    g_frame = nullptr;
    return EM_FALSE;
}

}  // namespace

// ---- Window -------------------------------------------------------------------------

bool PlatformCreateWindow(const PlatformWindowOptions& options)
{
    if (g_window) return true;
    if (emscripten_set_canvas_element_size(Canvas, options.width, options.height) != EMSCRIPTEN_RESULT_SUCCESS)
        return false;
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_FALSE, OnKeyDown);
    g_window = true;
    return true;
}

bool PlatformHasWindow() { return g_window; }
void PlatformShowWindow() {}
void PlatformRaiseWindow() {}

void PlatformDestroyWindow()
{
    if (!g_window) return;
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_FALSE, nullptr);
    g_events.clear();
    g_window = false;
}

void PlatformDrawableSize(int* width, int* height)
{
    *width = *height = 0;
    if (g_window) emscripten_get_canvas_element_size(Canvas, width, height);
}

bool PlatformSetWindowIcon(const uint8_t*, int, int) { return false; }   // the page's favicon stands for it

// ---- Events -------------------------------------------------------------------------

bool PlatformPollEvent(PlatformEvent* event)
{
    if (g_events.empty()) return false;
    *event = g_events.front();
    g_events.pop_front();
    return true;
}

// ---- Display mode: the page's F key and button ask the browser for fullscreen -------

bool PlatformCanChangeDisplayMode() { return false; }
bool PlatformEnterFullscreen(int, int, int) { return false; }
bool PlatformRestoreDisplayMode() { return true; }

// ---- GL context ---------------------------------------------------------------------

EM_JS(int, PageCapturesFrames, (), { return Module.page.capturesFrames() ? 1 : 0; });

bool PlatformCreateGLContext()
{
    if (g_context) return true;
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_TRUE;
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;
    // Kept readable after it is shown only for a page that captures frames (at=): a kept
    // buffer costs a copy a frame and memory.
    attributes.preserveDrawingBuffer = PageCapturesFrames() ? EM_TRUE : EM_FALSE;
    attributes.powerPreference = EM_WEBGL_POWER_PREFERENCE_HIGH_PERFORMANCE;
    g_context = emscripten_webgl_create_context(Canvas, &attributes);
    if (g_context <= 0) {
        g_context = 0;
        return false;
    }
    return emscripten_webgl_make_context_current(g_context) == EMSCRIPTEN_RESULT_SUCCESS;
}

bool PlatformDeleteGLContext()
{
    if (!g_context) return true;
    const bool deleted = emscripten_webgl_destroy_context(g_context) == EMSCRIPTEN_RESULT_SUCCESS;
    g_context = 0;
    return deleted;
}

bool PlatformHasGLContext() { return g_context != 0; }

void PlatformGLContextInfo(PlatformGLInfo* info)
{
    *info = {24, 24, true};
}

void* PlatformGLProcAddress(const char*) { return nullptr; }   // WebGL 2 has every entry point built in
void PlatformSwapBuffers() {}   // the browser shows the canvas when the frame's callback returns
bool PlatformSetVsync(bool) { return false; }   // animation frames already follow the display
int PlatformRefreshRate() { return 0; }

// ---- Clock: the page's, which follows the audio clock once the music plays ----------

EM_JS(double, PageTickMs, (), { return Module.page.tickMs(); });

uint32_t PlatformTickCount()
{
    return static_cast<uint32_t>(static_cast<uint64_t>(PageTickMs()));
}

// ---- Messages -----------------------------------------------------------------------

EM_JS(void, PageShowMessage, (const char* text, const char* caption),
      { Module.page.showMessage(UTF8ToString(text), UTF8ToString(caption)); });

bool PlatformMessageBox(const char* text, const char* caption)
{
    PageShowMessage(text, caption);
    return true;
}

// ---- Process ------------------------------------------------------------------------

void PlatformQuit()
{
    PlatformDeleteGLContext();
    PlatformDestroyWindow();
}

std::string PlatformProgramFolder() { return ""; }

// ---- The page -----------------------------------------------------------------------

void PlatformRunAnimationFrames(bool (*frame)(void* context), void* context)
{
    g_frame = frame;
    g_frameContext = context;
    emscripten_request_animation_frame_loop(OnAnimationFrame, nullptr);
}

void PlatformOnPlayAgain(void (*playAgain)(void* context), void* context)
{
    g_playAgain = playAgain;
    g_playAgainContext = context;
}

extern "C" EMSCRIPTEN_KEEPALIVE void ZirconPlayAgain()
{
    if (g_playAgain) g_playAgain(g_playAgainContext);
}

// The page's touch controls press the program's keys by their KeyboardEvent codes, as the
// keyboard does; false for a code that is not one of them.
extern "C" EMSCRIPTEN_KEEPALIVE bool ZirconPressKey(const char* code) { return PushKeyOfCode(code); }

// The page's scrubber and media controls ask for play from a demo time (ms), taken with
// the keys in their order; false before the window exists.
extern "C" EMSCRIPTEN_KEEPALIVE bool ZirconSeekTo(int32_t demoTime)
{
    if (!g_window) return false;
    PlatformEvent event{PlatformEventKind::SeekTo, Key::Other};
    event.demoTime = demoTime < 0 ? 0 : demoTime;
    g_events.push_back(event);
    return true;
}

EM_JS(int, PagePictureSize, (const char* path, int* width, int* height), {
    const picture = Module.page.pictures.get(UTF8ToString(path));
    if (!picture) return 0;
    HEAP32[width >> 2] = picture.width;
    HEAP32[height >> 2] = picture.height;
    return 1;
});

EM_JS(int, PageCopyPicture, (const char* path, uint8_t* pixels), {
    const picture = Module.page.pictures.get(UTF8ToString(path));
    if (!picture) return 0;
    HEAPU8.set(picture.pixels, pixels);
    return 1;
});

bool PlatformDecodedPictureSize(const char* path, int* width, int* height)
{
    return PagePictureSize(path, width, height) != 0;
}

bool PlatformCopyDecodedPicture(const char* path, uint8_t* pixels)
{
    return PageCopyPicture(path, pixels) != 0;
}

EM_JS(void, PageFrameDrawn, (int32_t demoTime, int paused), { Module.page.frameDrawn(demoTime, paused != 0); });
EM_JS(void, PageSceneStarts, (int32_t index, int32_t startMs, const char* name),
      { Module.page.sceneStarts(index, startMs, UTF8ToString(name)); });
EM_JS(void, PageDemoEnds, (int32_t endMs), { Module.page.demoEnds(endMs); });
EM_JS(void, PagePlayEnded, (), { Module.page.playEnded(); });
EM_JS(int, PageAudioLatencyMs, (), { return Module.page.audioLatencyMs(); });

void PlatformFrameDrawn(int32_t demoTime, bool paused) { PageFrameDrawn(demoTime, paused ? 1 : 0); }

void PlatformTellScenes(const PageScene* scenes, int count, int32_t endMs)
{
    for (int i = 0; i < count; ++i) PageSceneStarts(i, scenes[i].startMs, scenes[i].name);
    PageDemoEnds(endMs);
}
double PlatformPlaySeconds() { return PageTickMs() / 1000.0; }
void PlatformPlayEnded() { PagePlayEnded(); }
bool PlatformCapturesFrames() { return PageCapturesFrames() != 0; }
int PlatformAudioLatencyMs() { return PageAudioLatencyMs(); }
