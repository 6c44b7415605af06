// The character rules of the ANSI code page. In a double-byte code page such as GBK a lead byte
// and the trail byte after it form one character. A lead byte that is not followed by a
// possible trail byte (the end of the text, a control character, a space, a digit or the bytes
// 0x7F and 0xFF, which no double-byte code page uses as trail bytes) is a character of its own,
// so a walk over any bytes never swallows the ASCII character after a stray lead byte. GBK's
// trail bytes are 0x40..0xFE without 0x7F: ASCII letters can be trail bytes, which is why a
// search must walk characters rather than bytes.
#include "text_encoding.h"

#include "code_page_api.h"

namespace quavik {

namespace {

bool may_trail(unsigned char byte) {
    return byte >= 0x40 && byte != 0x7F && byte != 0xFF;
}

}  // namespace

std::size_t character_length(std::string_view text, std::size_t position) {
    if (position + 1 >= text.size()) {
        return 1;  // the last byte, or past the end
    }
    const auto lead = static_cast<unsigned char>(text[position]);
    if (lead < 0x80 || !IsDBCSLeadByteEx(kProgramCodePage, lead)) {
        return 1;
    }
    return may_trail(static_cast<unsigned char>(text[position + 1])) ? 2 : 1;
}

}  // namespace quavik
