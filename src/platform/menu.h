// Popup menus of the editor: built from entries, shown at the cursor with their top-left corner
// there, tracking the right button, answering the chosen identifier (0 for none). [ui]
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct MenuEntry {
    int id = 0;
    std::string text;  // UTF-8
    bool greyed = false;
    bool checked = false;
    bool separator = false;
    std::vector<MenuEntry> submenu;  // entries of a submenu opened from this one (one level deep)
};

class Menu {
public:
    // Shows the entries owned by `window` and returns the chosen id, 0 when dismissed.
    virtual int choose(intptr_t window, const std::vector<MenuEntry>& entries) = 0;

protected:
    ~Menu() = default;
};

// The system's menus (none where there is no display: every menu is dismissed), unless a test
// installed its own.
Menu& menu();
void setMenu(Menu* menu);  // null: the system's again
Menu& systemMenu();

}  // namespace platform
