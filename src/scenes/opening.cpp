// The opening scene: the title picture (lower half of the backdrop texture) fades in
// from black by a fixed step per designed frame (frame_pace.h), then flares with one
// additive copy after 17100 ms and a second after 17250 ms.
#include "shell/clock.h"
#include "fx/background.h"
#include "gfx/render_interface.h"
#include "pipeline/clip.h"
#include "scenes/frame_pace.h"
#include "scenes/resources.h"
#include "scenes/scene_kit.h"
#include "scenes/scenes.h"
#include "scenes/timeline.h"

namespace {

// The scene's state, written only by its routines.
float g_brightness = 0.0f;

void EnterOpening()
{
    SetScreenProjection(0.0f, 0.0f, 1.0f, 1.0f);
    Renderer->SetDepthTest(false);
    g_brightness = 0.0f;
}

FrameFinish DrawOpeningFrame(int32_t demoTime, double frames)
{
    Renderer->BindSecondTexture(NoTexture);
    Renderer->SetBlendMode(BlendMode::OpaqueTrilinear);
    Renderer->SetBlendMode(BlendMode::OpaqueNearest);
    DrawBackgroundLower(g_brightness, g_brightness, g_brightness, BackdropTexture);
    // 0.002 per designed frame in double precision, stored as a float: at 60 frames
    // a second the 501st step reaches 1.0019943 and the ramp stops there.
    if (g_brightness < 1.0f)
        g_brightness = static_cast<float>(static_cast<double>(g_brightness) + ScaledStep(0.002, frames));
    if (demoTime > 17100) {
        Renderer->SetBlendMode(BlendMode::Additive);
        DrawBackgroundLower(g_brightness, g_brightness, g_brightness, BackdropTexture);
    }
    if (demoTime > 17250) {
        Renderer->SetBlendMode(BlendMode::Additive);
        DrawBackgroundLower(g_brightness, g_brightness, g_brightness, BackdropTexture);
    }
    return FrameFinish::PresentThenTime;
}

void AdvanceOpening(double frames) { AdvancePhase(&AnimationPhase, ScaledStep(0.003, frames)); }

}  // namespace

const SceneRoutines OpeningSceneRoutines = {
    "opening picture", OpeningSceneEnd, nullptr, EnterOpening, DrawOpeningFrame, AdvanceOpening, nullptr, nullptr,
};
