// The message pump: every way of closing ends in one sticky quit; nothing else matters.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "shell/window.h"

namespace {

class PumpMessagesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetWindowState();
        MarkMainWindowOpen();
    }
    void TearDown() override { ResetWindowState(); }
};

TEST_F(PumpMessagesTest, EmptyQueueReturnsFalseAtOnce)
{
    EXPECT_FALSE(PumpMessages());
    EXPECT_FALSE(QuitWasRequested());
}

TEST_F(PumpMessagesTest, EscapeClosesAndQuitsWithinTheSameCall)
{
    PostWindowMessage({Message::KeyDown, KeyEscape});
    EXPECT_TRUE(PumpMessages());
    EXPECT_TRUE(QuitWasRequested());
    EXPECT_FALSE(MainWindowOpen());   // the close request destroyed the window
}

TEST_F(PumpMessagesTest, CloseRequestFromTheWindowSystemQuits)
{
    PostWindowMessage({Message::Close});
    EXPECT_TRUE(PumpMessages());
    EXPECT_TRUE(QuitWasRequested());
}

TEST_F(PumpMessagesTest, OtherKeysAndMessagesChangeNothingButViewerKeysAreKeptInOrder)
{
    PostWindowMessage({Message::KeyDown, Key::Other});
    PostWindowMessage({Message::KeyDown, Key::Space});
    PostWindowMessage({Message::Other});
    PostWindowMessage({Message::KeyDown, Key::PageDown});
    PostWindowMessage({Message::Other});
    EXPECT_FALSE(PumpMessages());
    EXPECT_FALSE(QuitWasRequested());
    EXPECT_TRUE(MainWindowOpen());
    EXPECT_EQ(PendingMessageCount(), 0);
    ViewerRequest request;
    ASSERT_TRUE(TakeViewerRequest(&request));
    EXPECT_EQ(request.key, Key::Space);
    ASSERT_TRUE(TakeViewerRequest(&request));
    EXPECT_EQ(request.key, Key::PageDown);
    EXPECT_FALSE(TakeViewerRequest(&request));
}

TEST_F(PumpMessagesTest, ASeekToADemoTimeIsAViewerRequestInItsPlaceAmongTheKeys)
{
    PostWindowMessage({Message::KeyDown, Key::Space});
    PostWindowMessage({Message::SeekTo, Key::Other, 44300});
    PostWindowMessage({Message::SeekTo, Key::Other, -20});
    PostWindowMessage({Message::KeyDown, Key::Right});
    EXPECT_FALSE(PumpMessages());
    ViewerRequest request;
    std::vector<std::pair<Key, int32_t>> taken;
    while (TakeViewerRequest(&request)) taken.emplace_back(request.key, request.seekToMs);
    const std::vector<std::pair<Key, int32_t>> expected = {
        {Key::Space, -1}, {Key::Other, 44300}, {Key::Other, 0}, {Key::Right, -1}};
    EXPECT_EQ(taken, expected);
}

TEST_F(PumpMessagesTest, MessagesBehindTheQuitStayQueued)
{
    PostQuitMessage();
    PostWindowMessage({Message::Other});
    PostWindowMessage({Message::KeyDown, Key::Other});
    EXPECT_TRUE(PumpMessages());
    EXPECT_EQ(PendingMessageCount(), 2);
}

TEST_F(PumpMessagesTest, QuitIsStickyAndTheQueueIsNoLongerRead)
{
    PostQuitMessage();
    ASSERT_TRUE(PumpMessages());
    PostWindowMessage({Message::Other});
    EXPECT_TRUE(PumpMessages());
    EXPECT_TRUE(PumpMessages());
    EXPECT_EQ(PendingMessageCount(), 1);
}

TEST_F(PumpMessagesTest, SecondCloseRequestAfterDestroyPostsNoSecondQuit)
{
    PostWindowMessage({Message::KeyDown, KeyEscape});
    PostWindowMessage({Message::Close});
    EXPECT_TRUE(PumpMessages());
    // The second close finds no window left: exactly one quit message was posted and
    // retrieved, and nothing remains queued.
    EXPECT_EQ(PendingMessageCount(), 0);
}

}  // namespace
