// The editor's real window under Wine and a virtual display: the window port driven directly by
// a small painter (this program carries the dialog template and artwork itself), then the
// plugin's own editor through the staged module, shown in a host window of ours. Each capture is
// written as a PNG beside the tests' build for a person to look at.
#include <windows.h>
// Empty macros of windows.h that would eat names below.
#undef near
#undef far

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "editor/layout.h"
#include "editor/paint.h"
#include "model/defaults.h"
#include "hostkit/module_loader.h"
#include "hostkit/recording_host.h"
#include "platform/editor_window.h"
#include "platform/image_files.h"
#include "platform/program_folder.h"
#include "platform/settings_store.h"
#include "platform/win32/gdi_canvas.h"
#include "support/layout_probe.h"
#include "support/recording_canvas.h"
#include "support/temp_folder.h"

namespace {

using platform::Image;
using platform::InputEvent;
using platform::Sheet;
namespace sheet = editor::sheet;

Image artworkFile(const char* name) { return platform::readBmp(std::string(VOXTRANE_ARTWORK_DIR) + "/" + name); }

// The window as PrintWindow draws it, in a 24-bit picture (pixels read back exactly).
Image capture(HWND window, const char* pngName) {
    RECT r{};
    GetClientRect(window, &r);
    Image shot(r.right, r.bottom);
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), shot.width, -shot.height, 1, 24, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* bits = nullptr;
    HBITMAP picture = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, picture);
    EXPECT_TRUE(PrintWindow(window, memory, PW_CLIENTONLY));
    GdiFlush();
    const auto* bytes = static_cast<const unsigned char*>(bits);
    const int stride = (shot.width * 3 + 3) & ~3;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) {
            const unsigned char* p = bytes + y * stride + x * 3;
            shot.at(x, y) = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
        }
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(picture);
    platform::writePng(pngName, shot);
    return shot;
}

// The host's window: a plain top-level window the editor goes into.
HWND makeHostWindow() {
    WNDCLASSW cls{};
    cls.lpfnWndProc = DefWindowProcW;
    cls.lpszClassName = L"VoxtraneTestHost";
    RegisterClassW(&cls);
    return CreateWindowExW(0, cls.lpszClassName, L"Host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 900,
                           700, nullptr, nullptr, nullptr, nullptr);
}

void expectChildOfSize(HWND editor, HWND host, LONG width, LONG height) {
    EXPECT_EQ(GetParent(editor), host);
    EXPECT_TRUE(IsWindowVisible(editor));
    EXPECT_EQ(GetWindowLongPtrW(editor, GWL_STYLE) & (WS_CHILD | WS_POPUP), WS_CHILD);
    RECT r{};
    GetClientRect(editor, &r);
    EXPECT_EQ(r.right, width);
    EXPECT_EQ(r.bottom, height);
}

