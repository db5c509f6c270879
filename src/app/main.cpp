// The program's entry point.
#include <cstring>
#include <string>
#include <vector>

#include "app/demo.h"
#include "platform/display_mode_guard.h"
#include "platform/file_system.h"
#include "platform/system.h"

int main(int argc, char** argv)
{
    // Started again by itself to watch over the display mode.
    if (argc >= 2 && !std::strcmp(argv[1], DisplayModeGuardArgument)) return RunDisplayModeGuard(argc, argv);
    PlatformUseParentConsole();
    // Paths in the arguments may name folders in any script: the program reads them as UTF-8.
    const std::vector<std::string> arguments = PlatformProgramArguments(argc, argv);
    std::vector<char*> utf8;
    for (const std::string& argument : arguments) utf8.push_back(const_cast<char*>(argument.c_str()));
    utf8.push_back(nullptr);
    return ZirconMain(static_cast<int>(arguments.size()), utf8.data());
}
