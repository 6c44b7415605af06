// Search latency through the real window: from the click on "开始选号" to the request reaching
// the service, and to the page shown in the web view. The service is the local service's own
// page code behind an HTTP server in this process, so both ends read one clock.
// Usage: bench_search_latency [RUNS]   (needs a display)
#include <httplib.h>
#include <wx/app.h>
#include <wx/button.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>

#include "frame/frame.h"
#include "pages.h"
#include "platform/fake/fake_platform.h"
#include "platform/wx/main_frame.h"
#include "platform/wx/units.h"
#include "platform/wx/wx_gui.h"
#include "ui/event_bindings.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace quavik;

bool wait_for(const std::function<bool()>& condition, std::chrono::seconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (!condition()) {
        if (Clock::now() > deadline) {
            return false;
        }
        wxTheApp->Yield(true);
        wxTheApp->ProcessIdle();
    }
    return true;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    wx::WxGui gui(argc, argv);
    if (!gui.ok()) {
        std::fprintf(stderr, "no display\n");
        return 1;
    }

    std::mutex mutex;
    Clock::time_point request_received;
    std::atomic<int> searches{0};
    httplib::Server server;
    server.Get("/num.php", [&](const httplib::Request& request, httplib::Response& response) {
        {
            std::lock_guard lock(mutex);
            request_received = Clock::now();
        }
        ++searches;
        QueryParams params(request.params.begin(), request.params.end());
        const PageAnswer answer = number_search_page(params);
        response.status = answer.status;
        response.set_content(answer.html, "text/html; charset=utf-8");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread listener([&] { server.listen_after_bind(); });

    {
        fake::FakePlatform fakes;
        Program program(Facilities{gui, fakes.http, fakes.message_box, fakes.shell, fakes.threads});
        program.frame.definitions = load_window_definitions();
        program.frame.events = std::make_unique<EventDispatcher>(program);
        program.endpoints.search_host = "127.0.0.1:" + std::to_string(port);
        program_version_info = create_file_version_info();
        load_start_window(program, kStartWindowName);
        wx::MainFrame& frame = *gui.frame();
        wait_for([&] { return frame.IsShown(); }, std::chrono::seconds(10));
        auto* view = static_cast<wx::HtmlViewUnit*>(frame.unit("超文本浏览框1"));
        auto* button = static_cast<wxButton*>(frame.unit("按钮1"));

        const char* cities[] = {"101", "102", "106", "107", "108", "113", "109", "103"};
        const char* patterns[] = {"AAAA", "ABCD", "AABB", "ABAB", "AAA", "ABC", "AA"};
        std::vector<double> to_handled, to_request, to_page;
        double first_to_request = 0, first_to_page = 0;
        for (int run = 0; run <= runs; ++run) {
            const std::string city = cities[run % std::size(cities)];
            const std::string pattern = patterns[run % std::size(patterns)];
            frame.set_text("编辑框2", "10");
            frame.set_text("编辑框3", city);
            frame.set_text("编辑框4", pattern);
            const wxString previous_title = view->engine() ? view->engine()->title() : wxString();
            const int before = searches;

            const auto clicked = Clock::now();
            wxCommandEvent click(wxEVT_BUTTON, button->GetId());
            click.SetEventObject(button);
            button->ProcessWindowEvent(click);
            const auto handled = Clock::now();

            if (!wait_for([&] { return searches > before; }, std::chrono::seconds(30)) ||
                !wait_for(
                    [&] {
                        return view->engine() && !view->engine()->title().empty() &&
                               view->engine()->title() != previous_title;
                    },
                    std::chrono::seconds(30))) {
                std::fprintf(stderr, "run %d: no page\n", run);
                return 1;
            }
            const auto shown = Clock::now();
            std::lock_guard lock(mutex);
            const double request_ms =
                std::chrono::duration<double, std::milli>(request_received - clicked).count();
            const double page_ms = std::chrono::duration<double, std::milli>(shown - clicked).count();
            if (run == 0) {
                first_to_request = request_ms;
                first_to_page = page_ms;
            } else {
                to_handled.push_back(
                    std::chrono::duration<double, std::milli>(handled - clicked).count());
                to_request.push_back(request_ms);
                to_page.push_back(page_ms);
            }
        }
        std::printf("first search (loads the browser engine): request %.1f ms, page %.1f ms\n",
                    first_to_request, first_to_page);
        std::printf("later searches, median of %d: click handled (address handed to the engine) "
                    "%.2f ms, click to request %.1f ms, click to page %.1f ms"
                    "   (targets: request 5 ms, page 300 ms)\n",
                    runs, median(to_handled), median(to_request), median(to_page));
        program.window->close();
        wait_for([&] { return !gui.any_window_exists(); }, std::chrono::seconds(5));
        release_program_globals();
    }
    server.stop();
    listener.join();
    gui.release();
    return 0;
}