void hostResizes(HWND editor, int width, int height) {
    SetWindowPos(editor, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A sprite of three sheets, one copy clipped at the skin's edge, a fill and a text.
class Painter final : public platform::EditorWindowEvents {
public:
    static constexpr platform::Colour kFill = 0x123456;

    void paint(platform::Canvas& c) override {
        ++paints;
        c.copy(Sheet::kSkin, sheet::kPanelBackground, 0, 0);
        c.copy(Sheet::kSkin, sheet::tag(3, 1), editor::gridTag(3).x, editor::gridTag(3).y);
        c.copy(Sheet::kKnob, sheet::controlFrame(63), editor::control(1).x, editor::control(1).y);
        c.copy(Sheet::kIconStrip, sheet::icon(230, true), 200, 150);
        c.copy(Sheet::kSkin, {470, 0, 30, 10}, 150, 20);  // 10 pixels inside the sheet, 20 beyond
        c.fill({100, 60, 140, 80}, kFill);
        c.setFont(editor::font::kValue);
        c.setTextColour(editor::colour::kValue);
        c.text("42", editor::kPortText, platform::TextFormat::kCentred);
    }
    float scale() const override { return scaleNow; }
    void hostResized(int width, int height) override { resizes.emplace_back(width, height); }
    void input(const InputEvent& e) override { inputs.push_back(e); }
    bool dragging() const override { return false; }

    float scaleNow = 1.0f;
    int paints = 0;
    std::vector<std::pair<int, int>> resizes;
    std::vector<InputEvent> inputs;
};

class EditorWindowPort : public ::testing::Test {
protected:
    void SetUp() override { platform::loadEditorArtwork(platform::programFolder()); }
    void TearDown() override { platform::releaseEditorArtwork(); }
};

TEST_F(EditorWindowPort, ShowsAsAChildPaintsTheSheetsAndScalesWithoutReportingItsOwnResizes) {
    EXPECT_EQ(platform::editorIconCount(), sheet::kIconCount);
    Painter painter;
    auto window = platform::createEditorWindow(painter);
    HWND editor = reinterpret_cast<HWND>(window->handle()), host = makeHostWindow();
    ASSERT_TRUE(IsWindow(editor));
    EXPECT_FALSE(IsWindowVisible(editor));
    window->resize(editor::kCanvasWidth, editor::kCanvasHeight);
    window->show(reinterpret_cast<intptr_t>(host));
    expectChildOfSize(editor, host, 240, 237);
    const int painted = painter.paints;
    window->paintNow();
    EXPECT_EQ(painter.paints, painted + 1) << "paints at once";

    const Image skin = artworkFile("101-skin.bmp");
    ASSERT_FALSE(skin.empty());
    const Image shot = capture(editor, "editor-window-scale1.png");
    using testing_support::expectSprite;
    expectSprite(shot, skin, sheet::tag(3, 1), editor::gridTag(3), "tag");
    expectSprite(shot, artworkFile("103-knob.bmp"), sheet::controlFrame(63), editor::control(1), "knob frame");
    expectSprite(shot, artworkFile("106-icons.bmp"), sheet::icon(230, true), {200, 150}, "last icon");
    // Of a copy reaching past the sheet only the part inside lands; the background stays beside it.
    expectSprite(shot, skin, {470, 0, 10, 10}, {150, 20}, "clipped copy");
    expectSprite(shot, skin, {160, 20, 20, 10}, {160, 20}, "beyond the clipped copy");
    EXPECT_EQ(shot.at(120, 70), Painter::kFill);
    EXPECT_TRUE(testing_support::hasColourIn(shot, editor::kPortText, editor::colour::kValue));

    // At 1.5 the logical canvas is stretched to fill the window.
    painter.scaleNow = 1.5f;
    window->resize(360, 355);
    window->invalidate({});
    expectChildOfSize(editor, host, 360, 355);
    const Image big = capture(editor, "editor-window-scale1.5.png");
    EXPECT_EQ(big.at(152, 92), Painter::kFill) << "the fill's corner at 1.5 x (100, 60)";
    EXPECT_NE(big.at(147, 87), Painter::kFill);
    EXPECT_NE(big.at(359, 354), 0u) << "the canvas reaches the window's corner";
    EXPECT_TRUE(painter.resizes.empty()) << "the editor's own resizes are not the host's";
    hostResizes(editor, 480, 300);
    EXPECT_EQ(painter.resizes, (std::vector<std::pair<int, int>>{{480, 300}}));

    // Input in client pixels; the wheel's screen position mapped into the window.
    painter.inputs.clear();
    SendMessageW(editor, WM_RBUTTONDOWN, 0, MAKELPARAM(30, 40));
    POINT onScreen{10, 20};
    ClientToScreen(editor, &onScreen);
    SendMessageW(editor, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-WHEEL_DELTA)), MAKELPARAM(onScreen.x, onScreen.y));
    SendMessageW(editor, WM_SYSKEYDOWN, VK_MENU, 0);
    EXPECT_EQ(SendMessageW(editor, WM_GETDLGCODE, 0, 0), DLGC_WANTALLKEYS);
    EXPECT_EQ(SendMessageW(editor, WM_ERASEBKGND, 0, 0), 1);
    using Kind = InputEvent::Kind;  // one kind of each: a button, the wheel, a key
    ASSERT_EQ(painter.inputs.size(), 3u);
    const InputEvent* e = painter.inputs.data();
    EXPECT_TRUE(e[0].kind == Kind::kButtonDown && e[0].button == InputEvent::kRight && e[0].x == 30 && e[0].y == 40);
    EXPECT_TRUE(e[1].kind == Kind::kWheel && e[1].wheelDelta == -WHEEL_DELTA && e[1].x == 10 && e[1].y == 20);
    EXPECT_TRUE(e[2].kind == Kind::kKeyDown && e[2].key == VK_MENU);

    window->hide();
    EXPECT_FALSE(IsWindowVisible(editor));
    EXPECT_EQ(GetWindowLongPtrW(editor, GWL_STYLE) & (WS_CHILD | WS_POPUP), WS_POPUP);
    window.reset();
    EXPECT_FALSE(IsWindow(editor));
    DestroyWindow(host);
}

TEST_F(EditorWindowPort, IconStripComesFromTheNotationFileWhenItOpens) {
    testing_support::TempFolder folder;
    const std::string file = folder.write("Plugins/Fruity/Generators/KRYL Voxtrane/Notation.bmp", "");
    ASSERT_TRUE(platform::writeBmp(file, Image(64, 56, 0x00FF00), 24));
    platform::loadEditorArtwork(folder.path().string());
    EXPECT_EQ(platform::editorIconCount(), 2);
}

