// The player: one frame at a time through the scene table, with the viewer's keys.
#include "app/player.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "app/capture.h"
#include "app/frame_stats.h"
#include "app/start_up.h"
#include "app/viewer_overlay.h"
#include "gfx/render_interface.h"
#include "platform/file_system.h"
#include "scenes/frame_context.h"
#include "scenes/frame_steps.h"
#include "scenes/resources.h"
#include "scenes/timeline.h"
#include "shell/window.h"

namespace {

constexpr int32_t SeekStepMs = 5000;

const struct {
    Key key;
    const char* name;
} KeyNames[] = {
    {Key::Space, "space"}, {Key::Left, "left"},   {Key::Right, "right"}, {Key::PageUp, "pageup"},
    {Key::PageDown, "pagedown"}, {Key::Home, "home"}, {Key::F12, "f12"},   {Key::Tab, "tab"},
    {Key::Escape, "escape"},
};

}  // namespace

void PresentSink::BeforePresent(RenderInterface&, int32_t) {}
void PresentSink::AfterPresent(int32_t) {}

void ScreenshotSink::BeforePresent(RenderInterface& render, int32_t demoTime)
{
    if (!due) return;
    due = false;
    const std::string name = ScreenshotFileName(demoTime);
    int width = 0, height = 0;
    const std::vector<uint8_t> rgb = ReadBackFrame(render, &width, &height);
    if (WriteFramePng(name, rgb, width, height)) std::fprintf(stderr, "screenshot saved as %s\n", name.c_str());
    else std::fprintf(stderr, "zircon-megademo: cannot write %s\n", name.c_str());
}

Player::Player(const PlayerSettings& settings) : settings_(settings) {}

Player::~Player() { End(); }

void Player::AddPresentSink(PresentSink* sink) { sinks_.push_back(sink); }

void Player::AddScreenshotSink() { sinks_.push_back(&screenshot_); }

int Player::LatencyMs() const { return settings_.latencyMs ? settings_.latencyMs() : 0; }

// The context of the frame under way, standing for elapsedFrames designed frames.
FrameContext Player::ContextOfFrame(double elapsedFrames)
{
    return FrameContext{clock_.demoTime, elapsedFrames, *settings_.render, *settings_.resources};
}

FrameContext Player::ContextOfFrame() { return ContextOfFrame(ElapsedDesignedFrames(clock_)); }

// Enters a scene whose frames are shown: the statistics count them from now.
void Player::Enter(SceneId scene)
{
    if (settings_.stats) settings_.stats->BeginSceneFrames(static_cast<int>(scene) + 1, settings_.now());
    FrameContext frame = ContextOfFrame();
    EnterScene(scene, *scenes_, frame);
}

void Player::Leave(SceneId scene)
{
    FrameContext frame = ContextOfFrame();
    LeaveScene(scene, *scenes_, frame);
    if (settings_.sceneStorageWhileEntered) ReleaseScene(scene, *scenes_);
}

void Player::EndOfPlay()
{
    if (!playing_) return;
    if (!landing_) Leave(scene_);
    playing_ = false;
}

// The clock's grid: frame k of a play from 0 is drawn at floor(k × 1000 / fps), the
// designed 60 a second standing in for the real clock.
int64_t Player::GridFps() const { return settings_.fixedFps > 0 ? settings_.fixedFps : 60; }
int32_t Player::GridTime(int64_t k) const { return static_cast<int32_t>(k * 1000 / GridFps()); }
int64_t Player::FirstGridFrameFrom(int32_t time) const { return time <= 0 ? 0 : (time * GridFps() + 999) / 1000; }

// Draws (without presenting) the scene's grid frames from..to-1, each followed by its
// advance, as a play through draws them.
void Player::DrawUnseen(SceneId id, int64_t from, int64_t to)
{
    const double step = DesignedFrames(1.0 / static_cast<double>(GridFps()));
    for (int64_t k = from; k < to; ++k) {
        FrameContext frame{GridTime(k), step, *settings_.render, *settings_.resources};
        DrawScene(id, *scenes_, frame);
        settings_.render->ClearFrame();
        frame.demoTime = GridTime(k + 1);
        AdvanceScene(id, *scenes_, frame);
    }
}

