// Program entry and the demo driver.
#pragma once

#include <cstdint>
#include <string>

// The whole program: options, window, then the run (music, device, resources, the six
// scenes) and its end. Returns the exit status.
int ZirconMain(int argc, char** argv);

// The data set's folder: the one asked for; else megadata/ in the working directory when
// it exists; else megadata/ beside the program (the Windows zip, a build folder); else the
// one installed with it (<prefix>/share/zircon-megademo).
std::string ChooseDataFolder(const std::string& requested);
