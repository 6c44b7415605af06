// The frame's fatal errors with Windows exit codes: the process ends with -1 (0xFFFFFFFF), and
// no exit routine runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <string>

#include "code_page_api.h"
#include "frame/frame.h"
#include "platform/fake/fake_platform.h"

namespace quavik {
namespace {

std::filesystem::path g_marker;
void write_marker() {
    std::ofstream(g_marker) << "ran";
}

TEST(Win32FatalError, WindowThatCannotBeBuiltEndsWithMinusOneWithoutExitRoutines) {
    fake::FakePlatform platform;
    Program program{platform.facilities()};
    program.executable_path = "C:\\nonexistent\\quavik.exe";
    g_marker = std::filesystem::temp_directory_path() /
               ("quavik-exit-marker-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::remove(g_marker);
    platform.gui.fail_build = true;
    register_exit_routine(program.frame, write_marker);

    EXPECT_EXIT(run_program(program), ::testing::ExitedWithCode(-1), "");
    EXPECT_FALSE(std::filesystem::exists(g_marker)) << "an exit routine ran on a fatal error";
    if (program_version_info != nullptr) {
        release_program_globals();
    }
}

TEST(Win32FatalError, FailedMemoryRequestEndsWithMinusOne) {
    // More than the address space of the process can hold, on 32 and on 64 bits alike.
    const std::size_t too_much = std::numeric_limits<std::size_t>::max() / 2 + 1;
    EXPECT_EXIT(allocate_text(too_much), ::testing::ExitedWithCode(-1), std::to_string(too_much));
}

}  // namespace
}  // namespace quavik
