// The player's key scripts, screenshot names and the scene table it walks; seeks, pause
// and the overlay on the recording render interface.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/player.h"
#include "app/viewer_overlay.h"
#include "fx/text_overlay.h"
#include "scenes/timeline.h"
#include "shell/clock.h"
#include "shell/window.h"
#include "support/scene_run.h"

namespace {

TEST(KeyScript, ReadsTimesAndKeysSkippingCommentsAndBlankLines)
{
    std::vector<ScriptedKey> keys;
    std::string error;
    ASSERT_TRUE(ParseKeyScript("# a comment\n\n0 space\n  500 left\n500 f12\n94000 pagedown\n", &keys, &error));
    ASSERT_EQ(keys.size(), 4u);
    EXPECT_EQ(keys[0].atMs, 0);
    EXPECT_EQ(keys[0].key, Key::Space);
    EXPECT_EQ(keys[1].key, Key::Left);
    EXPECT_EQ(keys[2].atMs, 500);
    EXPECT_EQ(keys[2].key, Key::F12);
    EXPECT_EQ(keys[3].key, Key::PageDown);
    for (Key key : {Key::Space, Key::Left, Key::Right, Key::PageUp, Key::PageDown, Key::Home, Key::F12, Key::Tab,
                    Key::Escape}) {
        ASSERT_TRUE(ParseKeyScript("1 " + std::string(KeyName(key)), &keys, &error)) << KeyName(key);
        EXPECT_EQ(keys[0].key, key);
    }
}

TEST(KeyScript, NamesTheFirstBadLine)
{
    std::vector<ScriptedKey> keys;
    std::string error;
    for (const char* bad : {"100 enter", "x space", "-5 space", "100", "100 space now", "1.5 tab"}) {
        EXPECT_FALSE(ParseKeyScript(std::string("0 tab\n") + bad + "\n", &keys, &error)) << bad;
        EXPECT_EQ(error.rfind("line 2: expected \"MS KEY\"", 0), 0u) << error;
    }
    EXPECT_FALSE(ParseKeyScript("200 tab\n100 tab\n", &keys, &error));
    EXPECT_EQ(error, "line 2: times must not go back: 100 tab");
}

TEST(Screenshot, NamedByDemoTimeWithoutOverwriting)
{
    char dir[] = "/tmp/zircon-shots-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(dir), 0);
    EXPECT_EQ(ScreenshotFileName(12345), "zircon-t0012345.png");
    std::ofstream("zircon-t0012345.png") << "x";
    EXPECT_EQ(ScreenshotFileName(12345), "zircon-t0012345-2.png");
    std::ofstream("zircon-t0012345-2.png") << "x";
    EXPECT_EQ(ScreenshotFileName(12345), "zircon-t0012345-3.png");
    EXPECT_EQ(ScreenshotFileName(-16), "zircon-t0000000.png");   // the first frame, before the music is heard
    std::remove("zircon-t0012345.png");
    std::remove("zircon-t0012345-2.png");
    ASSERT_EQ(chdir(previous), 0);
    rmdir(dir);
}

TEST(SceneTable, ScenesFollowEachOtherInPlayOrder)
{
    const int32_t starts[] = {0, 17950, 30000, 42000, 54000, 78000};
    for (int i = 0; i < SceneCount; ++i) {
        const SceneId scene = static_cast<SceneId>(i);
        EXPECT_EQ(SceneStart(scene), starts[i]) << i;
        EXPECT_EQ(SceneAtTime(starts[i]), scene) << i;
        EXPECT_EQ(SceneAtTime(SceneRoutinesOf(scene).end - 1), scene) << i;
    }
    EXPECT_EQ(SceneRoutinesOf(SceneId::Closing).end, 94000);
    EXPECT_EQ(SceneAtTime(-20), SceneId::Opening);
    EXPECT_EQ(SceneAtTime(94000), SceneId::Closing);
}

// The player on the recording render interface with the fixed 60 fps clock, keys pressed
// as the window hands them over. No window and no data set: the scenes draw what they
// have without one.
class PlayerRun : public ::testing::Test {
protected:
    PresentTimingRecorder recorder;

