#include "data_set.h"

#include <algorithm>
#include <functional>

#include "models3ds/geosphere.h"
#include "models3ds/sculpt.h"
#include "models3ds/tds_write.h"
#include "pictures/lettering.h"
#include "pictures/picture_catalogue.h"
#include "pictures/png_write.h"
#include "sound/mp3_encode.h"
#include "sound/sequencer.h"

namespace {

struct Entry {
    std::string name;
    std::function<bool(const std::string& path)> write;
};

Entry Texture(const char* name, Picture (*paint)(), PngKind kind)
{
    return {name, [paint, kind](const std::string& path) { return WritePng(path, paint(), kind); }};
}

const std::vector<Entry>& Entries()
{
    static const std::vector<Entry> entries = {
        Texture("whiteflash.png", PaintWhiteFlash, PngKind::Opaque),
        Texture("loading.png", PaintLoading, PngKind::Translucent),
        Texture("envmap.png", PaintEnvMap, PngKind::Opaque),
        Texture("radialmap.png", PaintRadialMap, PngKind::Opaque),
        Texture("vertnoise.png", PaintVertNoise, PngKind::Translucent),
        Texture("envmap2.png", PaintEnvMap2, PngKind::Opaque),
        Texture("tori_radial_bg1024.png", PaintToriRadial, PngKind::Opaque),
        Texture("backdropbg_megademo1024.png", PaintBackdrop, PngKind::Opaque),
        Texture("linenoise.png", PaintLineNoise, PngKind::Translucent),
        Texture("credits1024.png", PaintCredits, PngKind::Translucent),
        Texture("ondtexture512.png", PaintOndTexture, PngKind::Translucent),
        Texture("grid128.png", PaintGrid, PngKind::Opaque),
        Texture("vortex_kasser1024.png", PaintVortex, PngKind::Opaque),
        Texture("torusdesign.png", PaintTorusDesign, PngKind::Translucent),
        Texture("greets.png", PaintGreets, PngKind::Translucent),
        {"ball2420.3ds", [](const std::string& path) { return WriteTdsFile(path, BallScene()); }},
        {"ting5.3ds", [](const std::string& path) { return WriteTdsFile(path, FrontScene()); }},
        {"demusik.mp3", [](const std::string& path) { return EncodeMp3File(path, RenderSoundtrack()); }},
    };
    return entries;
}

}  // namespace

const std::vector<std::string>& DataSetFileNames()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n;
        for (const Entry& e : Entries()) n.push_back(e.name);
        return n;
    }();
    return names;
}

bool WriteDataSet(const std::string& dir, const std::vector<std::string>& only, std::string* error)
{
    for (const Entry& e : Entries()) {
        if (!only.empty() && std::find(only.begin(), only.end(), e.name) == only.end()) continue;
        if (!e.write(dir + "/" + e.name)) {
            if (error) *error = "cannot write " + dir + "/" + e.name;
            return false;
        }
        // Lettering without its font would silently leave the pictures without text.
        if (!MissingFont().empty()) {
            if (error) *error = "cannot load the font " + MissingFont() + " (install fonts-dejavu-core)";
            return false;
        }
    }
    return true;
}
