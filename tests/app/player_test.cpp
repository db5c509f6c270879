// The player's key scripts, screenshot names and the scene table it walks.
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
#include "shell/window.h"

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
        EXPECT_EQ(SceneAtTime(SceneEnd(scene) - 1), scene) << i;
    }
    EXPECT_EQ(SceneEnd(SceneId::Closing), 94000);
    EXPECT_EQ(SceneAtTime(-20), SceneId::Opening);
    EXPECT_EQ(SceneAtTime(94000), SceneId::Closing);
}

}  // namespace
