// A render interface for benchmarks: takes every call, draws nothing and makes no GL call,
// so what a benchmark measures is the processor's share; it counts the triangles handed
// over.
#pragma once

#include <cstdint>

#include "gfx/render_interface.h"

struct NullRenderer : RenderInterface {
    int64_t triangles = 0;
    uint32_t nextTextureId = FirstTextureIdBase;
    void SetDepthTest(bool) override {}
    TextureId CreateTexture(const Image&) override { return TextureId{++nextTextureId}; }
    void DrawTriangle(const ScreenVertex&, const ScreenVertex&, const ScreenVertex&) override { ++triangles; }
    void DrawTriangleAffine(const ScreenVertex&, const ScreenVertex&, const ScreenVertex&) override { ++triangles; }
    void DrawTriangleDualTexture(const ScreenVertex&, const ScreenVertex&, const ScreenVertex&) override
    {
        ++triangles;
    }
    void DrawQuad(const ScreenVertex&, const ScreenVertex&, const ScreenVertex&, const ScreenVertex&) override {}
    void BindTexture(TextureId) override {}
    void BindSecondTexture(TextureId) override {}
    void ClearFrame() override {}
    void PresentFrame() override {}
    void SetBlendMode(BlendMode) override {}
    void ReadFrame(std::vector<uint8_t>* bgra, int* width, int* height) override
    {
        bgra->clear();
        *width = *height = 0;
    }
    void KeepFrame() override {}
    void DrawKeptFrame() override {}
};
