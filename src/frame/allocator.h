#pragma once
// The program's memory requests. A request that cannot be met is a fatal error: these functions
// never return an absent result.
#include <cstddef>
#include <memory>
#include <string_view>

namespace quavik {

// Reports a fatal error to the user and ends the process with exit code -1, without running
// the exit routines.
[[noreturn]] void fatal_error(std::string_view message);

// How fatal errors reach the user (a message box of the GUI, for instance). Set once by the
// platform during process set-up; the message always goes to standard error as well.
using FatalReporter = void (*)(std::string_view message);
void set_fatal_reporter(FatalReporter reporter);

// `bytes` of zeroed memory for a text.
char* allocate_text(std::size_t bytes);
void release_text(char* text);

struct TextReleaser {
    void operator()(char* text) const { release_text(text); }
};
// A text owned by the variable or member that holds it; null means absent.
using OwnedText = std::unique_ptr<char, TextReleaser>;

// An owned copy of `text` in a block of `block_size` bytes (at least text's size + 1).
OwnedText make_owned_text(std::string_view text, std::size_t block_size = 0);

}  // namespace quavik