// Play reaches the clock's time by a start or a seek, and arrives as a play through does.
// A frame leaves render state behind for the next (bindings, each texture's filters), so
// every scene before is entered, its last two frames drawn unseen, and left; the scene
// of the time is entered, its carried state brought to two frames before, and those two
// drawn unseen. The last two, because a scene's first frame acts on what the scene before
// left bound, and its later frames on what it binds itself.
void Player::Land()
{
    const int32_t time = clock_.demoTime;
    const SceneId target = SceneAtTime(time);
    for (int i = 0; i < static_cast<int>(target); ++i) {
        const SceneId scene = static_cast<SceneId>(i);
        const int64_t first = FirstGridFrameFrom(SceneStart(scene)), end = FirstGridFrameFrom(SceneEnd(scene));
        FrameContext frame = ContextOfFrame();
        frame.demoTime = GridTime(first);
        EnterScene(scene, *scenes_, frame);
        DrawUnseen(scene, std::max(first, end - 2), end);
        LeaveScene(scene, *scenes_, frame);
        if (settings_.sceneStorageWhileEntered) ReleaseScene(scene, *scenes_);
    }
    const int64_t first = FirstGridFrameFrom(SceneStart(target)), landing = FirstGridFrameFrom(time);
    const int64_t unseen = std::max(first, landing - 2);
    FrameContext frame = ContextOfFrame();
    Enter(target);
    frame.demoTime = std::min(time, GridTime(unseen));
    CarrySceneTo(target, *scenes_, frame, settings_.fixedFps);
    DrawUnseen(target, unseen, landing);
    scene_ = target;
    landing_ = false;
}

// Play from demoTime as a run started there would: every scene before it entered and
// left in order, the music and the clock at demoTime.
void Player::SeekTo(int32_t demoTime)
{
    if (demoTime < 0) demoTime = 0;
    if (demoTime >= DemoEnd()) {   // past the end: play is over, as at the end
        EndOfPlay();
        return;
    }
    if (!landing_) Leave(scene_);
    // The music first: its latency is that of the sound now started.
    AudioSeek(settings_.music, demoTime);
    SeekDemoClock(&clock_, demoTime, LatencyMs());
    // The scene of the new time, for the keys that follow in this frame; it is entered
    // when the frame lands.
    scene_ = SceneAtTime(demoTime);
    heldFrameKept_ = false;
    landing_ = true;
}

void Player::SetPaused(bool paused)
{
    if (paused == clock_.paused) return;
    PauseDemoClock(&clock_, paused);
    AudioPause(paused);
}

void Player::ApplyKey(Key key)
{
    const int scene = static_cast<int>(scene_);
    const int32_t now = clock_.demoTime;
    switch (key) {
    case Key::Space: SetPaused(!clock_.paused); break;
    case Key::Left: SeekTo(now - SeekStepMs); break;
    case Key::Right: SeekTo(now + SeekStepMs); break;
    case Key::PageUp: SeekTo(SceneStart(static_cast<SceneId>(scene > 0 ? scene - 1 : 0))); break;
    case Key::PageDown:
        SeekTo(scene + 1 < SceneCount ? SceneStart(static_cast<SceneId>(scene + 1)) : DemoEnd());
        break;
    case Key::Home: SeekTo(0); break;
    case Key::F12: screenshot_.due = true; break;
    case Key::Tab: overlay_ = !overlay_; break;
    case Key::Escape: PostWindowMessage({Message::Close}); break;
    case Key::Other: break;
    }
}

// A viewer who cannot see the window (minimised, or stepped aside from fullscreen for
// another window) misses nothing: play and music hold until it is back, and then go on
// unless the viewer had paused before.
void Player::FollowWindowVisibility()
{
    if (!settings_.keyboard || !playing_) return;
    const bool hidden = MainWindowHidden();
    if (hidden == pausedWhileHidden_ || (hidden && clock_.paused)) return;
    pausedWhileHidden_ = hidden;
    SetPaused(hidden);
    std::fprintf(stderr, "window %s at demo %d ms\n", hidden ? "hidden: paused" : "back: playing on",
                 static_cast<int>(clock_.demoTime));
}

void Player::TraceKey(int64_t playMs, Key key)
{
    std::fprintf(stderr, "key %s at play %lld ms: demo %d ms, music %d ms, %s\n", KeyName(key),
                 static_cast<long long>(playMs), static_cast<int>(clock_.demoTime),
                 AudioPositionMs(settings_.music),
                 !playing_ ? "ended" : clock_.paused ? "paused" : "playing");
}

void Player::TakeKeys()
{
    ViewerRequest request;
    while (TakeViewerRequest(&request)) {
        if (!settings_.keyboard || !playing_) continue;
        if (request.seekToMs >= 0) SeekTo(request.seekToMs);
        else ApplyKey(request.key);
    }
    const std::vector<ScriptedKey>& script = settings_.script;
    const int64_t now = PlayTimeMs(clock_);
    while (playing_ && nextScripted_ < script.size() && script[nextScripted_].atMs <= now) {
        const Key scripted = script[nextScripted_++].key;
        ApplyKey(scripted);
        TraceKey(now, scripted);
    }
}

