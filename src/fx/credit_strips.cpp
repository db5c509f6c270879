// The credit bands: one screen-space rectangle each, two triangles.
#include "fx/credit_strips.h"

#include "fx/screen_rect.h"

namespace {

// The 75 pixel rows just below the horizontal centre line, across the whole width.
constexpr ScreenRect CreditBandRect = {-1.0f, -0.3125f, 1.0f, 0.0f};

// Slice `slice` of the picture, u 0..0.625 (640 texels of 1024). One view z of -1.0 at
// every corner, so the perspective division of DrawTriangle cancels out. The second
// unit's coordinates stay 0: that unit shows nothing under the credits.
void DrawCreditStrip(RenderInterface& render, float red, float green, float blue, float alpha, int slice, TriangleSubmitter submit)
{
    const TextureWindow window = {0.0f, 0.625f, CreditSliceEdges[slice + 1], CreditSliceEdges[slice]};
    ScreenVertex corner[4];
    FillRectCorners(corner, CreditBandRect, window, -1.0f, CornerColour{red, green, blue, alpha});
    SubmitRectTriangles(render, corner, submit);
}

}  // namespace

void DrawCreditStripA(RenderInterface& render, float red, float green, float blue, float alpha, TextureId)
{
    DrawCreditStrip(render, red, green, blue, alpha, 0, &RenderInterface::DrawTriangle);
}

void DrawCreditStripB(RenderInterface& render, float red, float green, float blue, float alpha, TextureId)
{
    DrawCreditStrip(render, red, green, blue, alpha, 1, &RenderInterface::DrawTriangle);
}

void DrawCreditStripC(RenderInterface& render, float red, float green, float blue, float alpha, TextureId)
{
    DrawCreditStrip(render, red, green, blue, alpha, 2, &RenderInterface::DrawTriangleDualTexture);
}
