#include "ui/label_painting.h"

#include <algorithm>
#include <cmath>

namespace quavik {

Rect place_picture(int label_width, int label_height, int picture_width, int picture_height) {
    if (picture_width <= 0 || picture_height <= 0) {
        return {0, 0, 0, 0};
    }
    if (picture_width <= label_width && picture_height <= label_height) {
        return {(label_width - picture_width) / 2, (label_height - picture_height) / 2,
                picture_width, picture_height};
    }
    const double scale = std::min(static_cast<double>(label_width) / picture_width,
                                  static_cast<double>(label_height) / picture_height);
    const int width = static_cast<int>(picture_width * scale);
    const int height = static_cast<int>(picture_height * scale);
    return {(label_width - width) / 2, (label_height - height) / 2, width, height};
}

std::uint8_t blend_channel(std::uint8_t pixel, std::uint8_t alpha, std::uint8_t background) {
    if (alpha == 255) {
        return pixel;
    }
    const double a = alpha / 255.0;
    const double value = a * pixel + (1.0 - a) * background;
    return static_cast<std::uint8_t>(std::clamp(static_cast<int>(value), 0, 255));
}

RgbaImage scale_picture(const RgbaImage& picture, int width, int height) {
    RgbaImage scaled{width, height, std::vector<std::uint8_t>(std::size_t(width) * height * 4)};
    if (width <= 0 || height <= 0 || picture.width <= 0 || picture.height <= 0) {
        return scaled;
    }
    const double step_x = static_cast<double>(picture.width) / width;
    const double step_y = static_cast<double>(picture.height) / height;
    for (int y = 0; y < height; ++y) {
        const double top = y * step_y;
        const double bottom = top + step_y;
        for (int x = 0; x < width; ++x) {
            const double left = x * step_x;
            const double right = left + step_x;
            // Sum the source pixels under the target pixel, each by its covered area.
            double area = 0, alpha = 0, red = 0, green = 0, blue = 0;
            for (int sy = static_cast<int>(top); sy < std::min<double>(bottom, picture.height);
                 ++sy) {
                const double cover_y = std::min<double>(sy + 1, bottom) - std::max<double>(sy, top);
                for (int sx = static_cast<int>(left);
                     sx < std::min<double>(right, picture.width); ++sx) {
                    const double cover =
                        cover_y * (std::min<double>(sx + 1, right) - std::max<double>(sx, left));
                    const std::uint8_t* p =
                        &picture.pixels[(std::size_t(sy) * picture.width + sx) * 4];
                    const double weight = cover * p[3];
                    area += cover;
                    alpha += weight;
                    red += weight * p[0];
                    green += weight * p[1];
                    blue += weight * p[2];
                }
            }
            std::uint8_t* out = &scaled.pixels[(std::size_t(y) * width + x) * 4];
            if (alpha > 0) {
                out[0] = static_cast<std::uint8_t>(std::lround(red / alpha));
                out[1] = static_cast<std::uint8_t>(std::lround(green / alpha));
                out[2] = static_cast<std::uint8_t>(std::lround(blue / alpha));
            }
            out[3] = static_cast<std::uint8_t>(std::lround(alpha / area));
        }
    }
    return scaled;
}

RgbImage paint_label_background(int label_width, int label_height, Rgb background,
                                const RgbaImage* picture) {
    RgbImage canvas{label_width, label_height,
                    std::vector<std::uint8_t>(std::size_t(label_width) * label_height * 3)};
    for (std::size_t i = 0; i < canvas.pixels.size(); i += 3) {
        canvas.pixels[i] = background.r;
        canvas.pixels[i + 1] = background.g;
        canvas.pixels[i + 2] = background.b;
    }
    if (picture == nullptr || picture->width <= 0 || picture->height <= 0) {
        return canvas;
    }
    const Rect place = place_picture(label_width, label_height, picture->width, picture->height);
    const RgbaImage scaled = (place.width == picture->width && place.height == picture->height)
                                 ? *picture
                                 : scale_picture(*picture, place.width, place.height);
    for (int y = 0; y < place.height; ++y) {
        for (int x = 0; x < place.width; ++x) {
            const std::uint8_t* p = &scaled.pixels[(std::size_t(y) * place.width + x) * 4];
            std::uint8_t* out =
                &canvas.pixels[(std::size_t(place.top + y) * label_width + place.left + x) * 3];
            out[0] = blend_channel(p[0], p[3], background.r);
            out[1] = blend_channel(p[1], p[3], background.g);
            out[2] = blend_channel(p[2], p[3], background.b);
        }
    }
    return canvas;
}

CaptionPlacement place_caption(int label_height, int text_height, TextEffect effect) {
    const Point normal{0, (label_height - text_height) / 2};
    if (effect == TextEffect::Raised) {
        return {{normal.x + 1, normal.y + 1}, true, normal};
    }
    return {normal, false, {}};
}

}  // namespace quavik
