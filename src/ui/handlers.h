#pragma once
// The program's three event handlers. Each runs on the main thread inside the dispatch of its
// event, one at a time.
#include "frame/program.h"

namespace quavik {

// The window has been built and is still hidden: fills program_version_info from the
// program's own file and shows the version in the version label.
void handle_window_created(Program& program);

// "开始选号": checks the three typed values and shows the number-search page.
void handle_start_clicked(Program& program);

// "检测更新": checks the update-information page for a newer release.
void handle_check_update_clicked(Program& program);

// The version label's caption for a record read (or not) from the program's own file.
std::string version_label_text(const FileVersionInfo& record, bool read_ok);

}  // namespace quavik
