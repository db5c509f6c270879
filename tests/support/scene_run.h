// One scene routine run under the recording render interface with the fixed 60 fps clock
// started at a chosen DemoTime, optionally ending with a quit after a number of frames.
#pragma once

#include <vector>

#include "shell/clock.h"
#include "shell/window.h"
#include "support/call_recorder.h"

// Also notes DemoTime at each PresentFrame, and posts the quit message after the
// quitAfter-th one (0: never).
class PresentTimingRecorder : public CallRecorder {
public:
    int quitAfter = 0;
    std::vector<int32_t> presentTimes;

    void PresentFrame() override
    {
        CallRecorder::PresentFrame();
        presentTimes.push_back(DemoTime);
        if (quitAfter > 0 && static_cast<int>(presentTimes.size()) == quitAfter) PostQuitMessage();
    }
};

struct SceneRun {
    PresentTimingRecorder recorder;
    RenderInterface* previous = Renderer;

    // Frame n of the run is drawn at DemoTime start + floor(n × 1000 / 60).
    explicit SceneRun(int32_t start, int quitAfter = 0)
    {
        ResetWindowState();
        MainWindow = 1;
        UseFixedFrameClock(60);
        DemoStartTick = DemoClockTicks() - static_cast<uint32_t>(start);
        DemoTime = start;
        recorder.quitAfter = quitAfter;
        Renderer = &recorder;
    }
    ~SceneRun()
    {
        Renderer = previous;
        UseFixedFrameClock(0);
        ResetWindowState();
    }

    // The calls of each frame: set-up calls before the first frame's draws go with it,
    // and each frame ends with its ClearFrame.
    std::vector<std::vector<RecordedCall>> Frames() const
    {
        std::vector<std::vector<RecordedCall>> frames(1);
        for (const RecordedCall& c : recorder.calls) {
            frames.back().push_back(c);
            if (c.op == "ClearFrame") frames.emplace_back();
        }
        frames.pop_back();
        return frames;
    }
};

// The calls of one frame after the first call of the given operation and argument (a
// texture name, a blend mode) up to the next call of that operation.
inline std::vector<RecordedCall> CallsAfter(const std::vector<RecordedCall>& frame, const std::string& op, int a)
{
    std::vector<RecordedCall> out;
    bool inside = false;
    for (const RecordedCall& c : frame) {
        if (c.op == op) {
            if (inside) break;
            inside = c.a == a;
            continue;
        }
        if (inside) out.push_back(c);
    }
    return out;
}
