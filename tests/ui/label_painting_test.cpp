// Label painting: picture placement, blending onto the background and the caption's place.
#include "ui/label_painting.h"

#include <gtest/gtest.h>

namespace quavik {
namespace {

TEST(PlacePicture, CentredAndShrunkToFit) {
    struct Case {
        const char* name;
        int label_w, label_h, picture_w, picture_h;
        Rect expected;
    };
    const Case cases[] = {
        {"the badge in its label", 64, 56, 256, 256, {4, 0, 56, 56}},
        {"fits: own size, centred", 64, 56, 32, 20, {16, 18, 32, 20}},
        {"exact fit", 64, 56, 64, 56, {0, 0, 64, 56}},
        {"never enlarged", 300, 300, 10, 10, {145, 145, 10, 10}},
        {"wide picture limited by width", 64, 56, 128, 32, {0, 20, 64, 16}},
        {"scaled size truncated", 50, 50, 300, 200, {0, 8, 50, 33}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(place_picture(c.label_w, c.label_h, c.picture_w, c.picture_h), c.expected);
    }
}

TEST(BlendChannel, WeighsPixelAndBackgroundByAlphaAndTruncates) {
    struct Case {
        const char* name;
        int pixel, alpha, background, expected;
    };
    const Case cases[] = {
        {"opaque pixel drawn as it is", 173, 255, 240, 173},
        {"transparent pixel shows the background", 173, 0, 240, 240},
        {"half: 128/255*200 + 127/255*100 = 150.19", 200, 128, 100, 150},
        {"truncated, not rounded: 1/255*255 + 254/255*0 = 1", 255, 1, 0, 1},
        {"white over white stays white", 255, 77, 255, 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(blend_channel(static_cast<std::uint8_t>(c.pixel),
                                static_cast<std::uint8_t>(c.alpha),
                                static_cast<std::uint8_t>(c.background)),
                  c.expected);
    }
}

RgbaImage solid_picture(int size, std::array<std::uint8_t, 4> rgba) {
    RgbaImage image{size, size, {}};
    for (int i = 0; i < size * size; ++i) {
        image.pixels.insert(image.pixels.end(), rgba.begin(), rgba.end());
    }
    return image;
}

std::array<int, 3> pixel_at(const RgbImage& image, int x, int y) {
    const std::uint8_t* p = &image.pixels[(std::size_t(y) * image.width + x) * 3];
    return {p[0], p[1], p[2]};
}

TEST(PaintLabelBackground, OpaqueEverywhereWithThePictureBlendedInItsPlace) {
    // A 256 × 256 picture: transparent corners around an opaque purple centre.
    RgbaImage picture = solid_picture(256, {173, 55, 140, 255});
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            if ((x < 64 || x >= 192) && (y < 64 || y >= 192)) {
                picture.pixels[(std::size_t(y) * 256 + x) * 4 + 3] = 0;
            }
        }
    }
    const Rgb face{240, 240, 240};
    const RgbImage label = paint_label_background(64, 56, face, &picture);

    ASSERT_EQ(label.width, 64);
    ASSERT_EQ(label.height, 56);
    // Left and right of the 56 × 56 picture at (4, 0): background.
    EXPECT_EQ(pixel_at(label, 0, 0), (std::array<int, 3>{240, 240, 240}));
    EXPECT_EQ(pixel_at(label, 63, 55), (std::array<int, 3>{240, 240, 240}));
    // The picture's transparent corner shows the background, not black.
    EXPECT_EQ(pixel_at(label, 4, 0), (std::array<int, 3>{240, 240, 240}));
    EXPECT_EQ(pixel_at(label, 59, 55), (std::array<int, 3>{240, 240, 240}));
    // Its opaque centre is drawn as it is; its left column starts at x = 4.
    EXPECT_EQ(pixel_at(label, 32, 28), (std::array<int, 3>{173, 55, 140}));
    EXPECT_EQ(pixel_at(label, 3, 28), (std::array<int, 3>{240, 240, 240}));
    EXPECT_EQ(pixel_at(label, 4, 28), (std::array<int, 3>{173, 55, 140}));
    EXPECT_EQ(pixel_at(label, 59, 28), (std::array<int, 3>{173, 55, 140}));
    EXPECT_EQ(pixel_at(label, 60, 28), (std::array<int, 3>{240, 240, 240}));
}

TEST(PaintLabelBackground, HalfTransparentPixelsBlendByTheRule) {
    const RgbaImage picture = solid_picture(8, {200, 0, 255, 128});
    const RgbImage label = paint_label_background(8, 8, Rgb{100, 50, 0}, &picture);
    // 128/255 × pixel + 127/255 × background, truncated.
    EXPECT_EQ(pixel_at(label, 3, 3), (std::array<int, 3>{150, 24, 128}));
}

TEST(PaintLabelBackground, NoPictureOrAnUndecodablePictureLeavesTheBackground) {
    const RgbImage plain = paint_label_background(5, 3, Rgb{1, 2, 3}, nullptr);
    const RgbaImage empty;
    const RgbImage broken = paint_label_background(5, 3, Rgb{1, 2, 3}, &empty);
    for (const RgbImage* image : {&plain, &broken}) {
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 5; ++x) {
                EXPECT_EQ(pixel_at(*image, x, y), (std::array<int, 3>{1, 2, 3}));
            }
        }
    }
}

TEST(PlaceCaption, LeftAlignedVerticallyCentredWithTheRaisedCopyAtTheNormalPlace) {
    const CaptionPlacement plain = place_caption(24, 14, TextEffect::None);
    EXPECT_EQ(plain.caption, (Point{0, 5}));
    EXPECT_FALSE(plain.has_highlight);

    const CaptionPlacement raised = place_caption(48, 21, TextEffect::Raised);
    EXPECT_TRUE(raised.has_highlight);
    EXPECT_EQ(raised.highlight, (Point{0, 13}));
    EXPECT_EQ(raised.caption, (Point{1, 14}));
}

}  // namespace
}  // namespace quavik
