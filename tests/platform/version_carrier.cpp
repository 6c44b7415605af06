// A small executable that carries the program's version resource the way `quavik` does and
// answers --version the same way, so both can be checked without the GUI.
#include <cstring>

#include "frame/version_info.h"

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        return quavik::print_own_version("/proc/self/exe");
    }
    return 0;
}
