#include "platform/image_files.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>

#include "platform/files.h"

namespace platform {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

uint32_t le32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
uint16_t le16(const unsigned char* p) { return uint16_t(p[0] | p[1] << 8); }
void put32(std::vector<unsigned char>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}
void put16(std::vector<unsigned char>& out, uint16_t v) {
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}
void putBe32(std::vector<unsigned char>& out, uint32_t v) {
    for (int i = 3; i >= 0; --i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

bool writeAll(const std::string& path, const std::vector<unsigned char>& bytes) {
    File f(openFile(path, "wb"));
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size();
    return std::fclose(f.release()) == 0 && ok;
}

uint32_t crc32(const unsigned char* data, size_t size, uint32_t crc = 0) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void putChunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data) {
    putBe32(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putBe32(out, crc32(out.data() + start, out.size() - start));
}

}  // namespace

Image readBmp(const std::string& utf8Path) {
    File f(openFile(utf8Path, "rb"));
    if (!f) return {};
    std::vector<unsigned char> bytes;
    unsigned char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f.get())) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return {};
    const uint32_t offset = le32(&bytes[10]);
    const int32_t width = static_cast<int32_t>(le32(&bytes[18]));
    const int32_t rawHeight = static_cast<int32_t>(le32(&bytes[22]));
    const int bits = le16(&bytes[28]);
    const uint32_t compression = le32(&bytes[30]);
    // 32-bit files may say BI_BITFIELDS (3) with the usual masks; the channel order is assumed.
    if ((bits != 24 && bits != 32) || (compression != 0 && compression != 3)) return {};
    if (width <= 0 || rawHeight == 0 || width > 1 << 15 || rawHeight > 1 << 15 || rawHeight < -(1 << 15)) return {};
    const int height = rawHeight < 0 ? -rawHeight : rawHeight;
    const size_t stride = (size_t(width) * size_t(bits / 8) + 3) & ~size_t(3);
    if (offset > bytes.size() || bytes.size() - offset < stride * size_t(height)) return {};
    Image image(width, height);
    for (int y = 0; y < height; ++y) {
        const int row = rawHeight < 0 ? y : height - 1 - y;
        const unsigned char* p = &bytes[offset + stride * size_t(row)];
        for (int x = 0; x < width; ++x, p += bits / 8) image.at(x, y) = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    }
    return image;
}

bool writeBmp(const std::string& utf8Path, const Image& image, int bitsPerPixel) {
    const int bytesPerPixel = bitsPerPixel == 32 ? 4 : 3;
    const size_t stride = (size_t(image.width) * bytesPerPixel + 3) & ~size_t(3);
    const uint32_t dataSize = static_cast<uint32_t>(stride * size_t(image.height));
    std::vector<unsigned char> out;
    out.reserve(54 + dataSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, 54 + dataSize);
    put32(out, 0);
    put32(out, 54);
    put32(out, 40);
    put32(out, static_cast<uint32_t>(image.width));
    put32(out, static_cast<uint32_t>(image.height));
    put16(out, 1);
    put16(out, static_cast<uint16_t>(bytesPerPixel * 8));
    put32(out, 0);
    put32(out, dataSize);
    put32(out, 2835);  // 72 dpi
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const uint32_t c = image.at(x, y);
            out.push_back(static_cast<unsigned char>(c));
            out.push_back(static_cast<unsigned char>(c >> 8));
            out.push_back(static_cast<unsigned char>(c >> 16));
            if (bytesPerPixel == 4) out.push_back(0xFF);
        }
        out.insert(out.end(), stride - size_t(image.width) * bytesPerPixel, 0);
    }
    return writeAll(utf8Path, out);
}

bool writePng(const std::string& utf8Path, const Image& image) {
    // The image data: each row a filter byte 0 and RGB, inside stored deflate blocks.
    std::vector<unsigned char> raw;
    raw.reserve(size_t(image.height) * (1 + 3 * size_t(image.width)));
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < image.width; ++x) {
            const uint32_t c = image.at(x, y);
            raw.push_back(static_cast<unsigned char>(c >> 16));
            raw.push_back(static_cast<unsigned char>(c >> 8));
            raw.push_back(static_cast<unsigned char>(c));
        }
    }
    std::vector<unsigned char> zlib{0x78, 0x01};
    size_t pos = 0;
    do {
        const size_t block = std::min<size_t>(65535, raw.size() - pos);
        zlib.push_back(pos + block == raw.size() ? 1 : 0);
        put16(zlib, static_cast<uint16_t>(block));
        put16(zlib, static_cast<uint16_t>(~block));
        zlib.insert(zlib.end(), raw.begin() + long(pos), raw.begin() + long(pos + block));
        pos += block;
    } while (pos < raw.size());
    uint32_t a = 1, b = 0;
    for (const unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    putBe32(zlib, b << 16 | a);

    std::vector<unsigned char> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> header;
    putBe32(header, static_cast<uint32_t>(image.width));
    putBe32(header, static_cast<uint32_t>(image.height));
    header.insert(header.end(), {8, 2, 0, 0, 0});
    putChunk(out, "IHDR", header);
    putChunk(out, "IDAT", zlib);
    putChunk(out, "IEND", {});
    return writeAll(utf8Path, out);
}

}  // namespace platform
