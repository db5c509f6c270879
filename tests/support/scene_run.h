// One scene stepped through its routines under the recording render interface on the
// player's fixed 60 fps clock: the demo time is start + floor(presented × 1000 / 60),
// taken where the scene's FrameFinish says (before or after the present), one designed
// frame apart. The player tests check that it matches the player frame for frame.
#pragma once

#include <string>
#include <vector>

#include "scenes/frame_context.h"
#include "scenes/resources.h"
#include "scenes/timeline.h"
#include "support/call_recorder.h"

// Also notes the demo time at each PresentFrame.
class PresentTimingRecorder : public CallRecorder {
public:
    const int32_t* demoTime = nullptr;
    std::vector<int32_t> presentTimes;

    void PresentFrame() override
    {
        CallRecorder::PresentFrame();
        presentTimes.push_back(demoTime ? *demoTime : 0);
    }
};

class SceneRun {
public:
    PresentTimingRecorder recorder;
    float animationPhase = AnimationPhaseAtStart;

    SceneRun(SceneId scene, int32_t start, Resources& resources)
        : scene_(scene), routines_(SceneRoutinesOf(scene)), start_(start), demoTime_(start), resources_(resources)
    {
        recorder.demoTime = &demoTime_;
    }

    int32_t DemoTime() const { return demoTime_; }
    int FramesPresented() const { return presented_; }
    // Its steady clock: one designed frame a presented frame.
    double FrameSeconds() const { return presented_ / 60.0; }

    FrameContext Frame() { return FrameContext{demoTime_, 1.0, recorder, resources_, animationPhase}; }

    void SetUp() { SetUpScene(scene_, resources_); }
    // Entered as a start at `start` enters it: carried to that time as a play through
    // carries it.
    void Enter()
    {
        BeginSceneFrames(static_cast<int>(scene_) + 1, FrameSeconds());
        FrameContext frame = Frame();
        EnterScene(scene_, frame);
        CarrySceneTo(scene_, frame, 60);
    }
    void Leave()
    {
        FrameContext frame = Frame();
        LeaveScene(scene_, frame);
    }
    void Release() { ReleaseScene(scene_); }

    // One frame: drawn, finished in the order it asks (present and clear, the clock's
    // time), then its phase advanced.
    void Step()
    {
        FrameContext frame = Frame();
        const FrameFinish order = routines_.drawFrame(frame);
        if (order == FrameFinish::TimeThenPresent) TakeTime();
        recorder.PresentFrame();
        ++presented_;
        recorder.ClearFrame();
        if (order == FrameFinish::PresentThenTime) TakeTime();
        FrameContext finished = Frame();
        routines_.advance(finished);
    }

    // `frames` frames, or fewer when the scene's end comes first.
    void Steps(int frames)
    {
        for (int i = 0; i < frames && demoTime_ < routines_.end; ++i) Step();
    }
    // Frames until the scene's end time.
    void StepsToEnd()
    {
        while (demoTime_ < routines_.end) Step();
    }

    // The whole visit as the player makes it: set up, entered, `frames` frames (all until
    // the end when negative), left and released.
    void Play(int frames = -1)
    {
        SetUp();
        Enter();
        if (frames < 0)
            StepsToEnd();
        else
            Steps(frames);
        Leave();
        Release();
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

private:
    void TakeTime()
    {
        demoTime_ = start_ + static_cast<int32_t>(static_cast<int64_t>(presented_) * 1000 / 60);
    }

    SceneId scene_;
    const SceneRoutines& routines_;
    int32_t start_;
    int32_t demoTime_;
    Resources& resources_;
    int presented_ = 0;
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
