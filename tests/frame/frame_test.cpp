// The frame: start-up order, the quit rule, exit routines and fatal errors.
#include "frame/frame.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/fake/fake_platform.h"

namespace quavik {
namespace {

using fake::FakePlatform;
using fake::FakeWindow;

struct FrameFixture : ::testing::Test {
    FakePlatform platform;
    Program program{platform.facilities()};

    FrameFixture() { program.executable_path = "/nonexistent/quavik"; }
    ~FrameFixture() override {
        // A test that stops before shutdown must not leave the record to the next one.
        if (program_version_info != nullptr) {
            release_program_globals();
        }
    }
};

TEST_F(FrameFixture, StartsBuildsRunsAndShutsDownInOrder) {
    platform.gui.loop_steps.push_back([&] { platform.gui.window()->close(); });

    EXPECT_EQ(run_program(program), 0);

    const std::vector<std::string> expected = {
        "pump",  // messages already waiting, before delivery is held back
        "build 启动窗口",
        "pump",  // still without events
        "set_text 标签 当前版本：未知（无法读取程序的版本信息）",  // the created event
        "show",
        "loop",
        "close",
        "quit 0",
        "loop ended",
        "release",
    };
    EXPECT_EQ(platform.gui.log, expected);
    EXPECT_EQ(program_version_info, nullptr) << "release_program_globals did not run";
}

TEST_F(FrameFixture, CreatedEventRunsOnceWhileTheWindowIsStillHidden) {
    bool shown_during_created = true;
    int created_runs = 0;
    platform.gui.on_built = [&](FakeWindow& window) {
        window.on_set_text = [&](std::string_view unit) {
            if (unit == "标签") {
                ++created_runs;
                shown_during_created = window.shown();
            }
        };
    };
    platform.gui.loop_steps.push_back([&] { platform.gui.window()->close(); });

    run_program(program);

    EXPECT_EQ(created_runs, 1);
    EXPECT_FALSE(shown_during_created);
}

TEST_F(FrameFixture, WindowClosedDuringItsCreatedEventEndsTheProgramWithZero) {
    platform.gui.on_built = [](FakeWindow& window) {
        window.on_set_text = [&window](std::string_view) { window.close(); };
    };

    EXPECT_EQ(run_program(program), 0);

    const auto& log = platform.gui.log;
    EXPECT_EQ(std::count(log.begin(), log.end(), "show"), 0) << "a closed window was shown";
    EXPECT_EQ(std::count(log.begin(), log.end(), "loop"), 0) << "the loop ran without a window";
    // Destroyed before the event loop ran: no quit message is posted.
    EXPECT_EQ(platform.gui.quit_code, -1);
    EXPECT_EQ(log.back(), "release");
    EXPECT_EQ(program_version_info, nullptr);
}

std::vector<int>* g_exit_log = nullptr;  // exit routines take no arguments
void first_routine() { g_exit_log->push_back(1); }
void second_routine() { g_exit_log->push_back(2); }

TEST_F(FrameFixture, ExitRoutinesRunOnceEachInRegistrationOrder) {
    std::vector<int> exit_log;
    g_exit_log = &exit_log;
    register_exit_routine(program.frame, second_routine);
    register_exit_routine(program.frame, first_routine);
    register_exit_routine(program.frame, second_routine);  // already there: stays one entry
    program_version_info = create_file_version_info();
    register_exit_routine(program.frame, release_program_globals);
    register_exit_routine(program.frame, release_program_globals);

    EXPECT_EQ(program.frame.exit_routines.size(), 3u);
    EXPECT_EQ(end_program(program, 0), 0);
    EXPECT_EQ(exit_log, (std::vector<int>{2, 1}));
    EXPECT_TRUE(program.frame.exit_routines.empty());
    EXPECT_EQ(program_version_info, nullptr);
    g_exit_log = nullptr;
}

// The marker file tells whether an exit routine ran in the child of a death test.
std::filesystem::path g_marker;
void write_marker() { std::ofstream(g_marker) << "ran"; }

TEST_F(FrameFixture, WindowThatCannotBeBuiltIsFatalWithoutExitRoutines) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    g_marker = std::filesystem::temp_directory_path() /
               ("quavik-exit-marker-" + std::to_string(::getpid()));
    std::filesystem::remove(g_marker);
    platform.gui.fail_build = true;
    register_exit_routine(program.frame, write_marker);

    EXPECT_EXIT(run_program(program), ::testing::ExitedWithCode(255), "无法创建窗口");
    EXPECT_FALSE(std::filesystem::exists(g_marker)) << "an exit routine ran on a fatal error";
}

TEST(AllocatorTest, FailedMemoryRequestIsFatalAndNamesTheSize) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(allocate_text(std::size_t{1} << 62), ::testing::ExitedWithCode(255),
                "4611686018427387904");
}

}  // namespace
}  // namespace quavik
