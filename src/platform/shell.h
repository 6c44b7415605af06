#pragma once
// Hands a URL to the user's web browser through the system shell.
#include <string_view>

namespace quavik {

class Shell {
public:
    virtual ~Shell() = default;
    // Returns false when the shell could not start a browser for the URL.
    virtual bool open_url_in_browser(std::string_view url) = 0;
};

}  // namespace quavik
