// The generator writes the same bytes on every run.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "data_dir.h"
#include "data_set.h"

TEST(DataSet, EighteenFilesUnderTheirDemoNames)
{
    const std::vector<std::string> expected = {
        "whiteflash.png", "loading.png", "envmap.png", "radialmap.png", "vertnoise.png", "envmap2.png",
        "tori_radial_bg1024.png", "backdropbg_megademo1024.png", "linenoise.png", "credits1024.png",
        "ondtexture512.png", "grid128.png", "vortex_kasser1024.png", "torusdesign.png", "greets.png",
        "ball2420.3ds", "ting5.3ds", "demusik.mp3"};
    EXPECT_EQ(DataSetFileNames(), expected);
}

TEST(DataSet, TwoRunsWriteIdenticalBytes)
{
    std::string dir = MakeTempDir();
    ASSERT_FALSE(dir.empty());
    std::string error;
    ASSERT_TRUE(WriteDataSet(dir, {}, &error)) << error;
    for (const std::string& name : DataSetFileNames()) {
        SCOPED_TRACE(name);
        std::vector<uint8_t> fresh = FileBytes(dir + "/" + name);
        EXPECT_FALSE(fresh.empty());
        EXPECT_TRUE(fresh == FileBytes(DataPath(name)));
        std::remove((dir + "/" + name).c_str());
    }
    std::remove(dir.c_str());
}
