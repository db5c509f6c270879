// A render interface in front of another that times every call into a run's statistics:
// the time inside the calls is drawing (submission to the rasteriser, and the present,
// which waits for it); the rest of a frame is our own CPU work.
#pragma once

#include "gfx/render_interface.h"

class FrameStats;

class TimedRenderInterface : public RenderInterface {
public:
    // Both outlive it.
    TimedRenderInterface(RenderInterface* inner, FrameStats* stats);

    void SetDepthTest(bool enabled) override;
    TextureId CreateTexture(const Image& image) override;
    void DrawTriangle(const ScreenVertex& p1, const ScreenVertex& p2, const ScreenVertex& p3) override;
    void DrawTriangleAffine(const ScreenVertex& p1, const ScreenVertex& p2, const ScreenVertex& p3) override;
    void DrawTriangleDualTexture(const ScreenVertex& p1, const ScreenVertex& p2, const ScreenVertex& p3) override;
    void DrawQuad(const ScreenVertex& p1, const ScreenVertex& p2, const ScreenVertex& p3,
                  const ScreenVertex& p4) override;
    void BindTexture(TextureId id) override;
    void BindSecondTexture(TextureId id) override;
    void ClearFrame() override;
    void PresentFrame() override;
    void SetBlendMode(BlendMode mode) override;
    // Not timed: frames are read inside the present, which is.
    void ReadFrame(std::vector<uint8_t>* bgra, int* width, int* height) override;
    void KeepFrame() override;
    void DrawKeptFrame() override;

private:
    template <typename Call>
    void Timed(Call&& call);

    RenderInterface* inner_;
    FrameStats* stats_;
};
