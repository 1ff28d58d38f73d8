// The committed artwork: still what the generator paints, sized as the layout expects, and each
// sprite carrying the background it is blitted over (sprites are copied opaquely).
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "editor/layout.h"
#include "platform/image_files.h"
#include "support/temp_folder.h"

namespace {

using platform::Sheet;
namespace sheet = editor::sheet;

const std::string kArtwork = VOXTRANE_SOURCE_DIR "/resources/artwork/";

const struct {
    Sheet id;
    const char* file;
    int bits;
} kSheets[] = {
    {Sheet::kSkin, "101-skin.bmp", 24},           {Sheet::kKnob, "103-knob.bmp", 32},
    {Sheet::kMiniControl, "104-mini-control.bmp", 32}, {Sheet::kSwitch, "105-switch.bmp", 32},
    {Sheet::kIconStrip, "106-icons.bmp", 24},     {Sheet::kFader, "107-fader.bmp", 32},
    {Sheet::kPicture, "109-picture.bmp", 24},     {Sheet::kBankIndicator, "110-bank-indicator.bmp", 24},
};

TEST(Artwork, GeneratorRepaintsTheCommittedFilesByteForByte) {
    testing_support::TempFolder out;
    const std::string command = std::string("\"") + VOXTRANE_ARTWORK_TOOL + "\" \"" + out.file("artwork") + "\" \"" +
                                out.file("docs") + "\" \"" VOXTRANE_SOURCE_DIR "/resources/articulations.kryltemplate\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    for (const auto& s : kSheets)
        EXPECT_TRUE(out.read(std::string("artwork/") + s.file) == testing_support::TempFolder::bytesOf(kArtwork + s.file))
            << s.file << " differs: run the target voxtrane_artwork_update and commit";
    for (const char* doc : {"icons.png", "icons.md"})
        EXPECT_TRUE(out.read(std::string("docs/") + doc) ==
                    testing_support::TempFolder::bytesOf(VOXTRANE_SOURCE_DIR "/docs/" + std::string(doc)))
            << doc << " differs";
}

TEST(Artwork, EverySheetHasTheLayoutsSizeAndDepth) {
    for (const auto& s : kSheets) {
        const std::string bytes = testing_support::TempFolder::bytesOf(kArtwork + s.file);
        ASSERT_GT(bytes.size(), 30u) << s.file;
        EXPECT_EQ(static_cast<unsigned char>(bytes[28]), s.bits) << s.file;
        const platform::Image image = platform::readBmp(kArtwork + s.file);
        EXPECT_EQ(image.width, sheet::size(s.id).x) << s.file;
        EXPECT_EQ(image.height, sheet::size(s.id).y) << s.file;
    }
}

TEST(Artwork, SpritesCarryTheBackgroundTheyLandOn) {
    const platform::Image skin = platform::readBmp(kArtwork + "101-skin.bmp");
    const platform::Image knob = platform::readBmp(kArtwork + "103-knob.bmp");
    const platform::Image fader = platform::readBmp(kArtwork + "107-fader.bmp");
    const platform::Image toggle = platform::readBmp(kArtwork + "105-switch.bmp");
    const platform::Image mini = platform::readBmp(kArtwork + "104-mini-control.bmp");
    const platform::Image bank = platform::readBmp(kArtwork + "110-bank-indicator.bmp");
    ASSERT_FALSE(skin.empty() || knob.empty() || fader.empty() || toggle.empty() || mini.empty() || bank.empty());
    // The background under canvas point p on a sheet rectangle that is blitted to `origin`.
    const auto under = [&](editor::Rect background, editor::Point origin) {
        return [=, &skin](int x, int y) { return skin.at(background.x + x - origin.x, background.y + y - origin.y); };
    };
    const auto panel = under({0, 0, 240, 237}, {0, 0});
    const auto controllerStrip = under(sheet::kControllerStrip, editor::kStrip);
    const struct {
        const platform::Image* sprite;
        editor::Rect source;
        editor::Point at;
        std::function<uint32_t(int, int)> background;
    } cases[] = {
        {&knob, sheet::controlFrame(0), editor::control(3), controllerStrip},
        {&fader, sheet::controlFrame(63), editor::control(5), controllerStrip},
        {&toggle, sheet::controlFrame(1), editor::control(1), controllerStrip},
        {&mini, sheet::miniFrame(63), editor::kMiniControl, controllerStrip},
        {&bank, sheet::bankFrame(3), editor::kBankIndicator, panel},
        {&skin, sheet::tag(15, 3), editor::gridTag(15), panel},
        {&skin, sheet::litTab(2), editor::panelTab(2), panel},
        {&skin, sheet::keyNamesButton(true), editor::kKeyNamesButton, under(sheet::kPlayVelocityStrip, editor::kStrip)},
    };
    for (const auto& c : cases)
        for (const auto& [dx, dy] : {std::pair{0, 0}, {c.source.width - 1, 0}, {0, c.source.height - 1}})
            EXPECT_EQ(c.sprite->at(c.source.x + dx, c.source.y + dy), c.background(c.at.x + dx, c.at.y + dy))
                << "sprite at (" << c.source.x << ", " << c.source.y << "), corner +" << dx << "+" << dy;
    // The key-names button without names is the strip's own, in every articulation strip.
    for (const editor::Rect strip : {sheet::kCcModeStrip, sheet::kSecondKeyswitchStrip, sheet::kPlayVelocityStrip}) {
        const editor::Rect b = sheet::keyNamesButton(false);
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width; ++x)
                ASSERT_EQ(skin.at(b.x + x, b.y + y), under(strip, editor::kStrip)(editor::kKeyNamesButton.x + x,
                                                                                 editor::kKeyNamesButton.y + y));
    }
}

}  // namespace
