// Test support: a render interface that draws nothing and keeps a copy of every
// triangle handed to the two triangle submitters the clipper uses (constructing it makes
// no GL calls; its other operations are recorded as calls), and a record builder.
#pragma once

#include <array>
#include <vector>

#include "gfx/render_interface.h"
#include "support/call_recorder.h"

struct RecordingRenderer : CallRecorder {
    std::vector<std::array<ScreenVertex, 3>> single, dual;

    void DrawTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) override
    {
        single.push_back({a, b, c});
    }
    void DrawTriangleDualTexture(const ScreenVertex& a, const ScreenVertex& b,
                                 const ScreenVertex& c) override
    {
        dual.push_back({a, b, c});
    }
};

inline ScreenVertex ViewVertex(float x, float y, float z)
{
    ScreenVertex v{};
    v.x = x;
    v.y = y;
    v.z = z;
    return v;
}

