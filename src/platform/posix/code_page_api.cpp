// MultiByteToWideChar and WideCharToMultiByte over iconv, with the system's argument rules:
// a length of -1 means a NUL-terminated input whose terminator is converted too, an output size
// of 0 asks for the size needed, and every failure (unknown code page, bad argument, invalid
// input under the strict flags, an output buffer that is too small) returns 0. Nothing is ever
// written past the caller's buffer; when the buffer is too small nothing is written at all.
//
// Without the strict flags, bytes that are not valid in the code page become U+FFFD, one for
// each byte that cannot start a character and one for an incomplete character at the end; a
// character that a code page cannot hold becomes its default character ("?" unless the caller
// gives one). The tables are glibc's, which differ from the system's own in a few unassigned
// bytes (for instance 0x81 in 1252, which the system passes through as U+0081).
//
// An iconv descriptor carries state and must not be shared between threads, so each thread
// keeps its own.
#include "code_page_api.h"

#include <iconv.h>

#include <bit>
#include <cerrno>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr DWORD kMbPrecomposed = 0x00000001;
constexpr DWORD kWcNoBestFitChars = 0x00000400;
constexpr char16_t kReplacementCharacter = 0xFFFD;

struct CodePageEntry {
    UINT id;
    const char* iconv_name;
    bool unicode;           // holds every character; the strict flags as for UTF-8
    bool no_default_char;   // WideCharToMultiByte takes no default character (as for UTF-8)
    bool double_byte;       // a default character may take two bytes
    std::size_t unit_size;  // bytes of its smallest unit
};

// clang-format off
constexpr CodePageEntry kCodePages[] = {
    {936,   "GBK",        false, false, true,  1},  // 0x80 is the euro sign, as in the system's table
    {54936, "GB18030",    true,  false, false, 1},
    {65001, "UTF-8",      true,  true,  false, 1},
    {1200,  "UTF-16LE",   true,  true,  false, 2},  // little-endian UTF-16 as bytes
    {1252,  "CP1252",     false, false, false, 1},
    {20127, "ASCII",      false, false, false, 1},
    {28591, "ISO-8859-1", false, false, false, 1},
    {950,   "CP950",      false, false, true,  1},  // Big5 with the system's extensions
    {932,   "CP932",      false, false, true,  1},  // Shift_JIS with the system's extensions
};
// clang-format on

const CodePageEntry* find_code_page(UINT id) {
    if (id == CP_ACP) {
        id = kProgramCodePage;
    }
    for (const CodePageEntry& page : kCodePages) {
        if (page.id == id) {
            return &page;
        }
    }
    return nullptr;
}

// UTF-16 in the byte order of WCHAR.
const char* wide_iconv_name() {
    return std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
}

bool is_high_surrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool is_low_surrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void append_unit(std::string& out, char16_t unit) {
    char bytes[sizeof unit];
    std::memcpy(bytes, &unit, sizeof unit);
    out.append(bytes, sizeof unit);
}

// The iconv descriptors of one thread, one per pair of encodings, opened on first use and
// closed when the thread ends. The names are the literals of the tables above.
class DescriptorCache {
  public:
    DescriptorCache() = default;
    DescriptorCache(const DescriptorCache&) = delete;
    DescriptorCache& operator=(const DescriptorCache&) = delete;
    ~DescriptorCache() {
        for (const Entry& entry : entries_) {
            iconv_close(entry.descriptor);
        }
    }

    // In its initial state; (iconv_t)-1 when the pair cannot be converted.
    iconv_t get(const char* to, const char* from) {
        for (const Entry& entry : entries_) {
            if (entry.to == to && entry.from == from) {
                iconv(entry.descriptor, nullptr, nullptr, nullptr, nullptr);
                return entry.descriptor;
            }
        }
        const iconv_t descriptor = iconv_open(to, from);
        if (descriptor != reinterpret_cast<iconv_t>(-1)) {
            entries_.push_back({to, from, descriptor});
        }
        return descriptor;
    }

