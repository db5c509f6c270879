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

void EnterOpening(OpeningScene& scene, FrameContext& frame)
{
    frame.render.SetDepthTest(false);
    scene.brightness = 0.0f;
}

// 0.002 per designed frame in double precision, stored as a float: at 60 frames a second
// the 501st step reaches 1.0019943 and the ramp stops there.
void CarryOpening(OpeningScene& scene, FrameContext& frame)
{
    float& brightness = scene.brightness;
    if (brightness < 1.0f)
        brightness = static_cast<float>(static_cast<double>(brightness) + ScaledStep(OpeningFadeStep, frame.elapsedFrames));
}

void DrawOpeningFrame(OpeningScene& scene, FrameContext& frame)
{
    RenderInterface& render = frame.render;
    const TextureId backdrop = frame.resources.textures.titleCreditsBackground;
    const float& brightness = scene.brightness;
    render.BindSecondTexture(NoTexture);
    render.SetBlendMode(BlendMode::OpaqueNearest);
    DrawBackgroundLower(render, brightness, brightness, brightness, backdrop);
    CarryOpening(scene, frame);   // the flares show the stepped brightness
    for (const int32_t flare : {OpeningFirstFlare, OpeningSecondFlare}) {
        if (frame.demoTime > flare) {
            render.SetBlendMode(BlendMode::AdditiveFiltersKept);
            DrawBackgroundLower(render, brightness, brightness, brightness, backdrop);
        }
    }
}

using Opening = RoutinesOn<&SceneStates::opening>;

}  // namespace

const SceneRoutines OpeningSceneRoutines = {
    .enter = Opening::Frame<EnterOpening>,
    .drawFrame = Opening::Frame<DrawOpeningFrame>,
    .carry = Opening::Frame<CarryOpening>,
};
