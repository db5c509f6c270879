// Hostile data: every file the demo loads replaced, one at a time, by an empty file, a
// truncated copy, random bytes, and for the pictures a PNG declaring huge sizes and one of
// another colour type, for the models chunk lengths that lie, counts beyond the file and a
// missing object. The real program runs on a copy of the data set (--data) and either ends
// with the designed message naming the file and status 1, or plays on (status 0); it
// never crashes or hangs.
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "model/write3ds.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

const char* const Pictures[] = {"whiteflash.png", "loading.png", "envmap.png", "radialmap.png", "vertnoise.png",
                                "envmap2.png", "tori_radial_bg1024.png", "backdropbg_megademo1024.png",
                                "linenoise.png", "credits1024.png", "ondtexture512.png", "grid128.png",
                                "vortex_kasser1024.png", "torusdesign.png", "greets.png"};

Bytes ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct ProgramRun {
    int status = -1;
    std::string err;
};

// A copy of the data set with one file replaced, and the program run on it from start
// to the given stretch of DemoTime.
class HostileData : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
        folder_ = fs::path(testing::TempDir()) / ("zircon_hostile_" + std::to_string(getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        fs::copy("megadata", folder_ / "megadata");
    }
    void TearDown() override { fs::remove_all(folder_); }

    void Replace(const std::string& name, const Bytes& bytes)
    {
        ASSERT_TRUE(WriteBytesToFile((folder_ / "megadata" / name).string(), bytes));
    }
    void Restore(const std::string& name)
    {
        fs::copy_file(fs::path("megadata") / name, folder_ / "megadata" / name, fs::copy_options::overwrite_existing);
    }
    Bytes Original(const std::string& name) { return ReadBytes(fs::path("megadata") / name); }

    ProgramRun Play(int startMs, int untilMs)
    {
        const std::string err = (folder_ / "err.txt").string();
        const std::string command = "timeout 120 " + std::string(ZIRCON_DEMO) + " --data " +
                                    (folder_ / "megadata").string() + " --fps 60 --no-dialogs --start " +
                                    std::to_string(startMs) + " --until " + std::to_string(untilMs) +
                                    " > /dev/null 2> " + err;
        const int raw = std::system(command.c_str());
        ProgramRun run;
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        std::stringstream text;
        text << std::ifstream(err).rdbuf();
        run.err = text.str();
        return run;
    }

    fs::path folder_;
};

Bytes RandomBytes(size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    Bytes bytes(count);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
    return bytes;
}

// A PNG chunk with its length and CRC.
void PutChunk(Bytes* png, const char* type, const Bytes& data)
{
    auto dword = [&](uint32_t v) {
        for (int k = 3; k >= 0; --k) png->push_back(static_cast<uint8_t>(v >> (8 * k)));
    };
    dword(static_cast<uint32_t>(data.size()));
    const size_t start = png->size();
    png->insert(png->end(), type, type + 4);
    png->insert(png->end(), data.begin(), data.end());
    dword(static_cast<uint32_t>(crc32(0, png->data() + start, static_cast<uInt>(png->size() - start))));
}

// A well-formed header declaring width × height, followed by a little image data.
Bytes PngDeclaring(uint32_t width, uint32_t height)
{
    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    for (uint32_t v : {width, height})
        for (int k = 3; k >= 0; --k) header.push_back(static_cast<uint8_t>(v >> (8 * k)));
    header.insert(header.end(), {8, 6, 0, 0, 0});   // 8-bit RGBA
    PutChunk(&png, "IHDR", header);
    PutChunk(&png, "IDAT", Bytes(64, 0));
    PutChunk(&png, "IEND", {});
    return png;
}

// A valid 16-bit grey-and-alpha picture of 64 × 64.
Bytes GreyAlpha16Png()
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = 64;
    image.height = 64;
    image.format = PNG_FORMAT_LINEAR_Y_ALPHA;
    std::vector<uint16_t> pixels(64 * 64 * 2, 40000);
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
    Bytes png(size);
    EXPECT_TRUE(png_image_write_to_memory(&image, png.data(), &size, 0, pixels.data(), 0, nullptr));
    png.resize(size);
    return png;
}

void ExpectFatal(const ProgramRun& run, const std::string& text, const std::string& what)
{
    EXPECT_EQ(run.status, 1) << what << "\n" << run.err;
    EXPECT_NE(run.err.find("FATAL ERROR: " + text), std::string::npos) << what << "\n" << run.err;
}

void ExpectPlaysOn(const ProgramRun& run, const std::string& what)
{
    EXPECT_EQ(run.status, 0) << what << "\n" << run.err;
    EXPECT_EQ(run.err.find("FATAL ERROR"), std::string::npos) << what << "\n" << run.err;
    EXPECT_EQ(run.err.find("Sanitizer"), std::string::npos) << what << "\n" << run.err;
}

