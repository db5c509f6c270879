// The search-path and command-line rules of both systems.
#include <gtest/gtest.h>

#include "platform/command_line.h"

namespace {

using Names = std::vector<std::string>;

TEST(CommandLine, PosixSearchSplitsOnColonsWithEmptyMeaningHere)
{
    EXPECT_EQ(ProgramCandidates("/usr/local/bin::/usr/bin/", "ffmpeg", PathRules::Posix),
              (Names{"/usr/local/bin/ffmpeg", "./ffmpeg", "/usr/bin/ffmpeg"}));
    // Semicolons and backslashes are part of a folder's name here; no ".exe" is added.
    EXPECT_EQ(ProgramCandidates("/opt/a;b\\c", "ffmpeg", PathRules::Posix), (Names{"/opt/a;b\\c/ffmpeg"}));
}

TEST(CommandLine, WindowsSearchSplitsOnSemicolonsAndAddsExe)
{
    EXPECT_EQ(ProgramCandidates("C:\\Windows\\system32;;\"C:\\Program Files\\ff\\bin\";D:/tools/;E:\\x\\", "ffmpeg",
                                PathRules::Windows),
              (Names{"C:\\Windows\\system32\\ffmpeg.exe", "C:\\Program Files\\ff\\bin\\ffmpeg.exe",
                     "D:/tools/ffmpeg.exe", "E:\\x\\ffmpeg.exe"}));
    EXPECT_EQ(ProgramCandidates("C:\\bin", "FFMPEG.EXE", PathRules::Windows), (Names{"C:\\bin\\FFMPEG.EXE"}));
    EXPECT_TRUE(ProgramCandidates("", "ffmpeg", PathRules::Windows).empty());
}

TEST(CommandLine, WindowsQuotingGivesEachArgumentBackWhole)
{
    EXPECT_EQ(WindowsQuotedArgument("-i"), "-i");
    EXPECT_EQ(WindowsQuotedArgument("C:\\a\\b.mp3"), "C:\\a\\b.mp3");   // lone backslashes stay
    EXPECT_EQ(WindowsQuotedArgument(""), "\"\"");
    EXPECT_EQ(WindowsQuotedArgument("C:\\My Music\\d.mp3"), "\"C:\\My Music\\d.mp3\"");
    EXPECT_EQ(WindowsQuotedArgument("say \"hi\""), "\"say \\\"hi\\\"\"");
    EXPECT_EQ(WindowsQuotedArgument("a\\\"b c"), "\"a\\\\\\\"b c\"");   // a\"b c
    EXPECT_EQ(WindowsQuotedArgument("C:\\out dir\\"), "\"C:\\out dir\\\\\"");   // the last \ doubled
    EXPECT_EQ(WindowsCommandLine("C:\\ff mpeg\\ffmpeg.exe", {"-y", "out's clip.mp4"}),
              "\"C:\\ff mpeg\\ffmpeg.exe\" -y \"out's clip.mp4\"");
}

}  // namespace
