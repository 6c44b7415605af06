// quavik: the program's entry. Sets up the platform, then hands over to the frame.
#include <cstdio>
#include <cstring>
#include <string>

#include "frame/frame.h"
#include "platform/curl/curl_http.h"
#include "platform/wx/wx_gui.h"

namespace {

// The program's own file, for its version record.
constexpr const char* kOwnExecutable = "/proc/self/exe";

}  // namespace

int main(int argc, char** argv) {
    using namespace quavik;
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        return print_own_version(kOwnExecutable);
    }

    // The facilities live as long as the process: worker threads that are still fetching when
    // the window closes end with the process and may still be using them.
    auto* gui = new wx::WxGui(argc, argv);
    if (!gui->ok()) {
        std::fprintf(stderr, "quavik: cannot open the display (is DISPLAY set?)\n");
        return 1;
    }
    auto* http = new CurlHttpClient();
    auto* message_box = new wx::WxMessageBoxes(*gui);
    auto* shell = new wx::WxShell();
    auto* threads = new wx::WxThreads();
    // Fatal errors reach the user in a box of the toolkit (and standard error).
    set_fatal_reporter(wx::show_fatal_error);

    Program program(Facilities{*gui, *http, *message_box, *shell, *threads});
    program.executable_path = kOwnExecutable;
    return run_program(program);
}
