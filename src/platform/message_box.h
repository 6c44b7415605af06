#pragma once
// The message box facility: a box modal to the whole program, with the system's button and icon
// flags, returning the button pressed.
#include <string_view>

namespace quavik {

namespace mb {
// Buttons (low nibble) and icons, with the system's values.
constexpr unsigned kOk = 0x00;
constexpr unsigned kYesNo = 0x04;
constexpr unsigned kIconError = 0x10;
constexpr unsigned kIconQuestion = 0x20;
constexpr unsigned kIconWarning = 0x30;
constexpr unsigned kIconInformation = 0x40;

// What show_message_box returns.
constexpr int kResultOk = 1;
constexpr int kResultYes = 5;
constexpr int kResultNo = 6;
}  // namespace mb

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual int show_message_box(std::string_view text, std::string_view caption,
                                 unsigned flags) = 0;
};

}  // namespace quavik
