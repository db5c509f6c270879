// The frames_play_through fixture: one run of the program from 0 at the fixed 60 fps clock
// writing the play through's moments (play_through.h) into a fresh ZIRCON_PLAY_THROUGH_DIR.
// Status 0 when every moment was written.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "play_through.h"
#include "support/captured_frames.h"

int main()
{
    const std::string folder = PlayThroughFolder();
    std::string at;
    for (int32_t t : PlayThroughTimes()) at += (at.empty() ? "" : ",") + std::to_string(t);
    const std::string command = "rm -rf '" + folder + "' && mkdir -p '" + folder + "' && " + ZIRCON_DEMO + " " +
                                PlayThroughOptions() + " --capture '" + folder + "' --at " + at + " > '" + folder +
                                "/out.txt' 2>&1";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "the play through failed; see %s/out.txt\n", folder.c_str());
        return 1;
    }
    int missing = 0;
    for (int32_t t : PlayThroughTimes()) {
        const std::string frame = folder + "/" + CapturedFrameName(t);
        if (FILE* file = std::fopen(frame.c_str(), "rb")) {
            std::fclose(file);
        } else {
            std::fprintf(stderr, "no frame %s\n", frame.c_str());
            ++missing;
        }
    }
    std::printf("play through: %zu moments in %s\n", PlayThroughTimes().size(), folder.c_str());
    return missing == 0 ? 0 : 1;
}
