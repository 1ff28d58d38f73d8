#include "editor/paint.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "editor/regions.h"
#include "model/options.h"

namespace editor {
namespace {

using platform::Canvas;
using platform::Sheet;
using platform::TextFormat;
namespace c = colour;

// Sprite strips of 64 frames: value 0..127 onto frame 0..63.
int frameOf(int32_t value) { return static_cast<int>(std::clamp(value, 0, 127) / 127.0 * 63.0); }

const char* noteText(const PaintFacts& facts, int32_t note, const char* none) {
    if (note < 0 || note > 127 || !facts.noteNames) return none;
    return (*facts.noteNames)[static_cast<size_t>(note)].data();
}

void drawGrid(const model::InstanceRecords& r, const EditorState& s, const PaintFacts& facts, Canvas& canvas) {
    const model::InstanceOptions& o = r.options;
    for (int i = 0; i < kGridCells; ++i) {
        const int a = o.bankStart() + i;
        const bool hovered = gridHit(i).contains(s.lastPoint.x, s.lastPoint.y);
        const Point at = gridIcon(i);
        canvas.copy(Sheet::kIconStrip, sheet::icon(r.articulations.icon[size_t(a)], a == o.editingSlot() || hovered), at.x,
                    at.y);
        const Point tag = gridTag(i);
        canvas.copy(Sheet::kSkin, sheet::tag(i, (a == facts.playingArticulation ? 1 : 0) + (hovered ? 2 : 0)), tag.x,
                    tag.y);
    }
    if (o.articbanks) canvas.copy(Sheet::kBankIndicator, sheet::bankFrame(o.bankStart() / model::kBankSize), kBankIndicator.x, kBankIndicator.y);
}

void drawIconPicker(const EditorState& s, const PaintFacts& facts, Canvas& canvas) {
    const float scroll = std::clamp(s.iconScroll, 0.0f, 1.0f);
    canvas.copy(Sheet::kSkin, sheet::kScrollThumb, kScrollThumbX, static_cast<int>(kScrollTravel * scroll + kScrollThumbTop));
    const int rows = std::max(0, facts.iconCount / kPickerColumns - (kPickerRows - 1));
    const int top = static_cast<int>(rows * scroll);
    for (int n = 0; n < kPickerCells; ++n) {
        const Point at = pickerCell(n);
        canvas.copy(Sheet::kIconStrip, sheet::icon(kPickerColumns * top + n, true), at.x, at.y);
    }
}

void drawArticulation(const model::InstanceRecords& r, const PaintFacts& facts, Canvas& canvas) {
    const int a = r.options.editingSlot();
    const model::Articulations& art = r.articulations;
    const int32_t modc = art.modc[size_t(a)];
    const int32_t modw = art.modw[size_t(a)];
    const Rect strip = modc == model::kModSecondKeyswitch ? sheet::kSecondKeyswitchStrip
                       : modc == model::kModPlayVelocity  ? sheet::kPlayVelocityStrip
                                                          : sheet::kCcModeStrip;
    canvas.copy(Sheet::kSkin, strip, kStrip.x, kStrip.y);

    canvas.setFont(font::kName);
    char text[64];
    if (art.name[size_t(a)].empty()) {
        std::snprintf(text, sizeof text, "Articulation %i", a + 1);
        canvas.text(text, kNameText, TextFormat::kLine);
    } else {
        canvas.text(art.name[size_t(a)].c_str(), kNameText, TextFormat::kEllipsis);
    }
    canvas.copy(Sheet::kIconStrip, sheet::fieldIcon(art.icon[size_t(a)]), kFieldIcon.x, kFieldIcon.y);

    // The bar covers the unused top of the keyswitch field's velocity fill.
    Rect bar = sheet::kVelocityBar;
    bar.height = kVelocityBarHeight - kVelocityBarHeight * std::clamp(art.notevel[size_t(a)], 0, 127) / 127;
    canvas.copy(Sheet::kSkin, bar, kVelocityBarAt.x, kVelocityBarAt.y);

    canvas.setFont(font::kValue);
    canvas.setTextColour(c::kValue);
    canvas.text(noteText(facts, art.note[size_t(a)], "----"), kKeyswitchText, TextFormat::kCentred);
    const auto number = [&text](int64_t value, const char* none) {  // wide: a stored value plus one
        if (value < 0) return none;
        std::snprintf(text, sizeof text, "%lld", static_cast<long long>(value));
        return static_cast<const char*>(text);
    };
    if (modc == model::kModSecondKeyswitch) {
        canvas.text(noteText(facts, modw, "----"), kModeText, TextFormat::kCentred);
    } else if (modc == model::kModPlayVelocity) {
        canvas.text(number(modw, "----"), kModeText, TextFormat::kCentred);
    } else {
        canvas.text(number(modc, "---"), kCcNumberText, TextFormat::kCentred);
        canvas.text(number(modw, "---"), kCcValueText, TextFormat::kCentred);
    }
    const int32_t prog = art.prog[size_t(a)];
    canvas.text(number(prog < 0 ? -1 : int64_t{prog} + 1, "---"), kProgramText, TextFormat::kCentred);

    const bool keyNames = art.keynames[size_t(a)] != nullptr;
    canvas.copy(Sheet::kSkin, sheet::keyNamesButton(keyNames), kKeyNamesButton.x, kKeyNamesButton.y);
    canvas.setFont(font::kSmall);
    const char* title = "Piano roll key names...";
    platform::Colour colour = c::kText;
    if (keyNames) {
        title = art.keynamestitle[size_t(a)].empty() ? "[Stored in FLP]" : art.keynamestitle[size_t(a)].c_str();
        if (art.keynamesmissing[size_t(a)]) colour = c::kValue;
    }
    canvas.setTextColour(colour);
    canvas.text(title, kKeyNamesText, TextFormat::kMiddleEllipsis);
}

void drawPortAndChannel(const model::InstanceRecords& r, const PaintFacts& facts, Canvas& canvas) {
    canvas.setFont(font::kValue);
    canvas.setTextColour(facts.muted ? c::kMutedValue : c::kValue);
    char text[16];
    std::snprintf(text, sizeof text, "%i", r.options.port);
    canvas.text(text, kPortText, TextFormat::kCentred);
    if (r.options.channel == model::kPerColourChannel) std::snprintf(text, sizeof text, "---");
    else std::snprintf(text, sizeof text, "%lld", static_cast<long long>(r.options.channel) + 1);
    canvas.text(text, kChannelText, TextFormat::kCentred);

    canvas.setFont(font::kSmall);
    canvas.setTextColour(facts.muted ? c::kMutedLabel : facts.othersAllMuted ? c::kSoloLabel : c::kText);
    canvas.text("Port", kPortLabel, TextFormat::kLabel);
    canvas.text("Channel", kChannelLabel, TextFormat::kLabel);
}

void drawControllers(const model::InstanceRecords& r, Canvas& canvas) {
    const model::Controllers& ctl = r.controllers;
    const int page = r.shownPage();
    canvas.copy(Sheet::kSkin, sheet::kControllerStrip, kStrip.x, kStrip.y);
    canvas.setFont(font::kName);
    canvas.setTextColour(c::kText);
    if (r.pageNames[size_t(page)].empty()) {
        char text[32];
        std::snprintf(text, sizeof text, "Controllers %i", page + 1);
        canvas.text(text, kPageNameText, TextFormat::kLine);
    } else {
        canvas.text(r.pageNames[size_t(page)].c_str(), kPageNameText, TextFormat::kEllipsis);
    }
    for (int k = 0; k < kPageControls; ++k) {
        if (r.shownController(k) < 0) break;
        const size_t i = size_t(r.shownController(k));
        if (ctl.cc[i] == model::kUnassignedCc) continue;
        canvas.setFont(font::kSmall);
        canvas.setTextColour(ctl.on[i] ? c::kControllerOn : c::kControllerOff);
        if (k == 0) {
            canvas.copy(Sheet::kMiniControl, sheet::miniFrame(frameOf(ctl.value[i])), kMiniControl.x, kMiniControl.y);
            canvas.text(ctl.name[i].c_str(), kMiniNameText, TextFormat::kEllipsis);
            continue;
        }
        const Point at = control(k);
        switch (ctl.type[i]) {
        case model::kSwitch:
            canvas.copy(Sheet::kSwitch, sheet::controlFrame(std::clamp(ctl.value[i], 0, 127) / 64), at.x, at.y);
            break;
        case model::kFader: canvas.copy(Sheet::kFader, sheet::controlFrame(frameOf(ctl.value[i])), at.x, at.y); break;
        default: canvas.copy(Sheet::kKnob, sheet::controlFrame(frameOf(ctl.value[i])), at.x, at.y); break;
        }
        canvas.text(ctl.name[i].c_str(), controlNameText(k), TextFormat::kCentredEllipsis);
    }
}

bool optionChecked(const OptionRow& row, const model::InstanceOptions& o, const PaintFacts& facts) {
    const model::OptionInfo* option = optionOf(row);
    if (!option) return facts.httpApiEnabled;
    if (option->kind == model::OptionKind::kProcessWide) return facts.singleEditor || model::hostBefore12(facts.hostVersion);
    return model::optionTicked(*option, o, facts.singleEditor);
}

const char* aboutText() {
    return "Articulations by note colour or automation, for every orchestral library. "
           "Drop a bank or a Kontakt instrument here.";
}

void drawOptions(const model::InstanceRecords& r, const PaintFacts& facts, Canvas& canvas) {
    canvas.copy(Sheet::kSkin, sheet::kOptionsArea, kOptionsArea.x, kOptionsArea.y);
    canvas.setFont(font::kTab);
    for (int t = 0; t < 3; ++t) {
        const bool selected = t == facts.optionsTab;
        if (selected) canvas.fill(kOptionsTabs[size_t(t)], c::kTabFill);
        canvas.setTextColour(selected ? c::kSelectedTab : c::kText);
        canvas.text(kOptionsTabTitles[t], kOptionsTabs[size_t(t)], TextFormat::kCentred);
    }
    canvas.setFont(font::kOption);
    canvas.setTextColour(c::kText);
    for (const OptionRow& row : kOptionRowsTable) {
        if (row.tab != facts.optionsTab) continue;
        const model::OptionInfo* option = optionOf(row);
        const char* label = option ? option->label : kHttpApiLabel;
        canvas.text(label, optionLabel(row.column, row.row), TextFormat::kPlain);
        const Point box = optionCheckBox(row.column, row.row);
        canvas.copy(Sheet::kSkin, sheet::checkBox(optionChecked(row, r.options, facts)), box.x, box.y);
    }

    Box box = kVersionText;
    canvas.setFont(font::kName);
    canvas.text(kVersionLine, box, TextFormat::kWordWrap);
    box.top += kBuildLineOffset;
    canvas.setFont(font::kOption);
    canvas.setTextColour(c::kDim);
    canvas.text(facts.debugLog ? "DEBUG ENABLED" : buildStamp(), box, TextFormat::kWordWrap);
    box.top += kAboutOffset;
    canvas.text(aboutText(), box, TextFormat::kWordWrap);
}

}  // namespace

const char* buildStamp() {
    // __DATE__ is "Apr 12 2021", __TIME__ "15:39:44"; the weekday is worked out from them.
    static char stamp[32] = "";
    if (!stamp[0]) {
        static const char months[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
        static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
        const char* date = __DATE__;
        const int month = static_cast<int>((std::strstr(months, std::string(date, 3).c_str()) - months) / 3) + 1;
        const int day = std::atoi(date + 4);
        int year = std::atoi(date + 7);
        // Sakamoto's weekday rule.
        static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
        const int y = month < 3 ? year - 1 : year;
        const int weekday = (y + y / 4 - y / 100 + y / 400 + offsets[month - 1] + day) % 7;
        std::snprintf(stamp, sizeof stamp, "%s %.3s %2d %s %d", days[weekday], date, day, __TIME__, year);
    }
    return stamp;
}

void Paint(const model::InstanceRecords& records, const EditorState& state, const PaintFacts& facts,
           Canvas& canvas) {
    const int page = records.options.panel();
    canvas.copy(Sheet::kSkin, page == kIconPicker ? sheet::kIconPickerBackground : sheet::kPanelBackground, 0, 0);
    if (page == kIconPicker) drawIconPicker(state, facts, canvas);
    if (page == kArticulationPanel || page == kControllerPanel) drawGrid(records, state, facts, canvas);
    const int tab = page == kIconPicker ? kArticulationPanel : page;
    const Point tabAt = panelTab(tab);
    canvas.copy(Sheet::kSkin, sheet::litTab(tab), tabAt.x, tabAt.y);
    canvas.setFont(font::kValue);
    canvas.setTextColour(colour::kText);
    if (page == kArticulationPanel) drawArticulation(records, facts, canvas);
    drawPortAndChannel(records, facts, canvas);
    if (page == kControllerPanel) drawControllers(records, canvas);
    if (page == kOptionsPanel) drawOptions(records, facts, canvas);
}

}  // namespace editor
