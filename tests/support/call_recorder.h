// A render interface that draws nothing and records every call in order, so drawing
// code can be checked without a GL context.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "gfx/render_interface.h"

struct RecordedCall {
    std::string op;                    // "SetDepthTest", "DrawQuad", ...
    int a = 0, b = 0;                  // integer arguments (switch, mode, texture name)
    std::vector<ScreenVertex> vertices;
};

class CallRecorder : public RenderInterface {
public:
    std::vector<RecordedCall> calls;
    // The texture name most recently handed out.
    uint32_t NextTextureId = FirstTextureIdBase;

    void SetDepthTest(bool enabled) override { Add("SetDepthTest", enabled ? 1 : 0); }
    TextureId CreateTexture(const Image&) override
    {
        Add("CreateTexture");
        return TextureId{++NextTextureId};
    }
    void DrawTriangle(const ScreenVertex& p1, const ScreenVertex& p2, const ScreenVertex& p3) override
    {
        Add("DrawTriangle", 0, 0, {p1, p2, p3});
    }
    void DrawTriangleAffine(const ScreenVertex& p1, const ScreenVertex& p2, const ScreenVertex& p3) override
    {
        Add("DrawTriangleAffine", 0, 0, {p1, p2, p3});
    }
    void DrawTriangleDualTexture(const ScreenVertex& p1, const ScreenVertex& p2, const ScreenVertex& p3) override
    {
        Add("DrawTriangleDualTexture", 0, 0, {p1, p2, p3});
    }
    void DrawQuad(const ScreenVertex& p1, const ScreenVertex& p2, const ScreenVertex& p3,
                  const ScreenVertex& p4) override
    {
        Add("DrawQuad", 0, 0, {p1, p2, p3, p4});
    }
    void BindTexture(TextureId id) override { Add("BindTexture", static_cast<int>(id.name)); }
    void BindSecondTexture(TextureId id) override { Add("BindSecondTexture", static_cast<int>(id.name)); }
    void ClearFrame() override { Add("ClearFrame"); }
    void PresentFrame() override { Add("PresentFrame"); }
    void SetBlendMode(BlendMode mode) override { Add("SetBlendMode", static_cast<int>(mode)); }
    // An empty frame of no size.
    void ReadFrame(std::vector<uint8_t>* bgra, int* width, int* height) override
    {
        Add("ReadFrame");
        bgra->clear();
        *width = *height = 0;
    }
    void KeepFrame() override { Add("KeepFrame"); }
    void DrawKeptFrame() override { Add("DrawKeptFrame"); }

    // The operation names in call order.
    std::vector<std::string> Ops() const
    {
        std::vector<std::string> ops;
        for (const RecordedCall& c : calls) ops.push_back(c.op);
        return ops;
    }

private:
    void Add(const char* op, int a = 0, int b = 0, std::vector<ScreenVertex> vertices = {})
    {
        calls.push_back({op, a, b, std::move(vertices)});
    }
};

// The index of the first call of a that differs from b's in operation, arguments or any
// vertex field (bit for bit), or where one list ends before the other; -1 when equal.
inline long FirstDifferentCall(const std::vector<RecordedCall>& a, const std::vector<RecordedCall>& b)
{
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const RecordedCall &x = a[i], &y = b[i];
        if (x.op != y.op || x.a != y.a || x.b != y.b || x.vertices.size() != y.vertices.size() ||
            (!x.vertices.empty() &&
             std::memcmp(x.vertices.data(), y.vertices.data(), x.vertices.size() * sizeof(ScreenVertex)) != 0))
            return static_cast<long>(i);
    }
    return a.size() == b.size() ? -1 : static_cast<long>(a.size() < b.size() ? a.size() : b.size());
}
