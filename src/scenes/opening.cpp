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

void PlayOpeningScene()
{
    SetScreenProjection(0.0f, 0.0f, 1.0f, 1.0f);
    Renderer->SetDepthTest(false);
    float Brightness = 0.0f;

    RunFrameLoop(
        OpeningSceneEnd,
        [&] {
            Renderer->BindSecondTexture(NoTexture);
            Renderer->SetBlendMode(BlendMode::OpaqueTrilinear);
            Renderer->SetBlendMode(BlendMode::OpaqueNearest);
            DrawBackgroundLower(Brightness, Brightness, Brightness, BackdropTexture);
            // 0.002 per designed frame in double precision, stored as a float: at 60 frames
            // a second the 501st step reaches 1.0019943 and the ramp stops there.
            if (Brightness < 1.0f)
                Brightness = static_cast<float>(static_cast<double>(Brightness) + ScaledStep(0.002, FrameSteps()));
            if (DemoTime > 17100) {
                Renderer->SetBlendMode(BlendMode::Additive);
                DrawBackgroundLower(Brightness, Brightness, Brightness, BackdropTexture);
            }
            if (DemoTime > 17250) {
                Renderer->SetBlendMode(BlendMode::Additive);
                DrawBackgroundLower(Brightness, Brightness, Brightness, BackdropTexture);
            }
        },
        [] { AdvancePhase(&AnimationPhase, ScaledStep(0.003, FrameSteps())); });
}