TEST_F(HostileData, EveryDamagedPictureEndsTheProgramNamingIt)
{
    // Every kind of damage to the first picture; each picture after it with one kind, in
    // turn: the reader's refusals do not depend on the picture, the message names it.
    size_t turn = 0;
    for (const char* name : Pictures) {
        const Bytes original = Original(name);
        const std::string message = std::string("Can't load image megadata\\") + name;
        const std::vector<std::pair<std::string, Bytes>> damages = {
            {"empty", {}},
            {"truncated", Bytes(original.begin(), original.begin() + original.size() / 2)},
            {"random bytes", RandomBytes(original.size(), 7)},
            {"huge declared sizes", PngDeclaring(60000, 60000)},
        };
        for (size_t kind = 0; kind < damages.size(); ++kind) {
            if (name != Pictures[0] && kind != turn % damages.size()) continue;
            const auto& [what, bytes] = damages[kind];
            Replace(name, bytes);
            ExpectFatal(Play(93950, 94000), message, std::string(name) + ", " + what);
        }
        ++turn;
        Restore(name);
    }
}

TEST_F(HostileData, APictureOfAnotherColourTypeAndSizePlaysOn)
{
    for (const char* name : {"loading.png", "envmap.png", "backdropbg_megademo1024.png", "greets.png"}) {
        Replace(name, GreyAlpha16Png());
        // From the first scene's end through the second scene's start, and the greetings.
        ExpectPlaysOn(Play(17900, 18100), name);
        Restore(name);
    }
    Replace("greets.png", GreyAlpha16Png());
    ExpectPlaysOn(Play(69000, 69200), "greets.png during its flash");
}

// The models: the ball is drawn from 17950 to 42000, the crystal from 42000 to 54000.
struct ModelCase {
    const char* file;
    const char* object;
    int start, until;
};
const ModelCase Models[] = {{"ball2420.3ds", "GeoSphere0", 29900, 30100}, {"ting5.3ds", "front", 42000, 42200}};

TEST_F(HostileData, DamagedModelsPlayOnWithWhatCouldBeRead)
{
    for (const ModelCase& m : Models) {
        const Bytes original = Original(m.file);
        MeshObject3ds sphere = BuildGeoSphere(m.object, 4);
        for (float& f : sphere.positions) f *= 200.0f;

        // Chunk lengths that lie: the points chunk claims far more than the file holds.
        Writer3ds lying;
        lying.Begin(0x4D4D);
        lying.Begin(0x3D3D);
        lying.Begin(0x4000);
        lying.Name(m.object);
        lying.Begin(0x4100);
        WritePointArray(lying, sphere.positions);
        lying.EndWithLength(0x7FFFFFF0);
        lying.End();
        lying.End();
        lying.End();

        // Counts beyond the file: 65535 points and faces declared, a few present.
        Writer3ds counts;
        counts.Begin(0x4D4D);
        counts.Begin(0x3D3D);
        counts.Begin(0x4000);
        counts.Name(m.object);
        counts.Begin(0x4100);
        counts.Begin(0x4110);
        counts.Word(65535);
        for (int i = 0; i < 9; ++i) counts.Float(static_cast<float>(i * 10));
        counts.End();
        counts.Begin(0x4120);
        counts.Word(65535);
        for (uint16_t v : {0, 1, 2, 0, 2, 1, 65000, 0}) counts.Word(v);
        counts.End();
        counts.End();
        counts.End();
        counts.End();
        counts.End();

        MeshObject3ds other = sphere;
        other.name = "SomethingElse";
        const std::vector<std::pair<std::string, Bytes>> damages = {
            {"empty", {}},
            {"truncated", Bytes(original.begin(), original.begin() + original.size() / 2)},
            {"random bytes", RandomBytes(original.size(), 11)},
            {"lying chunk lengths", lying.bytes},
            {"counts beyond the file", counts.bytes},
            {"missing object", Make3dsFile({other})},
        };
        for (const auto& [what, bytes] : damages) {
            Replace(m.file, bytes);
            ExpectPlaysOn(Play(m.start, m.until), std::string(m.file) + ", " + what);
        }
        Restore(m.file);
    }
}

TEST_F(HostileData, ADamagedSoundtrackShowsItsBoxesAndThePicturePlaysOn)
{
    const Bytes original = Original("demusik.mp3");
    const std::vector<std::pair<std::string, Bytes>> damages = {
        {"empty", {}},
        {"truncated", Bytes(original.begin(), original.begin() + original.size() / 3)},
        {"random bytes", RandomBytes(original.size() / 8, 13)},
    };
    for (const auto& [what, bytes] : damages) {
        Replace("demusik.mp3", bytes);
        const ProgramRun run = Play(93800, 94000);
        ExpectPlaysOn(run, "demusik.mp3, " + what);
        // A file that is no stream at all gets its box; a cut one plays what it holds.
        if (what != "truncated") {
            EXPECT_NE(run.err.find("Error: Can't create stream\n(error code: "), std::string::npos)
                << what << "\n" << run.err;
        }
    }
}

}  // namespace
