// decode_png on the system's imaging component: the label picture decodes to straight RGBA, and
// bytes that are not a whole PNG decode to nothing.
#include <gtest/gtest.h>

#include <vector>

#include "platform/image.h"

extern const unsigned char kBadgePng[];
extern const std::size_t kBadgePng_size;

namespace quavik {
namespace {

std::span<const std::uint8_t> badge() {
    return {kBadgePng, kBadgePng_size};
}

const std::uint8_t* pixel(const RgbaImage& image, int x, int y) {
    return &image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 4];
}

TEST(Win32DecodePng, TheBadgeDecodesToStraightRgba) {
    const std::optional<RgbaImage> image = decode_png(badge());
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->width, 256);
    EXPECT_EQ(image->height, 256);
    ASSERT_EQ(image->pixels.size(), 256u * 256u * 4u);
    // Outside the disc fully transparent; at the top of the disc its purple, opaque.
    EXPECT_EQ(pixel(*image, 0, 0)[3], 0);
    EXPECT_EQ(pixel(*image, 255, 255)[3], 0);
    const std::uint8_t* disc = pixel(*image, 128, 24);
    EXPECT_EQ(std::vector<int>(disc, disc + 4), (std::vector<int>{173, 55, 140, 255}));
}

TEST(Win32DecodePng, OtherBytesDecodeToNothing) {
    const std::vector<std::uint8_t> whole(kBadgePng, kBadgePng + kBadgePng_size);
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"empty", {}},
        {"signature only", std::vector<std::uint8_t>(whole.begin(), whole.begin() + 8)},
        {"cut after the header", std::vector<std::uint8_t>(whole.begin(), whole.begin() + 60)},
        {"not a PNG", {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"a PNG signature before other bytes", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(decode_png(c.bytes).has_value());
    }
}

}  // namespace
}  // namespace quavik
