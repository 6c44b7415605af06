// The GUI tests run in one process with one toolkit instance, on the display the test command
// provides (a virtual screen with a window manager).
#include <gtest/gtest.h>

#include <cstdlib>

#include "gui_test_support.h"

namespace quavik::testing {
wx::WxGui* g_gui = nullptr;
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (std::getenv("DISPLAY") == nullptr) {
        std::fprintf(stderr, "GUI tests need a display; run them through scripts/test.sh\n");
        return 1;
    }
    quavik::testing::g_gui = new quavik::wx::WxGui(argc, argv);
    if (!quavik::testing::g_gui->ok()) {
        std::fprintf(stderr, "cannot open the display\n");
        return 1;
    }
    const int result = RUN_ALL_TESTS();
    quavik::testing::g_gui->release();
    return result;
}