// The plugin's editor through the staged module, with the registry of the tests' Wine prefix.
TEST(PluginEditor, ShowsInTheHostPaintsTakesItsScaleAndStoresTheScaleOfAHostResize) {
    constexpr intptr_t kShowEditor = 0;
    const auto forgetScale = [] {
        platform::removePlatformSetting(platform::kVoxtraneKey, "UI Scale");
        platform::removePlatformSetting(platform::kHostGeneralKey, "Main PPI");
    };
    forgetScale();
    hostkit::PluginModule module;
    ASSERT_TRUE(module.load(hostkit::stagedModulePath(hostkit::executableFolder()))) << module.error();
    hostkit::RecordingHost recording;
    HWND host = makeHostWindow();

    TFruityPlug* plug = module.create()(&recording, 1);
    HWND editor = plug->EditorHandle;
    ASSERT_TRUE(IsWindow(editor));
    EXPECT_FALSE(IsWindowVisible(editor));
    plug->Dispatcher(kShowEditor, 0, reinterpret_cast<intptr_t>(host));
    expectChildOfSize(editor, host, 240, 237);
    // A click on the first tab opens the articulation panel. Articulation 0 is the one playing,
    // so its tag is left out.
    const editor::Point tab = editor::panelTab(editor::kArticulationPanel);
    SendMessageW(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(tab.x + 20, tab.y + 20));
    SendMessageW(editor, WM_LBUTTONUP, 0, MAKELPARAM(tab.x + 20, tab.y + 20));
    const Image shot = capture(editor, "plugin-editor-scale1.png"), skin = artworkFile("101-skin.bmp");
    for (const int cell : {1, 15})
        testing_support::expectSprite(shot, skin, sheet::tag(cell, 0), editor::gridTag(cell), "grid tag");
    testing_support::expectSprite(shot, skin, sheet::litTab(editor::kArticulationPanel), tab, "lit tab");
    EXPECT_TRUE(testing_support::hasColourIn(shot, editor::kChannelText, editor::colour::kValue));

    hostResizes(editor, 480, 300);
    std::string stored;
    EXPECT_TRUE(platform::settingsStore().readString(platform::kVoxtraneKey, "UI Scale", stored));
    EXPECT_EQ(std::stof(stored), 2.0f);
    plug->Dispatcher(kShowEditor, 0, 0);
    EXPECT_FALSE(IsWindowVisible(editor));
    plug->DestroyObject();
    EXPECT_FALSE(IsWindow(editor));

    // With no stored scale the screen's density sets it.
    forgetScale();
    platform::settingsStore().writeString(platform::kHostGeneralKey, "Main PPI", "144");
    plug = module.create()(&recording, 2);
    plug->Dispatcher(kShowEditor, 0, reinterpret_cast<intptr_t>(host));
    expectChildOfSize(plug->EditorHandle, host, 360, 355);
    capture(plug->EditorHandle, "plugin-editor-ppi144.png");
    plug->Dispatcher(kShowEditor, 0, 0);
    plug->DestroyObject();
    DestroyWindow(host);
    forgetScale();
}

// The editor's face, as FL Studio users see it (Cuprum, where FL Studio keeps it) or as the
// module carries it for machines without: each case is a process of its own, because a process
// chooses its face once. Every text of every panel fits its box in the face chosen, narrowed by a
// tenth at most where the canvas squeezes a label (painting is done at scale 1 and stretched, so a
// fit there is a fit at every scale), and the staged module
// paints every panel at scales 1 to 4 into captures beside the tests' build.
class EditorFace : public ::testing::Test {
protected:
    static std::filesystem::path cuprumPlace() {
        return std::filesystem::path(platform::programFolder()) / "Artwork/Fonts/Cuprum/Cuprum.ttf";
    }

    void check(const char* face) {
        platform::loadEditorArtwork(platform::programFolder());
        EXPECT_STREQ(platform::editorFaceName(), std::wstring(face, face + std::strlen(face)).c_str());
        everyTextFits();
        captureEveryPanel(face[0] == 'C' ? "cuprum" : "stand-in");
        platform::releaseEditorArtwork();
    }

