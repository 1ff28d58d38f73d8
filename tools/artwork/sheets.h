// The artwork sheets, each painted to the exact size and frame layout the editor blits from.
#pragma once

#include <cairo.h>

#include <string>
#include <vector>

#include "platform/image_files.h"

namespace artwork {

platform::Image paintSkin();
// The backgrounds that sprites of other sheets are blitted over, in canvas coordinates.
void paintControllerStrip(cairo_t* cr);
void paintPanelBackground(cairo_t* cr);

platform::Image paintKnob();
platform::Image paintFader();
platform::Image paintSwitch();
platform::Image paintMiniControl();
platform::Image paintBankIndicator();
platform::Image paintPicture();

struct IconSpec {
    int id;
    const char* shows;   // what the pictogram shows, for the catalogue
    std::string recipe;  // how it is drawn (see icons.cpp)
};
const std::vector<IconSpec>& iconTable();
// The icon strip, lit row and dim row.
platform::Image paintIcons();
// The catalogue: a contact sheet of the lit icons and a table of ids, with the template's names
// for each id. False on a write error.
bool writeCatalogue(const std::string& docsFolder, const std::string& templatePath);

}  // namespace artwork
