#include "frame/allocator.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace quavik {

namespace {
FatalReporter g_fatal_reporter = nullptr;
}  // namespace

void set_fatal_reporter(FatalReporter reporter) { g_fatal_reporter = reporter; }

void fatal_error(std::string_view message) {
    std::fprintf(stderr, "quavik: fatal error: %.*s\n", static_cast<int>(message.size()),
                 message.data());
    std::fflush(stderr);
    if (g_fatal_reporter != nullptr) {
        g_fatal_reporter(message);
    }
    // No exit routines run on a fatal error.
    std::_Exit(-1);
}

char* allocate_text(std::size_t bytes) {
    void* block = std::calloc(bytes == 0 ? 1 : bytes, 1);
    if (block == nullptr) {
        fatal_error("内存不足：无法分配 " + std::to_string(bytes) + " 字节");
    }
    return static_cast<char*>(block);
}

void release_text(char* text) { std::free(text); }

OwnedText make_owned_text(std::string_view text, std::size_t block_size) {
    const std::size_t size = block_size > text.size() ? block_size : text.size() + 1;
    OwnedText owned(allocate_text(size));
    std::memcpy(owned.get(), text.data(), text.size());
    return owned;
}

}  // namespace quavik
