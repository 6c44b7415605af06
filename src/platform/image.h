#pragma once
// Decoding the label picture.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quavik {

// Straight (not premultiplied) 8-bit RGBA, rows top to bottom, no padding.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // width * height * 4
};

// Decodes a PNG file into RGBA. Returns nothing for bytes that are not a valid PNG.
std::optional<RgbaImage> decode_png(std::span<const std::uint8_t> bytes);

}  // namespace quavik
