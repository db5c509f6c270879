// The player's frames on the recording render interface with a fake steady clock: the
// clock it owns, pause, seeks, the order of scenes, stalls, --until and the frame
// statistics. No window and no data set: the scenes draw what they have without one.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/frame_stats.h"
#include "app/player.h"
#include "app/timed_renderer.h"
#include "app/viewer_overlay.h"
#include "fx/text_overlay.h"
#include "image/image.h"
#include "scenes/resources.h"
#include "scenes/timeline.h"
#include "shell/window.h"
#include "support/call_recorder.h"
#include "support/played_scene.h"

namespace {

// The fake steady clock: the test moves it.
double g_fakeSeconds = 1000.0;
double FakeSeconds() { return g_fakeSeconds; }

class PlayerRun : public ::testing::Test {
protected:
    PresentTimingRecorder recorder;
    Resources resources{};
    std::unique_ptr<Player> player;

    // A player of these settings, begun at startMs.
    void BeginPlay(int32_t startMs, const PlayerSettings& settings)
    {
        player.reset(new Player(settings));
        recorder.player = player.get();
        player->Begin(startMs);
    }
    bool PlayFrame() { return player->PlayFrame(); }
    void EndPlay()
    {
        if (player) player->End();
    }
    PlayerStatus CurrentPlayerStatus() const { return player->Status(); }
    bool UntilReached() const { return player->UntilReached(); }