    void SetUp() override
    {
        ResetWindowState();
        MainWindow = 1;
        Renderer = &recorder;
        UseFixedFrameClock(60);
    }
    void TearDown() override
    {
        EndPlay();
        Renderer = nullptr;
        UseFixedFrameClock(0);
        ResetWindowState();
    }
    static void Press(Key key) { PostWindowMessage({Message::KeyDown, key}); }
    // Plays n frames (a key pressed before takes effect in the first); the calls of each.
    std::vector<std::vector<RecordedCall>> Play(int n)
    {
        std::vector<std::vector<RecordedCall>> frames;
        for (int i = 0; i < n; ++i) {
            const size_t first = recorder.calls.size();
            EXPECT_TRUE(PlayFrame());
            frames.emplace_back(recorder.calls.begin() + static_cast<long>(first), recorder.calls.end());
        }
        return frames;
    }
    // The calls from index `first` on; the DemoTimes presented from the first-th present on.
    std::vector<RecordedCall> CallsFrom(size_t first) const
    {
        return std::vector<RecordedCall>(recorder.calls.begin() + static_cast<long>(first), recorder.calls.end());
    }
    std::vector<int32_t> PresentsFrom(size_t first) const
    {
        return std::vector<int32_t>(recorder.presentTimes.begin() + static_cast<long>(first),
                                    recorder.presentTimes.end());
    }
};

// Frames played after a seek or a start: their calls (the scenes' entering included), the
// DemoTimes they were presented at and the phase after them.
struct PlayedFrames {
    std::vector<RecordedCall> calls;
    std::vector<int32_t> presents;
    float phase;
};

TEST_F(PlayerRun, ASeekBackAcrossScenesDrawsTheFramesOfARunStartedThere)
{
    // From the closing scene to the start, to the implicit surface, and from the implicit
    // surface at 56333 back into the credits: the scenes left carry other phases.
    const struct {
        int32_t from;
        Key key;
        int32_t to;
    } seeks[] = {{80000, Key::Home, 0}, {80000, Key::PageUp, 54000}, {56000, Key::Left, 51333}};
    for (const auto& seek : seeks) {
        SCOPED_TRACE(std::string(KeyName(seek.key)) + " from " + std::to_string(seek.from));
        BeginPlay(seek.from, PlayerSettings{});
        Play(20);
        Press(seek.key);
        const size_t calls = recorder.calls.size(), presents = recorder.presentTimes.size();
        Play(30);
        const PlayedFrames sought{CallsFrom(calls), PresentsFrom(presents), AnimationPhase};
        EndPlay();

        const size_t startCalls = recorder.calls.size(), startPresents = recorder.presentTimes.size();
        BeginPlay(seek.to, PlayerSettings{});
        Play(30);
        const PlayedFrames started{CallsFrom(startCalls), PresentsFrom(startPresents), AnimationPhase};
        EndPlay();

        ASSERT_EQ(started.presents.front(), seek.to);
        EXPECT_EQ(sought.presents, started.presents);
        EXPECT_EQ(FirstDifferentCall(sought.calls, started.calls), -1);
        EXPECT_EQ(sought.phase, started.phase);
    }
}

TEST_F(PlayerRun, ASeekWhilePausedShowsTheNewTimeStillPaused)
{
    BeginPlay(80000, PlayerSettings{});
    Play(20);
    Press(Key::Space);
    Play(10);
    EXPECT_EQ(recorder.presentTimes.back(), 80333);
    // Back 5 s, into the implicit surface: its frames at 75333, held there.
    Press(Key::Left);
    const size_t presents = recorder.presentTimes.size();
    Play(20);
    EXPECT_EQ(PresentsFrom(presents), std::vector<int32_t>(20, 75333));
    const PlayerStatus status = CurrentPlayerStatus();
    EXPECT_TRUE(status.paused);
    EXPECT_EQ(status.demoTime, 75333);
    EXPECT_EQ(status.scene, 5);
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
    SetUpViewerOverlay();
    const uint32_t font = recorder.NextTextureId;
    // Glyphs only: spaces draw nothing, and letters show as capitals.
    const char* const shown[SceneCount] = {"SCENE1/6OPENINGPICTURE", "SCENE2/6SLICEDBALL",
                                           "SCENE3/6TWISTINGBALL",   "SCENE4/6CREDITS",
                                           "SCENE5/6IMPLICITSURFACE", "SCENE6/6CLOSING"};
    BeginPlay(0, PlayerSettings{});
    Press(Key::Tab);
    for (int scene = 0; scene < SceneCount; ++scene) {
        if (scene > 0) Press(Key::PageDown);
        const std::string text = OverlayText(Play(1)[0], font);
        EXPECT_NE(text.find(shown[scene]), std::string::npos) << text;
    }
}

}  // namespace
