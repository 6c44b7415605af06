// quavik.exe: the program's entry on Windows. Sets up the platform, then hands over to the frame.
#include <cstdio>
#include <cstring>
#include <string>

#include "frame/frame.h"
#include "win32_gui.h"
#include "winhttp_client.h"

namespace {

// The program's own file, for its version record.
std::string own_executable() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= 32768) {
            return {};
        }
        path.resize(path.size() * 2);
    }
}

// A GUI program has no console of its own. Its standard output is used as it is when the
// caller redirected it (a pipe or a file); otherwise the console of the caller, if any, is
// borrowed, so `quavik.exe --version` prints where it was typed.
void use_callers_output() {
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (output != nullptr && output != INVALID_HANDLE_VALUE &&
        GetFileType(output) != FILE_TYPE_UNKNOWN) {
        return;
    }
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
}

void report_fatal_error(std::string_view message) {
    const std::string text(message);
    MessageBoxA(nullptr, text.c_str(), "致命错误", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quavik;
    const std::string executable = own_executable();
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        use_callers_output();
        return print_own_version(executable.c_str());
    }

    // The facilities live as long as the process: worker threads that are still fetching when
    // the window closes end with the process and may still be using them.
    HINSTANCE instance = GetModuleHandleA(nullptr);
    auto* gui = new win32::Win32Gui(instance);
    if (!gui->ok()) {
        report_fatal_error("无法初始化窗口系统");
        return -1;
    }
    auto* http = new win32::WinHttpClient();
    auto* message_box = new win32::Win32MessageBoxes(*gui);
    auto* shell = new win32::Win32Shell();
    auto* threads = new win32::Win32Threads(instance);
    set_fatal_reporter(report_fatal_error);

    Program program(Facilities{*gui, *http, *message_box, *shell, *threads});
    program.executable_path = executable;
    return run_program(program);
}
