// Playing a scene again in the same process (a page's play again, a seek back into it)
// draws the frames of its first play byte for byte: set-up never changes what was loaded,
// and entry puts back every state the scene's frames change; and from its entry the frame
// statistics count its frames.
#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "app/frame_stats.h"
#include "scenes/resources.h"
#include "scenes/timeline.h"
#include "support/played_scene.h"

namespace {

// A visit of `frames` frames from `start`, across a change the scene's frames make.
struct Visit {
    const char* name;
    SceneId scene;
    int32_t start;
    int frames;
};

const Visit Visits[] = {
    {"Opening", SceneId::Opening, 16900, 30},                   // fade-in, flares at 17100 and 17250
    {"SlicedBall", SceneId::SlicedBall, 21000, 30},             // the band's kick at 21038
    {"TwistingBall", SceneId::TwistingBall, 38950, 40},         // the leap at 39038
    {"Credits", SceneId::Credits, 50950, 40},                   // the third credit at 51038
    {"ImplicitSurface", SceneId::ImplicitSurface, 74950, 40},   // the greetings at 75038
    {"Closing", SceneId::Closing, 89980, 30},                   // the fade from 90046
};

void PrintTo(const Visit& visit, std::ostream* out) { *out << visit.name; }

// Every render call of the frames presented, with its vertices.
std::vector<RecordedCall> CallsOf(const std::vector<std::vector<RecordedCall>>& frames)
{
    std::vector<RecordedCall> calls;
    for (const auto& frame : frames) calls.insert(calls.end(), frame.begin(), frame.end());
    return calls;
}

class SceneEntry : public ::testing::TestWithParam<Visit> {
protected:
    // The data set, loaded once for every scene (the scenes draw the real models).
    static void SetUpTestSuite()
    {
        CallRecorder loading;
        testing::internal::CaptureStdout();   // the model reader's chunk trace
        LoadedResources load = LoadResources(loading, [] {});
        testing::internal::GetCapturedStdout();
        resources_ = load.resources;
        loaded_ = !load.failure.Failed();
        if (!loaded_) std::fprintf(stderr, "%s\n", load.failure.text.c_str());
    }
    static void TearDownTestSuite()
    {
        FreeMesh(&resources_.ball);
        FreeMesh(&resources_.crystal);
    }
    static bool loaded_;
    static Resources resources_;
};
bool SceneEntry::loaded_ = false;
Resources SceneEntry::resources_;

// The player begun at the visit's start, its frames played, ended, and begun there again:
// every scene before it is set up, entered and drawn on the way both times.
TEST_P(SceneEntry, PlayedAgainItDrawsTheFramesOfItsFirstPlay)
{
    ASSERT_TRUE(loaded_) << "the data set beside the program did not load";
    const Visit& visit = GetParam();
    PlayedScene run(visit.scene, visit.start, resources_);
    run.Play(visit.frames);
    const std::vector<RecordedCall> first = CallsOf(run.Frames());
    run.End();
    const size_t firstCalls = run.recorder.calls.size();   // the frames drawn unseen included
    run.recorder.calls.clear();
    run.Play(visit.frames);
    const std::vector<RecordedCall> again = CallsOf(run.Frames());
    run.End();
    EXPECT_EQ(run.recorder.calls.size(), firstCalls);
    ASSERT_GT(first.size(), static_cast<size_t>(visit.frames));
    const long differs = FirstDifferentCall(first, again);
    EXPECT_EQ(differs, -1) << "call " << differs << " of " << first.size() << " ("
                           << (differs >= 0 && static_cast<size_t>(differs) < first.size() ? first[differs].op : "")
                           << ") differs on the second entry";
}

TEST_P(SceneEntry, TheFrameStatisticsCountItsFramesFromItsEntryAgainAfterAnotherScene)
{
    ASSERT_TRUE(loaded_) << "the data set beside the program did not load";
    const Visit& visit = GetParam();
    const int number = static_cast<int>(visit.scene) + 1;   // the statistics count scenes from 1
    const SceneId other = visit.scene == SceneId::Opening ? SceneId::Closing : SceneId::Opening;
    // Each frame recorded by the player at the time it is drawn at; the visit plays twice
    // with another scene's start between.
    FrameStats stats;
    int32_t lastDrawn = 0;
    for (int entry = 0; entry < 2; ++entry) {
        PlayedScene run(visit.scene, visit.start, resources_, &stats);
        run.Begin();
        for (int n = 0; n < visit.frames; ++n) {
            lastDrawn = run.DemoTime();
            run.Steps(1);
        }
        run.End();
        if (entry == 0) {
            PlayedScene between(other, SceneStart(other), resources_, &stats);
            between.Play(1);
        }
    }

    const int otherNumber = static_cast<int>(other) + 1;
    for (int s = 1; s <= SceneCount; ++s)
        EXPECT_EQ(stats.FramesDrawn(s), s == number ? 2 * visit.frames : s == otherNumber ? 1 : 0) << "scene " << s;
    const SceneFigures figures = stats.FiguresOfScene(number);
    EXPECT_EQ(figures.firstTime, visit.start);
    EXPECT_EQ(figures.lastTime, lastDrawn);
}

INSTANTIATE_TEST_SUITE_P(EveryScene, SceneEntry, ::testing::ValuesIn(Visits),
                         [](const ::testing::TestParamInfo<Visit>& info) { return std::string(info.param.name); });

}  // namespace
