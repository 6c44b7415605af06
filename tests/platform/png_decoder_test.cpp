// Decoding the label picture with libpng: the real badge, and bytes that are no picture.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "platform/image.h"

namespace quavik {
namespace {

std::vector<std::uint8_t> read_badge() {
    std::ifstream file(QUAVIK_SOURCE_DIR "/assets/badge.png", std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(DecodePng, TheBadgeIs256SquareRgbaWithTransparentCornersAndThePurpleDisc) {
    const auto bytes = read_badge();
    const auto image = decode_png(bytes);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->width, 256);
    ASSERT_EQ(image->height, 256);
    ASSERT_EQ(image->pixels.size(), 256u * 256u * 4u);
    const auto pixel = [&](int x, int y) {
        const std::uint8_t* p = &image->pixels[(std::size_t(y) * 256 + x) * 4];
        return std::vector<int>{p[0], p[1], p[2], p[3]};
    };
    for (const auto& [x, y] : {std::pair{0, 0}, {255, 0}, {0, 255}, {255, 255}}) {
        EXPECT_EQ(pixel(x, y)[3], 0) << "corner " << x << "," << y << " is not transparent";
    }
    EXPECT_EQ(pixel(40, 128), (std::vector<int>{173, 55, 140, 255}));
}

TEST(DecodePng, BytesThatAreNoPictureGiveNothing) {
    const auto badge = read_badge();
    ASSERT_GT(badge.size(), 100u);
    std::vector<std::uint8_t> corrupt = badge;
    for (std::size_t i = 60; i < corrupt.size() - 20; i += 7) {
        corrupt[i] ^= 0x5A;  // damaged image data: the CRC or zlib check fails
    }
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"empty", {}},
        {"text", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}},
        {"signature only", std::vector<std::uint8_t>(badge.begin(), badge.begin() + 8)},
        {"cut in the header", std::vector<std::uint8_t>(badge.begin(), badge.begin() + 30)},
        {"cut in the image data", std::vector<std::uint8_t>(badge.begin(), badge.begin() + badge.size() / 2)},
        {"damaged image data", corrupt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(decode_png(c.bytes));
    }
}

}  // namespace
}  // namespace quavik