    static void everyTextFits() {
        model::InstanceRecords records;
        model::resetRecords(records, 1, true);
        HDC dc = CreateCompatibleDC(nullptr);
        for (int panel = 0; panel < 4; ++panel)
            for (int tab = 0; tab < 3; ++tab) {
                records.options.page = panel;
                editor::PaintFacts facts;
                facts.optionsTab = tab;
                testing_support::RecordingCanvas canvas;
                editor::Paint(records, editor::EditorState{}, facts, canvas);
                for (const testing_support::DrawCall& call : canvas.calls) {
                    if (call.kind != testing_support::DrawCall::kText || call.format == platform::TextFormat::kWordWrap)
                        continue;
                    HFONT font = platform::makeEditorFont(call.font);
                    HGDIOBJ previous = SelectObject(dc, font);
                    const std::wstring wide(call.text.begin(), call.text.end());
                    SIZE size{};
                    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
                    SelectObject(dc, previous);
                    DeleteObject(font);
                    const bool shortened = call.format == platform::TextFormat::kEllipsis ||
                                           call.format == platform::TextFormat::kMiddleEllipsis ||
                                           call.format == platform::TextFormat::kCentredEllipsis;
                    if (!shortened) {
                        EXPECT_LE(size.cx * 9, (call.box.right - call.box.left) * 10)
                            << "\"" << call.text << "\" on panel " << panel << ", options tab " << tab;
                    }
                }
            }
        DeleteDC(dc);
    }

    // The port and channel labels and values as this program's own canvas paints a new instance's
    // articulation panel, in the face this process chose.
    static Image ownPaint() {
        model::InstanceRecords records;
        model::resetRecords(records, 1, true);
        records.options.page = editor::kArticulationPanel;
        BITMAPINFO info{{sizeof(BITMAPINFOHEADER), 240, -237, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
        void* bits = nullptr;
        HBITMAP picture = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HDC memory = CreateCompatibleDC(nullptr);
        HGDIOBJ previous = SelectObject(memory, picture);
        {
            platform::GdiCanvas canvas(memory, platform::gdiArtwork());
            editor::Paint(records, editor::EditorState{}, editor::PaintFacts{}, canvas);
        }
        GdiFlush();
        Image image(240, 237);
        for (int i = 0; i < 240 * 237; ++i) image.pixels[size_t(i)] = static_cast<const uint32_t*>(bits)[i] & 0xFFFFFF;
        SelectObject(memory, previous);
        DeleteDC(memory);
        DeleteObject(picture);
        return image;
    }

    static void captureEveryPanel(const std::string& face) {
        hostkit::PluginModule module;
        ASSERT_TRUE(module.load(hostkit::stagedModulePath(hostkit::executableFolder()))) << module.error();
        hostkit::RecordingHost recording;
        HWND host = makeHostWindow();
        platform::removePlatformSetting(platform::kVoxtraneKey, "UI Scale");
        TFruityPlug* plug = module.create()(&recording, 1);
        HWND editor = plug->EditorHandle;
        plug->Dispatcher(0, 0, reinterpret_cast<intptr_t>(host));
        const char* names[] = {"articulations", "controllers", "options"};
        for (int panel = 0; panel < 3; ++panel) {
            hostResizes(editor, 240, 237);
            const editor::Point tab = editor::panelTab(panel);
            SendMessageW(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(tab.x + 20, tab.y + 20));
            SendMessageW(editor, WM_LBUTTONUP, 0, MAKELPARAM(tab.x + 20, tab.y + 20));
            for (const float scale : {1.0f, 1.5f, 2.0f, 3.0f, 4.0f}) {
                hostResizes(editor, static_cast<int>(240 * scale), static_cast<int>(237 * scale));
                char file[96];
                std::snprintf(file, sizeof file, "editor-%s-%s-scale%g.png", face.c_str(), names[panel], scale);
                const Image shot = capture(editor, file);
                // The module chose the same face as this program: its labels are the same pixels.
                if (panel != 0 || scale != 1.0f) continue;
                const Image own = ownPaint();
                int differing = 0;
                for (int y = editor::kPortText.top; y < editor::kChannelLabel.bottom; ++y)
                    for (int x = editor::kPortText.left; x < editor::kChannelLabel.right; ++x)
                        differing += shot.at(x, y) != own.at(x, y);
                EXPECT_EQ(differing, 0);
            }
        }
        plug->Dispatcher(0, 0, 0);
        plug->DestroyObject();
        DestroyWindow(host);
        platform::removePlatformSetting(platform::kVoxtraneKey, "UI Scale");
    }
};

TEST_F(EditorFace, CuprumWhereFlStudioKeepsIt) {
    std::filesystem::create_directories(cuprumPlace().parent_path());
    std::filesystem::copy_file(VOXTRANE_CUPRUM_FILE, cuprumPlace(), std::filesystem::copy_options::overwrite_existing);
    check("Cuprum");
    std::filesystem::remove(cuprumPlace());
}

TEST_F(EditorFace, TheCarriedFaceWithoutCuprum) {
    std::filesystem::remove(cuprumPlace());
    check("Roboto Condensed");
}

}  // namespace
