// The viewer overlay's lines of text, in the top-left corner of the picture.
#include "app/viewer_overlay.h"

#include <cstdio>

#include "app/frame_stats.h"
#include "app/player.h"
#include "fx/text_overlay.h"

namespace {
TextureId g_font;   // written once by SetUpViewerOverlay
}

void SetUpViewerOverlay(RenderInterface& render) { g_font = CreateTextOverlayFont(render); }

void DrawViewerOverlay(RenderInterface& render, const PlayerStatus& status)
{
    char text[160];
    std::snprintf(text, sizeof text, "time %d.%03d s%s\nscene %d/%d %s\n%.1f fps  %.2f ms",
                  status.demoTime / 1000, (status.demoTime < 0 ? -status.demoTime : status.demoTime) % 1000,
                  status.paused ? "  paused" : "", status.scene, SceneCount, status.sceneName,
                  status.framesPerSecond, status.frameMs);
    // Two screen pixels a font pixel at 640 × 480, in the picture's own coordinates.
    DrawTextLines(render, g_font, text, TextPlacement{-0.97f, 0.96f, 2.0f * 7.0f / 240.0f});
}
