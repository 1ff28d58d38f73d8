// A host's windows for the piano-roll automation: a tree the test builds, with screen
// rectangles, pixels and key states, that records every synthesised input, cursor move, window
// move and debugger line. Installed for its lifetime.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/window_system.h"

namespace testing_support {

class FakeWindowTree final : public platform::WindowSystem {
public:
    struct Window {
        std::string className, title;
        intptr_t parent = 0;
        platform::WindowRect rect;  // screen
        std::map<std::pair<int, int>, uint32_t> pixels;
        bool alive = true;
    };

    FakeWindowTree() { platform::setWindowSystem(this); }
    ~FakeWindowTree() { platform::setWindowSystem(nullptr); }

    // Adds a window (0 parent: top level) and returns its handle.
    intptr_t add(intptr_t parent, const std::string& className, const std::string& title, platform::WindowRect rect) {
        windows.push_back({className, title, parent, rect, {}, true});
        return intptr_t(windows.size());
    }
    Window& at(intptr_t h) { return windows[size_t(h - 1)]; }

    intptr_t findChild(intptr_t parent, intptr_t after, const char* cls, const char* title) const override {
        return find(parent, after, cls, title);
    }
    intptr_t findTopLevel(intptr_t after, const char* cls, const char* title) const override {
        return find(0, after, cls, title);
    }
    bool exists(intptr_t h) const override { return valid(h); }
    bool rect(intptr_t h, platform::WindowRect& out) const override {
        if (!valid(h)) return false;
        out = windows[size_t(h - 1)].rect;
        return true;
    }
    platform::ScreenPoint clientToScreen(intptr_t h, platform::ScreenPoint p) const override {
        return valid(h) ? platform::ScreenPoint{p.x + windows[size_t(h - 1)].rect.left, p.y + windows[size_t(h - 1)].rect.top}
                        : p;
    }
    platform::ScreenPoint screenToClient(intptr_t h, platform::ScreenPoint p) const override {
        return valid(h) ? platform::ScreenPoint{p.x - windows[size_t(h - 1)].rect.left, p.y - windows[size_t(h - 1)].rect.top}
                        : p;
    }
    intptr_t parent(intptr_t h) const override { return valid(h) ? windows[size_t(h - 1)].parent : 0; }
    // The deepest live window containing the point, the last added winning among siblings.
    intptr_t windowAt(platform::ScreenPoint p) const override {
        intptr_t best = 0;
        int bestDepth = -1;
        for (intptr_t h = 1; h <= intptr_t(windows.size()); ++h) {
            const Window& w = windows[size_t(h - 1)];
            if (!w.alive || p.x < w.rect.left || p.x >= w.rect.right || p.y < w.rect.top || p.y >= w.rect.bottom) continue;
            int depth = 0;
            for (intptr_t up = w.parent; up; up = windows[size_t(up - 1)].parent) ++depth;
            if (depth >= bestDepth) best = h, bestDepth = depth;
        }
        return best;
    }
    platform::ScreenPoint cursor() const override { return cursorAt; }
    void setCursor(platform::ScreenPoint p) override {
        cursorAt = p;
        input.push_back("cursor " + std::to_string(p.x) + "," + std::to_string(p.y));
    }
    void leftButton(bool down, bool absolute, platform::ScreenPoint) override {
        input.push_back(std::string(down ? "left down" : "left up") + (absolute ? " absolute" : ""));
    }
    void key(int code, bool up) override { input.push_back(keyName(code) + (up ? " up" : " down")); }
    bool keyDown(int code, bool async) const override { return (async ? asyncKeys : keys).count(code) != 0; }
    uint32_t pixel(intptr_t h, int x, int y) const override {
        ++pixelReads;
        if (!valid(h)) return 0;
        const auto it = windows[size_t(h - 1)].pixels.find({x, y});
        return it == windows[size_t(h - 1)].pixels.end() ? 0 : it->second;
    }
    void move(intptr_t h, int left, int top) override { moves.push_back({h, left, top}); }
    void debugOutput(const char* text) override { debug.push_back(text); }

    // Keys without their up/down events, pressed and released in order.
    std::vector<std::string> taps() const {
        std::vector<std::string> out;
        for (const std::string& e : input)
            if (e.size() > 5 && e.compare(e.size() - 5, 5, " down") == 0 && e != "left down") out.push_back(e.substr(0, e.size() - 5));
        return out;
    }

    std::vector<Window> windows;
    platform::ScreenPoint cursorAt{700, 500};
    std::set<int> keys, asyncKeys;
    std::vector<std::string> input, debug;
    struct Move {
        intptr_t window;
        int left, top;
        bool operator==(const Move& o) const { return window == o.window && left == o.left && top == o.top; }
    };
    std::vector<Move> moves;
    mutable int pixelReads = 0;

private:
    bool valid(intptr_t h) const { return h >= 1 && h <= intptr_t(windows.size()) && windows[size_t(h - 1)].alive; }
    static bool same(const std::string& a, const char* b) {
        return a.size() == std::strlen(b) && std::equal(a.begin(), a.end(), b, [](char x, char y) {
                   return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
               });
    }
    intptr_t find(intptr_t parent, intptr_t after, const char* cls, const char* title) const {
        for (intptr_t h = after + 1; h <= intptr_t(windows.size()); ++h) {
            const Window& w = windows[size_t(h - 1)];
            if (w.alive && w.parent == parent && (!cls || w.className == cls) && (!title || same(w.title, title))) return h;
        }
        return 0;
    }
    static std::string keyName(int code) {
        switch (code) {
        case platform::vk::kHome: return "Home";
        case platform::vk::kDown: return "Down";
        case platform::vk::kRight: return "Right";
        case platform::vk::kEnter: return "Enter";
        default: return std::to_string(code);
        }
    }
};

}  // namespace testing_support
