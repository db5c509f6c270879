// The real player started at a demo time, on the recording render interface and the fixed
// 60 fps clock, with no window (the pump finds no events) and no keys: what the scene
// tests drive to see a scene's frames as a run started there presents them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/player.h"
#include "scenes/resources.h"
#include "scenes/scenes.h"
#include "shell/window.h"
#include "support/call_recorder.h"

// Also notes the player's demo time at each PresentFrame.
class PresentTimingRecorder : public CallRecorder {
public:
    const Player* player = nullptr;
    std::vector<int32_t> presentTimes;

    void PresentFrame() override
    {
        CallRecorder::PresentFrame();
        presentTimes.push_back(player ? player->Status().demoTime : 0);
    }
};

class PlayedScene {
public:
    PresentTimingRecorder recorder;

    // stats: where the player counts frames, when given.
    PlayedScene(SceneId scene, int32_t start, const Resources& resources, FrameStats* stats = nullptr)
        : scene_(scene), start_(start)
    {
        ResetWindowState();
        MarkMainWindowOpen();
        PlayerSettings settings;
        settings.render = &recorder;
        settings.resources = &resources;
        settings.now = [] { return 1000.0; };
        settings.fixedFps = 60;
        settings.keyboard = false;
        settings.stats = stats;
        player_.reset(new Player(settings));
        recorder.player = player_.get();
    }
    ~PlayedScene()
    {
        player_.reset();
        ResetWindowState();
    }
    PlayedScene(const PlayedScene&) = delete;
    PlayedScene& operator=(const PlayedScene&) = delete;

    // Play begins at the start (again, after an end): the scenes set up afresh.
    void Begin() { player_->Begin(start_); }
    // `frames` frames, or fewer when the scene's end (or play's) comes first.
    void Steps(int frames)
    {
        for (int i = 0; i < frames && InScene() && player_->PlayFrame(); ++i) {
        }
    }
    void StepsToEnd()
    {
        while (InScene() && player_->PlayFrame()) {
        }
    }
    // Begun, then `frames` frames (all until the scene's end when negative). The scenes'
    // states stay readable until End.
    void Play(int frames = -1)
    {
        Begin();
        if (frames < 0) StepsToEnd();
        else Steps(frames);
    }
    void End() { player_->End(); }

    int32_t DemoTime() const { return player_->Clock().demoTime; }
    const SceneStates& States() const { return player_->Scenes(); }
    const Player& ThePlayer() const { return *player_; }

    // The calls of each presented frame, each ending with its ClearFrame. Frames drawn
    // unseen when play lands (a start inside a scene, or the scenes before drawn on the
    // way) are left out; calls after the last of them (entries, leaves) go with the first
    // presented frame.
    std::vector<std::vector<RecordedCall>> Frames() const
    {
        std::vector<std::vector<RecordedCall>> frames(1);
        bool presented = false;
        for (const RecordedCall& c : recorder.calls) {
            frames.back().push_back(c);
            presented = presented || c.op == "PresentFrame";
            if (c.op != "ClearFrame") continue;
            if (presented) frames.emplace_back();
            else frames.back().clear();
            presented = false;
        }
        frames.pop_back();
        return frames;
    }

private:
    bool InScene() const { return DemoTime() < SceneEnd(scene_); }

    SceneId scene_;
    int32_t start_;
    std::unique_ptr<Player> player_;
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