    void SetUp() override
    {
        ResetWindowState();
        MarkMainWindowOpen();
        g_fakeSeconds = 1000.0;
    }
    void TearDown() override
    {
        EndPlay();
        ResetWindowState();
    }
    PlayerSettings Settings(int fixedFps = 60)
    {
        PlayerSettings settings;
        settings.render = &recorder;
        settings.resources = &resources;
        settings.now = FakeSeconds;
        settings.fixedFps = fixedFps;
        return settings;
    }
    static void Press(Key key) { PostWindowMessage({Message::KeyDown, key}); }
    // Plays n frames, the fake clock moving `seconds` during each; the calls of each.
    std::vector<std::vector<RecordedCall>> Play(int n, double seconds = 1.0 / 60)
    {
        std::vector<std::vector<RecordedCall>> frames;
        for (int i = 0; i < n; ++i) {
            const size_t first = recorder.calls.size();
            g_fakeSeconds += seconds;
            EXPECT_TRUE(PlayFrame());
            frames.emplace_back(recorder.calls.begin() + static_cast<long>(first), recorder.calls.end());
        }
        return frames;
    }
    std::vector<int32_t> PresentsFrom(size_t first) const
    {
        return std::vector<int32_t>(recorder.presentTimes.begin() + static_cast<long>(first),
                                    recorder.presentTimes.end());
    }
};

// The frames that drew the scene, without those that showed the held picture.
std::vector<std::vector<RecordedCall>> SceneFrames(const std::vector<std::vector<RecordedCall>>& frames)
{
    std::vector<std::vector<RecordedCall>> drawn;
    for (const auto& frame : frames)
        if (frame.empty() || frame.front().op != "DrawKeptFrame") drawn.push_back(frame);
    return drawn;
}

int CountOps(const std::vector<std::vector<RecordedCall>>& frames, const std::vector<std::string>& ops)
{
    int count = 0;
    for (const auto& frame : frames)
        for (const RecordedCall& c : frame) count += std::count(ops.begin(), ops.end(), c.op) > 0;
    return count;
}

std::vector<std::vector<RecordedCall>> WithoutOp(std::vector<std::vector<RecordedCall>> frames, const std::string& op)
{
    for (auto& frame : frames)
        frame.erase(std::remove_if(frame.begin(), frame.end(), [&](const RecordedCall& c) { return c.op == op; }),
                    frame.end());
    return frames;
}

// Whether both lists of frames hold the same calls; the first difference is said.
::testing::AssertionResult SameFrames(const std::vector<std::vector<RecordedCall>>& a,
                                      const std::vector<std::vector<RecordedCall>>& b)
{
    if (a.size() != b.size()) return ::testing::AssertionFailure() << a.size() << " frames against " << b.size();
    for (size_t i = 0; i < a.size(); ++i)
        if (const long call = FirstDifferentCall(a[i], b[i]); call != -1) {
            const auto name = [](const std::vector<RecordedCall>& f, long c) {
                return c < static_cast<long>(f.size()) ? f[static_cast<size_t>(c)].op : std::string("(end)");
            };
            return ::testing::AssertionFailure() << "frame " << i << " call " << call << ": " << name(a[i], call)
                                                 << " against " << name(b[i], call);
        }
    return ::testing::AssertionSuccess();
}

TEST_F(PlayerRun, FixedRateFramesFallOnWholeMillisecondsAndFinishInTheirScenesOrder)
{
    // The opening's frames present at their drawing time, then the clock moves on.
    BeginPlay(0, Settings());
    Play(4);
    EXPECT_EQ(recorder.presentTimes, (std::vector<int32_t>{0, 16, 33, 50}));
    EndPlay();
    // 1077 frames reach 17950 exactly: no drift.
    recorder.presentTimes.clear();
    BeginPlay(0, Settings());
    Play(1078);
    EXPECT_EQ(recorder.presentTimes.back(), 17950);
    EXPECT_EQ(CurrentPlayerStatus().scene, 2);
    EndPlay();
    // The closing fade takes the new time before presenting: its presents run one frame
    // ahead of the times its frames were drawn at.
    recorder.presentTimes.clear();
    BeginPlay(91000, Settings());
    Play(3);
    EXPECT_EQ(recorder.presentTimes, (std::vector<int32_t>{91000, 91016, 91033}));
}

TEST_F(PlayerRun, PauseHoldsTimeAndPictureAndResumesAsIfNotPaused)
{
    for (int fixedFps : {60, 0}) {
        SCOPED_TRACE(fixedFps ? "fixed-rate clock" : "real clock");
        // Credits: the flash level and the model's alpha carry from frame to frame.
        // Frames of 1/64 s, exact in binary, so that the real clock's sums are too.
        recorder.presentTimes.clear();
        BeginPlay(45000, Settings(fixedFps));
        auto paused = Play(10, 1.0 / 64);
        Press(Key::Space);
        const size_t held = recorder.presentTimes.size();
        // The frame the pause begins in is drawn and kept; the paused frames, and the one
        // Space resumes in, show it again.
        const auto whilePaused = Play(30, 1.0 / 64);
        EXPECT_TRUE(CurrentPlayerStatus().paused);
        EXPECT_EQ(PresentsFrom(held), std::vector<int32_t>(30, recorder.presentTimes[held]));
        const std::vector<std::string> heldOps{"DrawKeptFrame", "PresentFrame", "ClearFrame"};
        EXPECT_NE(whilePaused[0].front().op, "DrawKeptFrame");
        EXPECT_EQ(whilePaused[0][whilePaused[0].size() - 3].op, "KeepFrame");
        for (size_t i = 1; i < whilePaused.size(); ++i) {
            std::vector<std::string> ops;
            for (const RecordedCall& c : whilePaused[i]) ops.push_back(c.op);
            EXPECT_EQ(ops, heldOps) << "paused frame " << i;
        }
        Press(Key::Space);
        const auto after = Play(20, 1.0 / 64);
        EXPECT_EQ(after[0].front().op, "DrawKeptFrame");
        EXPECT_EQ(recorder.presentTimes[held + 30], recorder.presentTimes[held]);
        paused.insert(paused.end(), whilePaused.begin(), whilePaused.end());
        paused.insert(paused.end(), after.begin(), after.end());
        EndPlay();

        BeginPlay(45000, Settings(fixedFps));
        const auto straight = Play(30, 1.0 / 64);
        EndPlay();
        // The one copy of the pause aside, the same calls; unpaused play copies nothing.
        EXPECT_EQ(CountOps(paused, {"KeepFrame", "ReadFrame"}), 1);
        EXPECT_EQ(CountOps(straight, {"KeepFrame", "ReadFrame"}), 0);
        EXPECT_TRUE(SameFrames(WithoutOp(SceneFrames(paused), "KeepFrame"), straight));
    }
}

TEST_F(PlayerRun, ASeekDrawsTheFramesOfARunStartedThere)
{
    // By key from the closing scene to the start, to the implicit surface, and from the
    // implicit surface at 56333 back into the credits: the scenes left carry other phases.
    // Key::Other: a demo time asked for (a page's scrubber), from the sliced ball forward
    // into the credits.
    const struct {
        int32_t from;
        Key key;
        int32_t to;
    } seeks[] = {{80000, Key::Home, 0}, {80000, Key::PageUp, 54000}, {56000, Key::Left, 51333},
                 {20000, Key::Other, 44300}};
    for (const auto& seek : seeks) {
        SCOPED_TRACE(std::string(KeyName(seek.key)) + " from " + std::to_string(seek.from));
        BeginPlay(seek.from, Settings());
        Play(20);
        if (seek.key == Key::Other)
            PostWindowMessage({Message::SeekTo, Key::Other, seek.to});
        else
            Press(seek.key);
        size_t presents = recorder.presentTimes.size();
        const auto sought = Play(30);
        const std::vector<int32_t> soughtTimes = PresentsFrom(presents);
        EndPlay();

        presents = recorder.presentTimes.size();
        const size_t calls = recorder.calls.size();
        BeginPlay(seek.to, Settings());
        // The first scene is entered as play begins; a seek enters it within its frame.
        const std::vector<RecordedCall> entering(recorder.calls.begin() + static_cast<long>(calls),
                                                 recorder.calls.end());
        auto started = Play(30);
        started[0].insert(started[0].begin(), entering.begin(), entering.end());
        const std::vector<int32_t> startedTimes = PresentsFrom(presents);
        EndPlay();

        ASSERT_EQ(soughtTimes.front(), seek.to);
        EXPECT_EQ(soughtTimes, startedTimes);
        EXPECT_TRUE(SameFrames(sought, started));
    }
}

TEST_F(PlayerRun, ASeekWhilePausedShowsTheNewTimeStillPaused)
{
    BeginPlay(80000, Settings());
    Play(20);
    Press(Key::Space);
    Play(10);
    EXPECT_EQ(recorder.presentTimes.back(), 80333);
    // Back 5 s, into the implicit surface: one frame drawn at 75333, then held there.
    Press(Key::Left);
    const size_t presents = recorder.presentTimes.size();
    const auto frames = Play(20);
    EXPECT_EQ(PresentsFrom(presents), std::vector<int32_t>(20, 75333));
    EXPECT_NE(frames[0].front().op, "DrawKeptFrame");
    EXPECT_EQ(frames[1].front().op, "DrawKeptFrame");
    const PlayerStatus status = CurrentPlayerStatus();
    EXPECT_TRUE(status.paused);
    EXPECT_EQ(status.demoTime, 75333);
    EXPECT_EQ(status.scene, 5);
}

TEST_F(PlayerRun, AfterASeekBackTheScenesFollowInPlayOrder)
{
    BeginPlay(80000, Settings());
    Play(2);
    Press(Key::PageUp);   // from the closing scene to the start of the implicit surface
    Play(1);
    EXPECT_EQ(CurrentPlayerStatus().scene, 5);
    Press(Key::Left);     // 5 s back, into the credits
    Play(1);
    EXPECT_EQ(CurrentPlayerStatus().scene, 4);
    std::vector<int> scenes;
    std::vector<int32_t> firstTimes;
    for (int i = 0; i < 700; ++i) {
        Play(1);
        const PlayerStatus status = CurrentPlayerStatus();
        if (scenes.empty() || scenes.back() != status.scene) {
            scenes.push_back(status.scene);
            firstTimes.push_back(recorder.presentTimes.back());
        }
    }
    EXPECT_EQ(scenes, (std::vector<int>{4, 5}));
    ASSERT_EQ(firstTimes.size(), 2u);
    EXPECT_GE(firstTimes[1], CreditsSceneEnd);
    EXPECT_LT(firstTimes[1], CreditsSceneEnd + 17);
}

// The brightness the opening drew its presented picture at in this frame (after any
// frames drawn unseen on landing, each ended by its ClearFrame).
float OpeningBrightness(const std::vector<RecordedCall>& frame)
{
    const auto present = std::find_if(frame.begin(), frame.end(), [](const RecordedCall& c) { return c.op == "PresentFrame"; });
    auto from = frame.begin();
    for (auto c = frame.begin(); c != present; ++c)
        if (c->op == "ClearFrame") from = c + 1;
    for (auto c = from; c != present; ++c)
        if (c->op == "DrawTriangleAffine") return c->vertices[0].red;
    return -1;
}

TEST_F(PlayerRun, AStallStepsTheScenesBySixDesignedFramesAtMost)
{
    // The real clock: frames of 1/64 s (0.9375 designed frames), the fifth one stalled
    // for half a second more. The opening's picture brightens by 0.002 a designed frame,
    // from what a play through reaches at 1000: 60 designed frames' steps.
    float carried = 0.0f;
    for (int i = 0; i < 60; ++i) carried = static_cast<float>(static_cast<double>(carried) + 0.002);
    BeginPlay(1000, Settings(0));
    auto frames = Play(4, 1.0 / 64);
    const auto stalled = Play(1, 0.5 + 1.0 / 64);
    frames.insert(frames.end(), stalled.begin(), stalled.end());
    const auto after = Play(2, 1.0 / 64);
    frames.insert(frames.end(), after.begin(), after.end());
    // The first frame stands for no time; the one after the stall for six designed frames.
    const float expected[] = {0, 0, 0.001875f, 0.00375f, 0.005625f, 0.0075f, 0.0195f};
    for (int i = 0; i < 7; ++i) EXPECT_NEAR(OpeningBrightness(frames[i]), carried + expected[i], 1e-6) << i;
    // The demo time keeps to the clock, the stall included.
    EXPECT_EQ(recorder.presentTimes, (std::vector<int32_t>{1000, 1015, 1031, 1046, 1062, 1578, 1593}));
}

TEST_F(PlayerRun, UntilEndsPlayAtTheFirstFrameDrawnAtOrPastIt)
{
    PlayerSettings settings = Settings();
    settings.untilMs = 1000;
    BeginPlay(0, settings);
    int frames = 0;
    while (PlayFrame()) ++frames;
    EXPECT_EQ(frames, 60);
    EXPECT_TRUE(UntilReached());
    EXPECT_EQ(recorder.presentTimes.size(), 61u);
    EXPECT_EQ(recorder.presentTimes.back(), 1000);
    EXPECT_FALSE(PlayFrame());
}

TEST_F(PlayerRun, StatisticsSplitFrameTimeIntoDrawingAndOurWork)
{
    FrameStats stats;
    TimedRenderInterface timed(&recorder, &stats);
    PlayerSettings settings = Settings(50);
    settings.render = &timed;
    settings.stats = &stats;
    BeginPlay(0, settings);
    Play(3);
    EndPlay();
    const SceneFigures f = stats.FiguresOfScene(1);
    EXPECT_EQ(f.frames, 3);
    EXPECT_EQ(f.firstTime, 0);
    EXPECT_EQ(f.lastTime, 40);
    EXPECT_LE(f.medianMs, f.p99Ms);
    EXPECT_LE(f.p99Ms, f.worstMs);

    const std::string path = testing::TempDir() + "zircon_stats_" + std::to_string(getpid()) + ".json";
    ASSERT_TRUE(stats.WriteJson(path, 4321));
    std::stringstream json;
    json << std::ifstream(path).rdbuf();
    std::remove(path.c_str());
    EXPECT_NE(json.str().find("{\"scene\": 1, \"frames\": 3, \"first_demo_time\": 0, \"last_demo_time\": 40,"),
              std::string::npos);
    EXPECT_NE(json.str().find("\"peak_resident_kb\": 4321\n}"), std::string::npos);
}

void FakeSleep(double seconds) { g_fakeSeconds += seconds; }

// Pacing waits and statistics measure on the player's clock: frames that take 1/128 s of
// work at a cap of 32 a second present every 1/32 s, and are counted so.
TEST_F(PlayerRun, PacingAndStatisticsRunOnThePlayersClock)
{
    FrameStats stats;
    PlayerSettings settings = Settings(0);
    settings.stats = &stats;
    settings.sleep = FakeSleep;
    settings.schedule = StartPresentSchedule(32);
    BeginPlay(20000, settings);
    Play(33, 1.0 / 128);
    EndPlay();
    std::vector<int32_t> steps;
    for (size_t i = 1; i < recorder.presentTimes.size(); ++i)
        steps.push_back(recorder.presentTimes[i] - recorder.presentTimes[i - 1]);
    // Each frame is drawn for the middle of its time on screen: the first, presented at
    // once, half a slot ahead (15.625 ms); after the first frame's work (7.8 ms) the next
    // slot is a whole one away, so 1.5 slots ahead (46.875 ms): a step of 39 ms. Then a
    // frame every 1/32 s: 31.25 ms, floored.
    ASSERT_EQ(steps.size(), 32u);
    EXPECT_EQ(steps[0], 39);
    for (size_t i = 1; i < steps.size(); ++i) EXPECT_TRUE(steps[i] == 31 || steps[i] == 32) << i;
    // 7.8125 ms, then 31 slots of 31.25 ms, and the lead: 1023.4375 ms after the start.
    EXPECT_EQ(recorder.presentTimes.back(), 20000 + 1023);
    const SceneFigures f = stats.FiguresOfScene(2);
    EXPECT_EQ(f.frames, 33);
    EXPECT_EQ(f.medianMs, 31.25);
    EXPECT_EQ(f.worstMs, 31.25);
}

// The characters the overlay's glyph quads show, in drawing order: each quad's texture
// window read from the font atlas and matched to the glyph of that shape.
std::string OverlayText(const std::vector<RecordedCall>& frame, uint32_t font)
{
    const std::unique_ptr<Image> atlas = BuildFontAtlas();
    std::string text;
    bool inOverlay = false;
    for (const RecordedCall& c : frame) {
        if (c.op == "BindTexture") inOverlay = c.a == static_cast<int>(font);
        if (!inOverlay || c.op != "DrawQuad") continue;
        float u = 1, v = 1, uRight = 0;
        for (const ScreenVertex& p : c.vertices) {
            u = std::min(u, p.u);
            v = std::min(v, p.v);
            uRight = std::max(uRight, p.u);
        }
        if (uRight == u) continue;   // the box behind the text
        const int x0 = static_cast<int>(u * FontAtlasSize + 0.5f), y0 = static_cast<int>(v * FontAtlasSize + 0.5f);
        uint8_t rows[GlyphRows] = {};
        for (int row = 0; row < GlyphRows; ++row)
            for (int column = 0; column < GlyphColumns; ++column) {
                uint8_t r = 0, g = 0, b = 0, a = 0;
                atlas->GetPixel(x0 + 1 + column, y0 + 1 + row, &r, &g, &b, &a);
                if (a) rows[row] |= static_cast<uint8_t>(1 << (GlyphColumns - 1 - column));
            }
        char shown = '?';
        for (const Glyph& glyph : FontGlyphs)
            if (std::memcmp(glyph.rows, rows, GlyphRows) == 0) shown = glyph.character;
        text += shown;
    }
    return text;
}

TEST_F(PlayerRun, TheOverlayNumbersTheScenesFromOneInPlayOrder)
{
    SetUpViewerOverlay(recorder);
    const uint32_t font = recorder.NextTextureId;
    // Glyphs only: spaces draw nothing, and letters show as capitals.
    const char* const shown[SceneCount] = {"SCENE1/6OPENINGPICTURE", "SCENE2/6SLICEDBALL",
                                           "SCENE3/6TWISTINGBALL",   "SCENE4/6CREDITS",
                                           "SCENE5/6IMPLICITSURFACE", "SCENE6/6CLOSING"};
    BeginPlay(0, Settings());
    Press(Key::Tab);
    for (int scene = 0; scene < SceneCount; ++scene) {
        if (scene > 0) Press(Key::PageDown);
        const std::string text = OverlayText(Play(1)[0], font);
        EXPECT_NE(text.find(shown[scene]), std::string::npos) << text;
    }
}

// Notes, in one list shared by all of them, each call a sink receives.
class NotingSink : public PresentSink {
public:
    NotingSink(std::vector<std::string>* log, std::string name) : log_(log), name_(std::move(name)) {}
    void BeforePresent(RenderInterface& render, int32_t demoTime) override
    {
        const CallRecorder& recorder = static_cast<const CallRecorder&>(render);
        log_->push_back(name_ + " before " + std::to_string(demoTime) + " " + recorder.calls.back().op);
    }
    void AfterPresent(int32_t demoTime) override
    {
        log_->push_back(name_ + " after " + std::to_string(demoTime));
    }

private:
    std::vector<std::string>* log_;
    std::string name_;
};

// Each present: every sink before it in the order added, the frame still unpresented,
// then every sink after it; past --until, only after it.
TEST_F(PlayerRun, PresentSinksAreToldOfEachPresentInTheirOrder)
{
    std::vector<std::string> log;
    NotingSink first(&log, "first"), second(&log, "second");
    PlayerSettings settings = Settings();
    settings.untilMs = 20;
    BeginPlay(0, settings);
    player->AddPresentSink(&first);
    player->AddPresentSink(&second);
    int frames = 0;
    while (PlayFrame()) ++frames;
    EXPECT_EQ(frames, 2);
    const std::string drawn = "DrawTriangleAffine";
    EXPECT_EQ(log, (std::vector<std::string>{
                       "first before 0 " + drawn, "second before 0 " + drawn, "first after 0", "second after 0",
                       "first before 16 " + drawn, "second before 16 " + drawn, "first after 16", "second after 16",
                       "first after 33", "second after 33"}));
}

int g_latencyMs = 0;
int LatencyNow() { return g_latencyMs; }

// The output's latency is asked for when play starts and again at each seek: the real
// clock starts that much before the time asked for.
TEST_F(PlayerRun, TheLatencyIsAskedForAtTheStartAndAtEachSeek)
{
    PlayerSettings settings = Settings(0);
    settings.latencyMs = LatencyNow;
    g_latencyMs = 30;
    BeginPlay(20000, settings);
    EXPECT_EQ(player->Clock().anchorTime, 20000 - 30);
    Play(2);
    g_latencyMs = 80;
    Press(Key::PageDown);   // to the twisting ball's start
    Play(1);
    EXPECT_EQ(player->Clock().anchorTime, 30000 - 80);
    g_latencyMs = 5;
    Press(Key::Home);
    Play(1);
    EXPECT_EQ(player->Clock().anchorTime, 0 - 5);
}

TEST_F(PlayerRun, AQuitEndsPlayBeforeTheNextFrame)
{
    BeginPlay(20000, Settings());
    Play(2);
    const size_t calls = recorder.calls.size();
    PostQuitMessage();
    EXPECT_FALSE(PlayFrame());
    EXPECT_EQ(recorder.calls.size(), calls);
    EXPECT_FALSE(PlayFrame());
}

}  // namespace
