// The program's entry point.
#include <cstring>

#include "app/demo.h"
#include "platform/display_mode_guard.h"
#include "platform/system.h"

int main(int argc, char** argv)
{
    // Started again by itself to watch over the display mode.
    if (argc >= 2 && !std::strcmp(argv[1], DisplayModeGuardArgument)) return RunDisplayModeGuard(argc, argv);
    PlatformUseParentConsole();
    return ZirconMain(argc, argv);
}