  private:
    struct Entry {
        const char* to;
        const char* from;
        iconv_t descriptor;
    };
    std::vector<Entry> entries_;
};

// An iconv descriptor of this thread for the length of one call.
class Converter {
  public:
    Converter(const char* to, const char* from) {
        thread_local DescriptorCache cache;
        descriptor_ = cache.get(to, from);
    }

    bool ok() const { return descriptor_ != reinterpret_cast<iconv_t>(-1); }

    // Converts [in, in + left) and appends the result to `out`. Returns 0 when everything was
    // converted; otherwise the reason (EILSEQ: the input at `in` cannot be converted; EINVAL: an
    // incomplete character ends the input), with `in` and `left` at the bytes concerned.
    int run(const char*& in, std::size_t& left, std::string& out) {
        char buffer[1024];
        for (;;) {
            char* next = buffer;
            std::size_t room = sizeof buffer;
            char* input = const_cast<char*>(in);  // iconv's argument is not const, but is only read
            const std::size_t result = iconv(descriptor_, &input, &left, &next, &room);
            in = input;
            out.append(buffer, static_cast<std::size_t>(next - buffer));
            if (result != static_cast<std::size_t>(-1)) {
                break;
            }
            if (errno != E2BIG) {
                return errno;
            }
        }
        // Back to the initial shift state, for encodings that have one.
        char* next = buffer;
        std::size_t room = sizeof buffer;
        if (iconv(descriptor_, nullptr, nullptr, &next, &room) == static_cast<std::size_t>(-1)) {
            return errno;
        }
        out.append(buffer, static_cast<std::size_t>(next - buffer));
        return 0;
    }

    // Forgets any partial state after an error, before the conversion goes on.
    void reset() { iconv(descriptor_, nullptr, nullptr, nullptr, nullptr); }

  private:
    iconv_t descriptor_;
};

// Bytes of a NUL-terminated input, the terminator included.
std::size_t terminated_size(const char* text, std::size_t unit_size) {
    std::size_t size = 0;
    for (;;) {
        bool zero = true;
        for (std::size_t i = 0; i < unit_size; ++i) {
            zero = zero && text[size + i] == '\0';
        }
        size += unit_size;
        if (zero) {
            return size;
        }
    }
}

std::size_t terminated_units(const WCHAR* text) {
    std::size_t units = 0;
    while (text[units] != 0) {
        ++units;
    }
    return units + 1;
}

// Hands a finished conversion to the caller: its size when `capacity` is 0, else the result if
// it fits. `unit` is the size of one output element.
int deliver(const std::string& out, std::size_t unit, void* destination, int capacity) {
    const std::size_t count = out.size() / unit;
    if (count == 0 || count > static_cast<std::size_t>(INT_MAX)) {
        return 0;
    }
    if (capacity == 0) {
        return static_cast<int>(count);
    }
    if (count > static_cast<std::size_t>(capacity)) {
        return 0;  // the buffer is too small
    }
    std::memcpy(destination, out.data(), out.size());
    return static_cast<int>(count);
}

}  // namespace

int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, const char* lpMultiByteStr, int cbMultiByte,
                        WCHAR* lpWideCharStr, int cchWideChar) {
    const CodePageEntry* page = find_code_page(CodePage);
    if (page == nullptr || lpMultiByteStr == nullptr || cbMultiByte == 0 || cbMultiByte < -1 ||
        cchWideChar < 0 || (cchWideChar > 0 && lpWideCharStr == nullptr)) {
        return 0;
    }
    const DWORD allowed =
        page->unicode ? MB_ERR_INVALID_CHARS : (MB_ERR_INVALID_CHARS | kMbPrecomposed);
    if ((dwFlags & ~allowed) != 0) {
        return 0;
    }
    const bool strict = (dwFlags & MB_ERR_INVALID_CHARS) != 0;

    Converter converter(wide_iconv_name(), page->iconv_name);
    if (!converter.ok()) {
        return 0;
    }
    const char* in = lpMultiByteStr;
    std::size_t left = cbMultiByte == -1 ? terminated_size(lpMultiByteStr, page->unit_size)
                                         : static_cast<std::size_t>(cbMultiByte);
    std::string out;  // UTF-16 units, as bytes
    for (;;) {
        const int error = converter.run(in, left, out);
        if (error == 0) {
            break;
        }
        if (strict || (error != EILSEQ && error != EINVAL)) {
            return 0;
        }
        append_unit(out, kReplacementCharacter);
        if (error == EINVAL) {
            break;  // an incomplete character at the end: one replacement for all of it
        }
        const std::size_t skip = left < page->unit_size ? left : page->unit_size;
        in += skip;
        left -= skip;
        converter.reset();
    }
    return deliver(out, sizeof(WCHAR), lpWideCharStr, cchWideChar);
}

