#include <png.h>

#include <cstring>

#include "platform/image.h"

namespace quavik {

namespace {

struct ReadState {
    std::span<const std::uint8_t> bytes;
    std::size_t offset = 0;
};

// A picture that cannot be decoded is an answer, not an error to print.
[[noreturn]] void fail_quietly(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void ignore_warning(png_structp, png_const_charp) {}

void read_from_memory(png_structp png, png_bytep out, png_size_t length) {
    auto* state = static_cast<ReadState*>(png_get_io_ptr(png));
    if (length > state->bytes.size() - state->offset) {
        png_error(png, "truncated PNG");
    }
    std::memcpy(out, state->bytes.data() + state->offset, length);
    state->offset += length;
}

// libpng reports errors by longjmp, so the steps that call it hold no C++ object with a
// destructor between their setjmp and their return.
bool read_header(png_structp png, png_infop info, png_uint_32* width, png_uint_32* height) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_read_info(png, info);
    *width = png_get_image_width(png, info);
    *height = png_get_image_height(png, info);
    // Whatever the stored format, read it as 8-bit RGBA.
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return png_get_rowbytes(png, info) == *width * 4;
}

bool read_rows(png_structp png, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    return true;
}

constexpr png_uint_32 kMaxSide = 4096;

}  // namespace

std::optional<RgbaImage> decode_png(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) {
        return std::nullopt;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, fail_quietly, ignore_warning);
    if (png == nullptr) {
        return std::nullopt;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return std::nullopt;
    }
    ReadState state{bytes};
    png_set_read_fn(png, &state, read_from_memory);
    std::optional<RgbaImage> image;
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    if (read_header(png, info, &width, &height) && width > 0 && height > 0 &&
        width <= kMaxSide && height <= kMaxSide) {
        RgbaImage pixels{static_cast<int>(width), static_cast<int>(height),
                         std::vector<std::uint8_t>(std::size_t(width) * height * 4)};
        std::vector<png_bytep> rows(height);
        for (png_uint_32 y = 0; y < height; ++y) {
            rows[y] = pixels.pixels.data() + std::size_t(y) * width * 4;
        }
        if (read_rows(png, rows.data())) {
            image = std::move(pixels);
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return image;
}

}  // namespace quavik
