// The canvas's WebGL context lost and restored: the page is told (it holds the music and,
// once the context is back, has the pictures decoded again) and the program's restore call
// is made through the exported ZirconRestoreGraphics.
#include "platform/web_graphics.h"

#include <emscripten.h>
#include <emscripten/html5.h>

namespace {

constexpr const char* Canvas = "#canvas";

// Written by the functions of this file only (the program's one thread).
bool g_held = false;
bool (*g_restore)(void*) = nullptr;
void* g_restoreContext = nullptr;

EM_JS(void, PageGraphicsLost, (), { Module.page.graphicsLost(); });
EM_JS(void, PageGraphicsRestored, (), { Module.page.graphicsRestored(); });

// Taken: the default (the context given up for good) is prevented, so it can come back.
EM_BOOL OnContextLost(int, const void*, void*)
{
    g_held = true;
    PageGraphicsLost();
    return EM_TRUE;
}

EM_BOOL OnContextRestored(int, const void*, void*)
{
    PageGraphicsRestored();
    return EM_TRUE;
}

}  // namespace

void PlatformOnGraphicsRestored(bool (*restore)(void* context), void* context)
{
    g_restore = restore;
    g_restoreContext = context;
    const auto lost = restore ? OnContextLost : nullptr;
    const auto restored = restore ? OnContextRestored : nullptr;
    emscripten_set_webglcontextlost_callback(Canvas, nullptr, EM_FALSE, lost);
    emscripten_set_webglcontextrestored_callback(Canvas, nullptr, EM_FALSE, restored);
}

bool PlatformGraphicsHeld() { return g_held; }

// Called by the page once the context is back and the pictures are decoded again: makes
// the graphics again; false (play stays held) when they could not be made.
extern "C" EMSCRIPTEN_KEEPALIVE bool ZirconRestoreGraphics()
{
    if (!g_held || !g_restore) return false;
    if (!g_restore(g_restoreContext)) return false;
    g_held = false;
    return true;
}
