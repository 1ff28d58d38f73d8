// icon_strip_png: the articulation icon strip as the PNG that the web page shows.
//   icon_strip_png STRIP.bmp OUT.png      converts the artwork (7392 x 56: 231 icons of 32 columns)
//   icon_strip_png --placeholder OUT.png  draws numbered stand-in icons with the same layout
// Browsers show PNG but not BMP, and the page reads icon k at x = 32k + 2, y = 0, 27 x 27, so the
// PNG keeps the strip's layout pixel for pixel.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/image_files.h"

namespace {

constexpr int kColumn = 32;  // one icon's column in the strip
constexpr int kIconSize = 27;
constexpr int kLeft = 2;      // first pixel of a picture inside its column
constexpr int kDimRow = 28;   // the dim copy of every icon
constexpr int kStripWidth = 7392;
constexpr int kStripHeight = 56;

// 3 x 5 digits, one row per three bits, top row first.
constexpr unsigned short kDigits[10] = {0x7B6F, 0x2C97, 0x73E7, 0x73CF, 0x5BC9, 0x79CF, 0x79EF, 0x7249, 0x7BEF, 0x7BCF};

void fillRect(platform::Image& image, int x, int y, int w, int h, uint32_t colour) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) image.at(i, j) = colour;
}

// A digit scaled 2x: 6 x 10 pixels.
void drawDigit(platform::Image& image, int digit, int x, int y, uint32_t colour) {
    for (int row = 0; row < 5; ++row)
        for (int col = 0; col < 3; ++col)
            if (kDigits[digit] >> (14 - (row * 3 + col)) & 1) fillRect(image, x + 2 * col, y + 2 * row, 2, 2, colour);
}

void drawPlaceholderIcon(platform::Image& image, int icon, int top, uint32_t frame, uint32_t ink) {
    const int x = icon * kColumn + kLeft;
    fillRect(image, x, top, kIconSize, kIconSize, frame);
    fillRect(image, x + 1, top + 1, kIconSize - 2, kIconSize - 2, 0x20202e);
    const std::string text = std::to_string(icon);
    const int width = static_cast<int>(text.size()) * 8 - 2;
    int at = x + (kIconSize - width) / 2;
    for (char c : text) {
        drawDigit(image, c - '0', at, top + 8, ink);
        at += 8;
    }
}

platform::Image placeholder() {
    platform::Image image(kStripWidth, kStripHeight, 0x000000);
    for (int icon = 0; icon < kStripWidth / kColumn; ++icon) {
        drawPlaceholderIcon(image, icon, 0, 0x8f8fe0, 0xe4e4f0);
        drawPlaceholderIcon(image, icon, kDimRow, 0x4a4a66, 0x80809a);
    }
    return image;
}

int usage() {
    std::fprintf(stderr, "usage: icon_strip_png STRIP.bmp OUT.png | icon_strip_png --placeholder OUT.png\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return usage();
    const std::string source = argv[1];
    const std::string output = argv[2];
    platform::Image image = source == "--placeholder" ? placeholder() : platform::readBmp(source);
    if (image.empty()) {
        std::fprintf(stderr, "%s: not an uncompressed 24- or 32-bit bitmap\n", source.c_str());
        return 1;
    }
    // A strip of another layout would put every icon of the page in the wrong place.
    if (image.width % kColumn != 0 || image.height < kDimRow + kIconSize) {
        std::fprintf(stderr, "%s: %d x %d is not an icon strip (columns of %d, at least %d high)\n", source.c_str(),
                     image.width, image.height, kColumn, kDimRow + kIconSize);
        return 1;
    }
    if (!platform::writePng(output, image)) {
        std::fprintf(stderr, "%s: cannot write\n", output.c_str());
        return 1;
    }
    return 0;
}
