#include "data_dir.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

#include "data_set.h"
#include "models3ds/tds_read.h"

namespace {

bool HasAllFiles(const std::string& dir)
{
    for (const std::string& name : DataSetFileNames()) {
        struct stat st;
        if (stat((dir + "/" + name).c_str(), &st) != 0 || st.st_size == 0) return false;
    }
    return true;
}

}  // namespace

std::string MakeTempDir()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/megadata-test-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    char* made = mkdtemp(buffer.data());
    return made ? std::string(made) : std::string();
}

const std::string& DataDir()
{
    static const std::string dir = [] {
        std::string build = MEGADATA_BUILD_DIR;
        if (HasAllFiles(build)) return build;
        std::string own = MakeTempDir();
        std::string error;
        if (own.empty() || !WriteDataSet(own, {}, &error)) std::fprintf(stderr, "data set: %s\n", error.c_str());
        return own;
    }();
    return dir;
}

std::string DataPath(const std::string& name) { return DataDir() + "/" + name; }

std::vector<uint8_t> FileBytes(const std::string& path) { return ReadFileBytes(path); }
