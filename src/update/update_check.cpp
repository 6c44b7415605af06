#include "ui/handlers.h"

namespace quavik {

void handle_check_update_clicked(Program&) {}

}  // namespace quavik