// The present of a scene frame: past --until the frame is shown and play ends; else the
// wait for its slot, the sinks before the present, then shown, the sinks after it, and
// counted.
void Player::PresentSceneFrame()
{
    RenderInterface& render = *settings_.render;
    const int32_t demoTime = clock_.demoTime;
    if (settings_.untilMs > 0 && demoTime >= settings_.untilMs) {
        untilReached_ = true;
        render.PresentFrame();
        for (PresentSink* sink : sinks_) sink->AfterPresent(demoTime);
        return;
    }
    WaitForPresentSlot(&schedule_, settings_.now, settings_.sleep, settings_.stats);
    for (PresentSink* sink : sinks_) sink->BeforePresent(render, demoTime);
    render.PresentFrame();
    for (PresentSink* sink : sinks_) sink->AfterPresent(demoTime);
    if (!scenePresented_ && settings_.stats) settings_.stats->MarkStartup(StartupMark::FirstSceneFrame);
    scenePresented_ = true;
    CountPresentedFrame(&clock_);
    const double now = clock_.now();
    frameMs_ = (now - lastPresent_) * 1000.0;
    lastPresent_ = now;
    smoothedFrameMs_ += 0.1 * (frameMs_ - smoothedFrameMs_);
}

// The real clock before a refresh: the frame's time is that of its middle on screen, and
// the clock follows the music as the listener hears it.
void Player::FollowMusic(bool beforePresent)
{
    DemoClock& clock = clock_;
    if (clock.fixedFps > 0) return;
    clock.showLeadSeconds = SecondsUntilShownMiddle(schedule_, clock.now(), beforePresent);
    double heardMs = 0, heardAt = 0;
    if (AudioHeardPosition(settings_.music, &heardMs, &heardAt)) SteerDemoClock(&clock, heardMs, heardAt);
}

// A drawn frame finished: counted for the statistics at the time it was drawn at,
// presented, the next frame cleared, and the clock moved on (before the present for a
// frame its scene shows at the time after it, after the present for every other).
void Player::FinishFrame(bool timeFirst)
{
    if (settings_.stats) settings_.stats->RecordFrame(clock_.demoTime, settings_.now());
    if (timeFirst) {
        FollowMusic(true);
        RefreshDemoClock(&clock_);
    }
    PresentSceneFrame();
    settings_.render->ClearFrame();
    if (!timeFirst) {
        FollowMusic(false);
        RefreshDemoClock(&clock_);
    }
    if (!clock_.paused) heldFrameKept_ = false;
}

// The scene's frame at the clock's time, or the held frame's picture; true when the
// clock is to move on before the present. The frame a pause begins in is drawn as a run
// without the pause draws it, standing for the last step's time, and kept; the paused
// frames and the one that resumes show it again; the clock then goes on to the frame
// after it.
bool Player::DrawFrame()
{
    RenderInterface& render = *settings_.render;
    if (keepPictures_ && heldFrameKept_) {
        render.DrawKeptFrame();
        return false;
    }
    FrameContext frame = ContextOfFrame(StepDesignedFrames(clock_));
    DrawScene(scene_, *scenes_, frame);
    // Copied once, when a pause begins (or a seek lands while paused): unpaused play
    // reads nothing back.
    if (keepPictures_ && clock_.paused) render.KeepFrame();
    heldFrameKept_ = clock_.paused;
    return SceneTakesTimeFirst(scene_, *scenes_);
}

void Player::Begin(int32_t startMs)
{
    End();
    schedule_ = settings_.schedule;
    clock_ = DemoClock{};
    scene_ = SceneId::Opening;
    heldFrameKept_ = overlay_ = untilReached_ = scenePresented_ = pausedWhileHidden_ = landing_ = false;
    screenshot_.due = false;
    nextScripted_ = 0;
    frameMs_ = smoothedFrameMs_ = 0;
    // Only the viewer's keys, a script and a hidden window can pause.
    keepPictures_ = settings_.keyboard || !settings_.script.empty();
    if (settings_.stats) settings_.stats->UseClock(settings_.now);
    scenes_.reset(new SceneStates);
    if (!settings_.sceneStorageWhileEntered) {
        for (int i = 0; i < SceneCount; ++i) SetUpScene(static_cast<SceneId>(i), *scenes_, *settings_.resources);
    }
    // The music first: the clock counts from when it is heard.
    if (settings_.startMusic) StartMusic(settings_.music, startMs, settings_.loopMusic);
    clock_ = StartDemoClock(settings_.now, settings_.fixedFps, startMs, LatencyMs());
    if (settings_.fixedFps <= 0) {
        // The first frame too is drawn for the middle of its time on screen.
        clock_.showLeadSeconds = SecondsUntilShownMiddle(schedule_, settings_.now(), false);
        RefreshDemoClock(&clock_);
    }
    lastPresent_ = settings_.now();
    playing_ = true;
    // The first frame lands at the start (Land: a run started late arrives as a play
    // through does).
    scene_ = SceneAtTime(clock_.demoTime);
    landing_ = true;
}