int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, const WCHAR* lpWideCharStr, int cchWideChar,
                        char* lpMultiByteStr, int cbMultiByte, const char* lpDefaultChar,
                        BOOL* lpUsedDefaultChar) {
    const CodePageEntry* page = find_code_page(CodePage);
    if (page == nullptr || lpWideCharStr == nullptr || cchWideChar == 0 || cchWideChar < -1 ||
        cbMultiByte < 0 || (cbMultiByte > 0 && lpMultiByteStr == nullptr)) {
        return 0;
    }
    const DWORD allowed = page->unicode ? WC_ERR_INVALID_CHARS : kWcNoBestFitChars;
    if ((dwFlags & ~allowed) != 0) {
        return 0;
    }
    if (page->no_default_char && (lpDefaultChar != nullptr || lpUsedDefaultChar != nullptr)) {
        return 0;
    }
    const bool strict = (dwFlags & WC_ERR_INVALID_CHARS) != 0;

    std::string default_char = "?";
    if (lpDefaultChar != nullptr) {
        const std::size_t length = page->double_byte && lpDefaultChar[0] != '\0' ? 2 : 1;
        default_char.assign(lpDefaultChar, strnlen(lpDefaultChar, length));
        if (default_char.empty()) {
            default_char.assign(1, '\0');
        }
    }

    Converter converter(page->iconv_name, wide_iconv_name());
    if (!converter.ok()) {
        return 0;
    }
    const std::size_t units =
        cchWideChar == -1 ? terminated_units(lpWideCharStr) : static_cast<std::size_t>(cchWideChar);
    const char* in = reinterpret_cast<const char*>(lpWideCharStr);
    std::size_t left = units * sizeof(WCHAR);
    std::string out;
    bool used_default = false;
    for (;;) {
        const int error = converter.run(in, left, out);
        if (error == 0) {
            break;
        }
        if ((error != EILSEQ && error != EINVAL) || left < sizeof(WCHAR)) {
            return 0;
        }
        // The unit at `in` is a lone surrogate (invalid input) or starts a character that the
        // code page cannot hold.
        WCHAR unit = 0;
        std::memcpy(&unit, in, sizeof unit);
        std::size_t skip = sizeof(WCHAR);
        if (is_high_surrogate(unit) && left >= 2 * sizeof(WCHAR)) {
            WCHAR next = 0;
            std::memcpy(&next, in + sizeof(WCHAR), sizeof next);
            if (is_low_surrogate(next)) {
                skip = 2 * sizeof(WCHAR);
            }
        }
        if (page->unicode) {
            if (strict) {
                return 0;
            }
            std::string replacement;
            append_unit(replacement, kReplacementCharacter);
            const char* from = replacement.data();
            std::size_t from_left = replacement.size();
            converter.reset();
            if (converter.run(from, from_left, out) != 0) {
                return 0;
            }
        } else {
            out += default_char;
            used_default = true;
        }
        in += skip;
        left -= skip;
        converter.reset();
    }
    if (lpUsedDefaultChar != nullptr) {
        *lpUsedDefaultChar = used_default ? 1 : 0;
    }
    return deliver(out, 1, lpMultiByteStr, cbMultiByte);
}
