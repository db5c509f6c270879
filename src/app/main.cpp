// The program's entry point.
#include "app/demo.h"
#include "platform/system.h"

int main(int argc, char** argv)
{
    PlatformUseParentConsole();
    return ZirconMain(argc, argv);
}
