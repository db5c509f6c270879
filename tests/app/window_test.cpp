// The message pump: every way of closing ends in one sticky quit; nothing else matters.
#include <gtest/gtest.h>

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
    Key key = Key::Other;
    ASSERT_TRUE(TakeViewerKey(&key));
    EXPECT_EQ(key, Key::Space);
    ASSERT_TRUE(TakeViewerKey(&key));
    EXPECT_EQ(key, Key::PageDown);
    EXPECT_FALSE(TakeViewerKey(&key));
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
