// voxtrane-artwork: paints every bitmap of the editor, and the icon catalogue, from code.
//   voxtrane-artwork ARTWORK_FOLDER DOCS_FOLDER TEMPLATE_FILE
// The output depends only on this program and the Debian fonts, so the committed files can be
// checked byte for byte.
#include <cstdio>
#include <filesystem>
#include <string>

#include "painter.h"
#include "sheets.h"

namespace {

struct Output {
    const char* file;
    platform::Image (*paint)();
    int bits;
};

const Output kOutputs[] = {
    {"101-skin.bmp", artwork::paintSkin, 24},
    {"103-knob.bmp", artwork::paintKnob, 32},
    {"104-mini-control.bmp", artwork::paintMiniControl, 32},
    {"105-switch.bmp", artwork::paintSwitch, 32},
    {"106-icons.bmp", artwork::paintIcons, 24},
    {"107-fader.bmp", artwork::paintFader, 32},
    {"109-picture.bmp", artwork::paintPicture, 24},
    {"110-bank-indicator.bmp", artwork::paintBankIndicator, 24},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: voxtrane-artwork ARTWORK_FOLDER DOCS_FOLDER TEMPLATE_FILE\n");
        return 2;
    }
    std::string error;
    if (!artwork::loadFonts(error)) {
        std::fprintf(stderr, "voxtrane-artwork: %s\n", error.c_str());
        return 1;
    }
    const std::string artworkFolder = argv[1], docsFolder = argv[2];
    std::error_code ignored;
    std::filesystem::create_directories(artworkFolder, ignored);
    std::filesystem::create_directories(docsFolder, ignored);
    for (const Output& out : kOutputs) {
        const std::string path = artworkFolder + "/" + out.file;
        if (!platform::writeBmp(path, out.paint(), out.bits)) {
            std::fprintf(stderr, "voxtrane-artwork: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    if (!artwork::writeCatalogue(docsFolder, argv[3])) {
        std::fprintf(stderr, "voxtrane-artwork: cannot write the catalogue in %s\n", docsFolder.c_str());
        return 1;
    }
    return 0;
}
