#include "icons.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "pictures/app_icon.h"
#include "pictures/ico_write.h"
#include "pictures/png_write.h"

namespace {

bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    if (bytes.empty()) return false;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// Makes every folder on the way to path's last '/'.
bool MakeParents(const std::string& path)
{
    for (size_t i = 1; i < path.size(); ++i) {
        if (path[i] != '/') continue;
        if (mkdir(path.substr(0, i).c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    return true;
}

std::vector<unsigned char> Png(const IcoImage& image)
{
    std::vector<unsigned char> png;
    if (!EncodeRgbaPng(image.rgba, image.size, image.size, &png)) png.clear();
    return png;
}

IcoImage Painted(int size) { return {size, IconPixels(PaintAppIcon(size))}; }

}  // namespace

const std::vector<int>& IconSizes()
{
    static const std::vector<int> sizes = {16, 24, 32, 48, 64, 128, 256};
    return sizes;
}

std::string IcoFileName() { return "zircon-megademo.ico"; }

std::string ThemeIconPath(int size)
{
    const std::string n = std::to_string(size);
    return "hicolor/" + n + "x" + n + "/apps/zircon-megademo.png";
}

bool WriteWindowIcon(const std::string& path) { return WriteBytes(path, Png(Painted(kWindowIconSize))); }

bool WriteIcons(const std::string& dir, std::string* error)
{
    std::vector<IcoImage> images;
    for (int size : IconSizes()) {
        images.push_back(Painted(size));
        const std::string path = dir + "/" + ThemeIconPath(size);
        if (!MakeParents(path) || !WriteBytes(path, Png(images.back()))) {
            if (error) *error = "cannot write " + path;
            return false;
        }
    }
    const std::string ico = dir + "/" + IcoFileName();
    if (!MakeParents(ico) || !WriteBytes(ico, EncodeIco(images))) {
        if (error) *error = "cannot write " + ico;
        return false;
    }
    return true;
}
