// A canvas that keeps every drawing call as data, so tests check what is drawn where.
#pragma once

#include <string>
#include <vector>

#include "platform/canvas.h"

namespace testing_support {

struct DrawCall {
    enum Kind { kCopy, kFill, kText } kind;
    platform::Sheet sheet{};
    platform::Rect source{};
    int x = 0, y = 0;
    platform::Box box{};
    std::string text;
    platform::TextFormat format{};
    int font = 0;
    platform::Colour colour = 0;  // text colour, or the fill's
};

class RecordingCanvas final : public platform::Canvas {
public:
    void copy(platform::Sheet sheet, platform::Rect source, int x, int y) override {
        calls.push_back({DrawCall::kCopy, sheet, source, x, y, {}, {}, {}, font_, 0});
    }
    void fill(platform::Box box, platform::Colour colour) override {
        calls.push_back({DrawCall::kFill, {}, {}, 0, 0, box, {}, {}, font_, colour});
    }
    void setFont(int height) override { font_ = height; }
    void setTextColour(platform::Colour colour) override { colour_ = colour; }
    void text(const char* utf8, platform::Box box, platform::TextFormat format) override {
        calls.push_back({DrawCall::kText, {}, {}, 0, 0, box, utf8, format, font_, colour_});
    }

    // The last text drawn in `box`, or null.
    const DrawCall* textIn(platform::Box box) const {
        for (auto it = calls.rbegin(); it != calls.rend(); ++it)
            if (it->kind == DrawCall::kText && it->box == box) return &*it;
        return nullptr;
    }
    std::string textAt(platform::Box box) const {
        const DrawCall* call = textIn(box);
        return call ? call->text : "<none>";
    }
    // The last copy to (x, y), or null.
    const DrawCall* copyAt(int x, int y) const {
        for (auto it = calls.rbegin(); it != calls.rend(); ++it)
            if (it->kind == DrawCall::kCopy && it->x == x && it->y == y) return &*it;
        return nullptr;
    }

    std::vector<DrawCall> calls;

private:
    int font_ = 0;
    platform::Colour colour_ = 0;
};

}  // namespace testing_support
