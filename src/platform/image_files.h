// Pictures as files: Windows bitmaps (the artwork's format, read and written) and PNG (written,
// for snapshots and window captures). Portable code with no system call beyond the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Top row first; each pixel 0xRRGGBB (the artwork is opaque; an alpha byte is dropped).
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    Image() = default;
    Image(int w, int h, uint32_t fill = 0) : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}
    uint32_t at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    uint32_t& at(int x, int y) { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    bool empty() const { return pixels.empty(); }
};

// An uncompressed 24- or 32-bit bitmap file, bottom-up or top-down; an empty image for anything
// else or a damaged file.
Image readBmp(const std::string& utf8Path);
// Writes a bottom-up bitmap of 24 or 32 bits per pixel (32: alpha 255). False on a write error.
bool writeBmp(const std::string& utf8Path, const Image& image, int bitsPerPixel);
// Writes an 8-bit RGB PNG (stored, not compressed: these files are for reading by people and
// tests, and size does not matter). False on a write error.
bool writePng(const std::string& utf8Path, const Image& image);

}  // namespace platform
