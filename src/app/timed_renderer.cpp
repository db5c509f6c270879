// Times every render-interface call into the frame statistics.
#include "app/timed_renderer.h"

#include "app/frame_stats.h"

// Runs the call and adds its duration on the statistics' clock to the frame under way.
template <typename Call>
void TimedRenderInterface::Timed(Call&& call)
{
    const double begin = stats_->Now();
    call();
    stats_->AddDrawingTime((stats_->Now() - begin) * 1000.0);
}

TimedRenderInterface::TimedRenderInterface(RenderInterface* inner, FrameStats* stats) : inner_(inner), stats_(stats) {}

void TimedRenderInterface::SetDepthTest(bool enabled)
{
    Timed([&] { inner_->SetDepthTest(enabled); });
}

TextureId TimedRenderInterface::CreateTexture(const Image& image)
{
    TextureId id;
    Timed([&] { id = inner_->CreateTexture(image); });
    return id;
}

void TimedRenderInterface::DrawTriangle(const ScreenVertex& p1, const ScreenVertex& p2, const ScreenVertex& p3)
{
    Timed([&] { inner_->DrawTriangle(p1, p2, p3); });
}

void TimedRenderInterface::DrawTriangleAffine(const ScreenVertex& p1, const ScreenVertex& p2,
                                              const ScreenVertex& p3)
{
    Timed([&] { inner_->DrawTriangleAffine(p1, p2, p3); });
}

void TimedRenderInterface::DrawTriangleDualTexture(const ScreenVertex& p1, const ScreenVertex& p2,
                                                   const ScreenVertex& p3)
{
    Timed([&] { inner_->DrawTriangleDualTexture(p1, p2, p3); });
}

void TimedRenderInterface::DrawQuad(const ScreenVertex& p1, const ScreenVertex& p2, const ScreenVertex& p3,
                                    const ScreenVertex& p4)
{
    Timed([&] { inner_->DrawQuad(p1, p2, p3, p4); });
}

void TimedRenderInterface::BindTexture(TextureId id)
{
    Timed([&] { inner_->BindTexture(id); });
}

void TimedRenderInterface::BindSecondTexture(TextureId id)
{
    Timed([&] { inner_->BindSecondTexture(id); });
}

void TimedRenderInterface::ClearFrame()
{
    Timed([&] { inner_->ClearFrame(); });
}

void TimedRenderInterface::PresentFrame()
{
    Timed([&] { inner_->PresentFrame(); });
}

void TimedRenderInterface::SetBlendMode(BlendMode mode)
{
    Timed([&] { inner_->SetBlendMode(mode); });
}

void TimedRenderInterface::ReadFrame(std::vector<uint8_t>* bgra, int* width, int* height)
{
    inner_->ReadFrame(bgra, width, height);
}

void TimedRenderInterface::KeepFrame()
{
    Timed([&] { inner_->KeepFrame(); });
}

void TimedRenderInterface::DrawKeptFrame()
{
    Timed([&] { inner_->DrawKeptFrame(); });
}
