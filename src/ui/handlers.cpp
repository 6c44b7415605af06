#include "ui/handlers.h"

#include <string>

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

void handle_start_clicked(Program&) {}

}  // namespace quavik
