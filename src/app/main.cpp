#include "app/demo.h"

int main(int argc, char** argv)
{
    return ZirconMain(argc, argv);
}
