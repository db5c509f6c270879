// The data-set check: each picture, model and the soundtrack through the demo's readers.
#include "app/check_data.h"

#include <memory>

#include "image/png_load.h"
#include "model/3dsload.h"
#include "model/mesh_load.h"
#include "platform/data_file.h"
#include "platform/platform.h"
#include "scenes/timeline.h"

namespace {

struct PictureSpec {
    const char* file;
    int width, height;
    bool cutIntoWindows;   // the scenes draw windows of it by texel coordinates
};

// Loading order; the sizes the data set makes and the scenes assume.
const PictureSpec Pictures[] = {
    {"megadata\\whiteflash.png", 256, 256, false},       {"megadata\\loading.png", 256, 256, false},
    {"megadata\\envmap.png", 256, 256, false},           {"megadata\\radialmap.png", 256, 256, false},
    {"megadata\\vertnoise.png", 256, 256, false},        {"megadata\\envmap2.png", 256, 256, false},
    {"megadata\\tori_radial_bg1024.png", 1024, 1024, true},
    {"megadata\\backdropbg_megademo1024.png", 1024, 1024, true},
    {"megadata\\linenoise.png", 256, 256, false},        {"megadata\\credits1024.png", 1024, 1024, true},
    {"megadata\\ondtexture512.png", 512, 512, false},    {"megadata\\grid128.png", 128, 128, false},
    {"megadata\\vortex_kasser1024.png", 1024, 1024, true},
    {"megadata\\torusdesign.png", 256, 256, false},      {"megadata\\greets.png", 256, 256, false},
};

struct ModelSpec {
    const char* file;
    const char* object;
};
const ModelSpec Models[] = {{"megadata\\ball2420.3ds", "GeoSphere0"}, {"megadata\\ting5.3ds", "front"}};

constexpr const char* Soundtrack = "megadata\\demusik.mp3";

bool Exists(const char* file)
{
    FILE* f = OpenDataFile(file, "rb");
    if (!f) return false;
    std::fclose(f);
    return true;
}

std::string Size(int width, int height) { return std::to_string(width) + " x " + std::to_string(height); }

DataFileCheck CheckPicture(const PictureSpec& picture)
{
    DataFileCheck c{picture.file, false, ""};
    if (!Exists(picture.file)) return c.detail = "missing", c;
    const std::unique_ptr<Image> image(LoadPngImage(picture.file));
    if (!image) return c.detail = "not a PNG the demo can load (damaged or cut short?)", c;
    const std::string size = Size(image->Width(), image->Height());
    if (image->Width() != picture.width || image->Height() != picture.height) {
        c.detail = size + ", the scenes assume " + Size(picture.width, picture.height) +
                   (picture.cutIntoWindows ? " (they cut windows out of it)" : "");
        return c;
    }
    c.ok = true;
    c.detail = size;
    return c;
}

DataFileCheck CheckModel(const ModelSpec& model)
{
    DataFileCheck c{model.file, false, ""};
    if (!Exists(model.file)) return c.detail = "missing", c;
    TriMeshData data{};
    const ModelRead read = Read3dsObject(&data, model.file, model.object);
    const int faces = data.faceCount, vertices = data.vertexCount;
    FreeTriMeshData(&data);
    switch (read) {
    case ModelRead::Found:
        if (faces <= 0) return c.detail = std::string("object \"") + model.object + "\" has no faces", c;
        c.ok = true;
        c.detail = std::string("object \"") + model.object + "\": " + std::to_string(faces) + " faces, " +
                   std::to_string(vertices) + " vertices";
        return c;
    case ModelRead::ObjectMissing:
        return c.detail = std::string("no object \"") + model.object + "\" with a mesh", c;
    case ModelRead::CannotOpen:
        return c.detail = "cannot be opened", c;
    case ModelRead::OutOfMemory:
        return c.detail = "too large to read", c;
    }
    return c;
}

DataFileCheck CheckSoundtrack()
{
    DataFileCheck c{Soundtrack, false, ""};
    if (!Exists(Soundtrack)) return c.detail = "missing", c;
    if (!AudioInit(44100, true)) return c.detail = "no audio decoder could be started", c;
    const AudioStreamHandle stream = AudioStreamFromFile(DataFilePath(Soundtrack).c_str());
    if (stream == 0) return c.detail = "not an MP3 stream the demo can play", c;
    AudioFreeStream(stream);
    const int ms = AudioDecodedLength(DataFilePath(Soundtrack).c_str());
    if (ms < 0) return c.detail = "does not decode", c;
    char length[32];
    std::snprintf(length, sizeof length, "%d.%03d s", ms / 1000, ms % 1000);
    if (ms < DemoEnd()) {
        c.detail = std::string(length) + " of sound, the demo needs " + std::to_string(DemoEnd() / 1000) + " s";
        return c;
    }
    c.ok = true;
    c.detail = std::string("MP3, ") + length;
    return c;
}

}  // namespace

std::vector<DataFileCheck> CheckDataSet()
{
    std::vector<DataFileCheck> checks;
    for (const PictureSpec& p : Pictures) checks.push_back(CheckPicture(p));
    for (const ModelSpec& m : Models) checks.push_back(CheckModel(m));
    checks.push_back(CheckSoundtrack());
    return checks;
}

int RunDataCheck(FILE* out)
{
    std::fprintf(out, "data set in %s/\n", DataFolder().c_str());
    const std::vector<DataFileCheck> checks = CheckDataSet();
    int problems = 0;
    for (const DataFileCheck& c : checks) {
        std::fprintf(out, "  %-36s %-7s %s\n", c.file.c_str(), c.ok ? "ok" : "PROBLEM", c.detail.c_str());
        if (!c.ok) ++problems;
    }
    if (problems == 0) {
        std::fprintf(out, "all %zu files are fine\n", checks.size());
        return 0;
    }
    std::fprintf(out, "%d problem%s:\n", problems, problems == 1 ? "" : "s");
    for (const DataFileCheck& c : checks)
        if (!c.ok) std::fprintf(out, "  %s: %s\n", c.file.c_str(), c.detail.c_str());
    return 1;
}
