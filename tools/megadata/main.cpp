// megadata-gen OUTDIR [FILE...]: writes the demo's data set and its window icon (or only
// the named files) into OUTDIR, creating it if needed.
// megadata-gen --icons OUTDIR: writes the program's icon files (Windows icon, theme PNGs).
// megadata-gen --preview OUTDIR: writes pictures of how the data looks in the demo.
// megadata-gen --sync OUTDIR: writes the soundtrack before encoding and its beat hits, for
// measuring picture against music.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "data_set.h"
#include "icons.h"
#include "preview/preview.h"
#include "sound/sync_reference.h"

namespace {

// Creates dir and its missing parents; true when it exists afterwards.
bool MakeFolders(const std::string& dir)
{
    for (size_t i = 1; i <= dir.size(); ++i) {
        if (i == dir.size() || dir[i] == '/') {
            std::string part = dir.substr(0, i);
            if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
        }
    }
    struct stat st;
    return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int Usage()
{
    std::fprintf(stderr, "usage: megadata-gen OUTDIR [FILE...]\n       megadata-gen --icons OUTDIR\n"
                 "       megadata-gen --preview OUTDIR\n       megadata-gen --sync OUTDIR\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) return Usage();
    std::string first = argv[1];
    bool preview = first == "--preview", icons = first == "--icons", sync = first == "--sync";
    if ((preview || icons || sync) && argc != 3) return Usage();
    std::string dir = preview || icons || sync ? argv[2] : first;
    if (!MakeFolders(dir)) {
        std::fprintf(stderr, "megadata-gen: cannot create %s\n", dir.c_str());
        return 1;
    }
    std::string error;
    if (preview) {
        if (!WritePreviews(dir, &error)) {
            std::fprintf(stderr, "megadata-gen: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    if (sync) {
        if (!WriteSyncReference(dir, &error)) {
            std::fprintf(stderr, "megadata-gen: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    if (icons) {
        if (!WriteIcons(dir, &error)) {
            std::fprintf(stderr, "megadata-gen: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    std::vector<std::string> only(argv + 2, argv + argc);
    if (!WriteDataSet(dir, only, &error)) {
        std::fprintf(stderr, "megadata-gen: %s\n", error.c_str());
        return 1;
    }
    const bool windowIcon = only.empty() || std::find(only.begin(), only.end(), kWindowIconName) != only.end();
    if (windowIcon && !WriteWindowIcon(dir + "/" + kWindowIconName)) {
        std::fprintf(stderr, "megadata-gen: cannot write %s/%s\n", dir.c_str(), kWindowIconName);
        return 1;
    }
    return 0;
}
