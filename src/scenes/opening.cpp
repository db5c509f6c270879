// The opening scene: the title picture (lower half of the backdrop texture) fading in,
// then flaring.
#include "scenes/opening.h"

#include "fx/background.h"
#include "gfx/render_interface.h"
#include "pipeline/clip.h"
#include "scenes/frame_steps.h"
#include "scenes/resources.h"
#include "scenes/scenes.h"

namespace {

void EnterOpening(SceneStates& states, FrameContext& frame)
{
    frame.render.SetDepthTest(false);
    states.opening.brightness = 0.0f;
}

// 0.002 per designed frame in double precision, stored as a float: at 60 frames a second
// the 501st step reaches 1.0019943 and the ramp stops there.
void CarryOpening(SceneStates& states, FrameContext& frame)
{
    float& brightness = states.opening.brightness;
    if (brightness < 1.0f)
        brightness = static_cast<float>(static_cast<double>(brightness) + ScaledStep(OpeningFadeStep, frame.elapsedFrames));
}

void DrawOpeningFrame(SceneStates& states, FrameContext& frame)
{
    RenderInterface& render = frame.render;
    const TextureId backdrop = frame.resources.textures.titleCreditsBackground;
    const float& brightness = states.opening.brightness;
    render.BindSecondTexture(NoTexture);
    render.SetBlendMode(BlendMode::OpaqueNearest);
    DrawBackgroundLower(render, brightness, brightness, brightness, backdrop);
    CarryOpening(states, frame);   // the flares show the stepped brightness
    for (const int32_t flare : {OpeningFirstFlare, OpeningSecondFlare}) {
        if (frame.demoTime > flare) {
            render.SetBlendMode(BlendMode::AdditiveFiltersKept);
            DrawBackgroundLower(render, brightness, brightness, brightness, backdrop);
        }
    }
}

}  // namespace

const SceneRoutines OpeningSceneRoutines = {
    .enter = EnterOpening,
    .drawFrame = DrawOpeningFrame,
    .carry = CarryOpening,
};
