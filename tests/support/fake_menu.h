// Popup menus answered from a script: each shown menu is kept, and the next scripted choice is
// the answer (0, dismissed, when the script is empty). Installed for its lifetime.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/menu.h"

namespace testing_support {

class FakeMenu final : public platform::Menu {
public:
    FakeMenu() { platform::setMenu(this); }
    ~FakeMenu() { platform::setMenu(nullptr); }

    int choose(intptr_t, const std::vector<platform::MenuEntry>& entries) override {
        shown.push_back(entries);
        if (answers.empty()) return 0;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    // The texts of the last menu ("-" for a separator).
    std::vector<std::string> lastTexts() const {
        std::vector<std::string> out;
        if (shown.empty()) return out;
        for (const auto& e : shown.back()) out.push_back(e.separator ? "-" : e.text);
        return out;
    }

    std::deque<int> answers;
    std::vector<std::vector<platform::MenuEntry>> shown;
};

}  // namespace testing_support