bool Player::PlayFrame()
{
    if (!playing_) return false;
    if (PumpMessages()) {
        EndOfPlay();
        return false;
    }
    TakeKeys();
    FollowWindowVisibility();
    if (playing_ && landing_) Land();
    while (playing_ && clock_.demoTime >= SceneEnd(scene_)) {
        Leave(scene_);
        if (static_cast<int>(scene_) + 1 == SceneCount) {
            playing_ = false;
            break;
        }
        scene_ = static_cast<SceneId>(static_cast<int>(scene_) + 1);
        Enter(scene_);
    }
    if (!playing_) return false;

    const SceneId scene = scene_;
    const bool timeFirst = DrawFrame();
    if (overlay_) DrawViewerOverlay(*settings_.render, Status());
    FinishFrame(timeFirst);
    if (untilReached_) {
        EndOfPlay();
        return false;
    }
    // The steps of the frame just finished, over the time the clock has just measured.
    FrameContext next = ContextOfFrame();
    AdvanceScene(scene, *scenes_, next);
    return true;
}

void Player::End()
{
    EndOfPlay();
    if (!scenes_) return;
    for (int i = 0; i < SceneCount; ++i) ReleaseScene(static_cast<SceneId>(i), *scenes_);
    scenes_.reset();
}

PlayerStatus Player::Status() const
{
    PlayerStatus status;
    status.demoTime = clock_.demoTime;
    status.scene = static_cast<int>(scene_) + 1;
    status.sceneName = SceneRowOf(scene_).name;
    status.paused = clock_.paused;
    status.frameMs = smoothedFrameMs_;
    status.framesPerSecond = smoothedFrameMs_ > 0 ? 1000.0 / smoothedFrameMs_ : 0;
    return status;
}

double SecondsUntilShownMiddle(const PresentSchedule& schedule, double now, bool beforePresent)
{
    const PresentPacing& pacing = schedule.pacing;
    if (pacing.periodSeconds > 0) {
        double due = SlotForFrameReadyAt(pacing, now);
        if (beforePresent) due += pacing.periodSeconds;
        return due - now + pacing.periodSeconds / 2;
    }
    if (schedule.watchingVsync) return (beforePresent ? 2.5 : 1.5) / schedule.vsyncWatch.refreshHz;
    return 0;
}

const char* KeyName(Key key)
{
    for (const auto& k : KeyNames)
        if (k.key == key) return k.name;
    return "other";
}

bool ParseKeyScript(const std::string& text, std::vector<ScriptedKey>* keys, std::string* error)
{
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    keys->clear();
    while (std::getline(lines, line)) {
        ++number;
        std::istringstream words(line);
        std::string first, name, rest;
        if (!(words >> first) || first[0] == '#') continue;
        char* end = nullptr;
        const long atMs = std::strtol(first.c_str(), &end, 10);
        const Key* key = nullptr;
        if ((words >> name) && !(words >> rest))
            for (const auto& k : KeyNames)
                if (name == k.name) key = &k.key;
        if (*end != '\0' || atMs < 0 || atMs > 100000000 || !key) {
            *error = "line " + std::to_string(number) + ": expected \"MS KEY\", KEY one of space, left, right, "
                     "pageup, pagedown, home, f12, tab, escape: " + line;
            return false;
        }
        if (!keys->empty() && atMs < keys->back().atMs) {
            *error = "line " + std::to_string(number) + ": times must not go back: " + line;
            return false;
        }
        keys->push_back({static_cast<int32_t>(atMs), *key});
    }
    return true;
}

std::string ScreenshotFileName(int32_t demoTime)
{
    char base[32];
    std::snprintf(base, sizeof base, "zircon-t%07d", static_cast<int>(demoTime < 0 ? 0 : demoTime));
    std::string name = std::string(base) + ".png";
    for (int n = 2; PlatformPathExists(name); ++n) name = base + ("-" + std::to_string(n)) + ".png";
    return name;
}

