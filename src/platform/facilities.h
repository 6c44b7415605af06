#pragma once
// The platform facilities the program is given at start-up.
#include "platform/gui.h"
#include "platform/http.h"
#include "platform/message_box.h"
#include "platform/shell.h"
#include "platform/thread.h"

namespace quavik {

struct Facilities {
    Gui& gui;
    HttpClient& http;
    MessageBoxes& message_box;
    Shell& shell;
    Threads& threads;
};

}  // namespace quavik
