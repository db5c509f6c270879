// Child processes fed through a pipe, and the program search.
#include <gtest/gtest.h>

#include "platform/system.h"

#include <string>

namespace {

TEST(System, ChildReadsThePipeAndGetsItsArgumentsUnparsed)
{
    const std::string sh = PlatformFindProgram("sh");
    ASSERT_FALSE(sh.empty());
    // The script exits 3 when it was given one argument with a space and a quote in it
    // and read 100000 bytes.
    ChildProcess* child = PlatformStartChild(
        sh, {"-c", "[ \"$1\" = \"it's a b\" ] && [ $(wc -c) -eq 100000 ] && exit 3; exit 1", "sh", "it's a b"},
        true, 1 << 20);
    ASSERT_NE(child, nullptr);
    const std::string block(1000, 'x');
    for (int i = 0; i < 100; ++i) ASSERT_EQ(std::fwrite(block.data(), 1, block.size(), PlatformChildInput(child)), 1000u);
    EXPECT_EQ(PlatformFinishChild(child), 3);
}

TEST(System, ChildThatEndsEarlyGivesFailedWritesNotAnEnd)
{
    ChildProcess* child = PlatformStartChild(PlatformFindProgram("sh"), {"-c", "exit 0"}, false, 4096);
    ASSERT_NE(child, nullptr);
    const std::string block(1 << 16, 'x');
    bool failed = false;
    for (int i = 0; i < 200 && !failed; ++i)
        failed = std::fwrite(block.data(), 1, block.size(), PlatformChildInput(child)) != block.size() ||
                 std::fflush(PlatformChildInput(child)) != 0;
    EXPECT_TRUE(failed);
    EXPECT_EQ(PlatformFinishChild(child), 0);

    EXPECT_EQ(PlatformFindProgram("no-such-program-zircon"), "");
    ProcessFigures figures;
    ASSERT_TRUE(PlatformProcessFigures(&figures));
    EXPECT_GT(figures.peakResidentKb, 1000);   // a live process holds more than 1 MB
}

}  // namespace
