#pragma once
// How a label paints itself: an opaque background, the picture placed "centred, shrunk to fit"
// and blended onto the background, then a one-line caption, left-aligned and vertically
// centred, with an optional raised effect.
#include <cstdint>
#include <vector>

#include "platform/image.h"
#include "ui/window_definition.h"

namespace quavik {

// Where a w × h picture is drawn inside a W × H label: at its own size and centred when it
// fits, otherwise shrunk by s = min(W / w, H / h) to trunc(w·s) × trunc(h·s) and centred. A
// picture is never enlarged.
Rect place_picture(int label_width, int label_height, int picture_width, int picture_height);

// One colour channel of a pixel with alpha `alpha` blended onto the background:
// alpha/255 × pixel + (1 − alpha/255) × background, truncated and held to 0..255.
std::uint8_t blend_channel(std::uint8_t pixel, std::uint8_t alpha, std::uint8_t background);

// A label's background as opaque RGB pixels (rows top to bottom): the background colour, with
// the picture, if any, scaled by its placement and blended onto it.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // width * height * 3
};
RgbImage paint_label_background(int label_width, int label_height, Rgb background,
                                const RgbaImage* picture);

// Scales an RGBA picture to width × height by averaging the source area under each target
// pixel; colours are weighted by alpha, so fully transparent pixels lend no colour to the edge.
RgbaImage scale_picture(const RgbaImage& picture, int width, int height);

// Where the caption and its raised white copy are drawn, for a caption `text_height` pixels
// high in a label `label_height` pixels high.
struct CaptionPlacement {
    Point caption;
    bool has_highlight;
    Point highlight;  // the white copy of the raised effect, at the caption's normal place
};
CaptionPlacement place_caption(int label_height, int text_height, TextEffect effect);

}  // namespace quavik
