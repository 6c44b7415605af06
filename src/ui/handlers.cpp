#include "ui/handlers.h"

#include <string>
#include <variant>

#include "platform/message_box.h"
#include "search/search_request.h"

namespace quavik {

std::string version_label_text(const FileVersionInfo& record, bool read_ok) {
    const std::string_view version = member_text(record.FileVersion);
    if (!read_ok || version.empty()) {
        return "当前版本：未知（无法读取程序的版本信息）";
    }
    return "当前版本：" + std::string(version);
}

void handle_window_created(Program& program) {
    const bool read_ok =
        read_file_version_info(program.executable_path.c_str(), *program_version_info);
    program.window->set_text("标签", version_label_text(*program_version_info, read_ok));
}

void handle_start_clicked(Program& program) {
    Window& window = *program.window;
    const SearchInputCheck check = validate_search_input(
        window.read_text("编辑框2"), window.read_text("编辑框3"), window.read_text("编辑框4"));
    if (const auto* refusal = std::get_if<SearchRefusal>(&check)) {
        program.facilities.message_box.show_message_box(refusal->message, "提示：",
                                                        mb::kOk | mb::kIconWarning);
        return;
    }
    const auto& request = std::get<SearchRequest>(check);
    window.set_address("超文本浏览框1",
                       build_search_url(program.endpoints.search_host, request.province,
                                        request.city, request.pattern));
}

}  // namespace quavik
