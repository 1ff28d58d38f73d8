// The editor's real window under Wine and a virtual display: the window port driven directly by
// a small painter (this program carries the dialog template and artwork itself), then the
// plugin's own editor through the staged module, shown in a host window of ours. Each capture is
// written as a PNG beside the tests' build for a person to look at.
#include <windows.h>
// Empty macros of windows.h that would eat names below.
#undef near
#undef far

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "editor/layout.h"
#include "hostkit/module_loader.h"
#include "hostkit/recording_host.h"
#include "platform/editor_window.h"
#include "platform/image_files.h"
#include "platform/program_folder.h"
#include "platform/settings_store.h"
#include "support/layout_probe.h"
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
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = shot.width;
    info.bmiHeader.biHeight = -shot.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);
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
    ReleaseDC(nullptr, screen);
    platform::writePng(pngName, shot);
    return shot;
}

// The host's window: a plain top-level window the editor goes into.
class HostWindow {
public:
    HostWindow() {
        WNDCLASSW cls{};
        cls.lpfnWndProc = DefWindowProcW;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.lpszClassName = L"VoxtraneTestHost";
        RegisterClassW(&cls);
        window = CreateWindowExW(0, cls.lpszClassName, L"Host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                                 0, 0, 900, 700, nullptr, nullptr, cls.hInstance, nullptr);
    }
    ~HostWindow() { DestroyWindow(window); }
    intptr_t handle() const { return reinterpret_cast<intptr_t>(window); }
    HWND window = nullptr;
};

void pumpMessages() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

void expectChildOf(HWND editor, HWND host) {
    EXPECT_EQ(GetParent(editor), host);
    EXPECT_TRUE(IsWindowVisible(editor));
    const LONG_PTR style = GetWindowLongPtrW(editor, GWL_STYLE);
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_FALSE(style & WS_POPUP);
}

SIZE clientSize(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return {r.right, r.bottom};
}

// A sprite of each kind of sheet, one clipped at the sheet's edge, a fill and a text.
class Painter final : public platform::EditorWindowEvents {
public:
    static constexpr platform::Box kFill{100, 60, 140, 80};
    static constexpr platform::Colour kFillColour = 0x123456;
    static constexpr platform::Rect kClipped{470, 0, 30, 10};  // 10 pixels inside the skin, 20 beyond

    void paint(platform::Canvas& c) override {
        ++paints;
        c.copy(Sheet::kSkin, sheet::kPanelBackground, 0, 0);
        c.copy(Sheet::kSkin, sheet::tag(3, 1), editor::gridTag(3).x, editor::gridTag(3).y);
        c.copy(Sheet::kKnob, sheet::controlFrame(63), editor::control(1).x, editor::control(1).y);
        c.copy(Sheet::kIconStrip, sheet::icon(230, true), 200, 150);
        c.copy(Sheet::kSkin, kClipped, 150, 20);
        c.fill(kFill, kFillColour);
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
    HostWindow host;
    Painter painter;
    auto window = platform::createEditorWindow(painter);
    HWND editor = reinterpret_cast<HWND>(window->handle());
    ASSERT_TRUE(IsWindow(editor));
    EXPECT_FALSE(IsWindowVisible(editor));

    window->resize(editor::kCanvasWidth, editor::kCanvasHeight);
    window->show(host.handle());
    expectChildOf(editor, host.window);
    EXPECT_EQ(clientSize(editor).cx, 240);
    EXPECT_EQ(clientSize(editor).cy, 237);
    EXPECT_EQ(window->clientHeight(host.handle()), clientSize(host.window).cy);
    pumpMessages();

    const int painted = painter.paints;
    window->paintNow();
    EXPECT_EQ(painter.paints, painted + 1) << "paints at once";

    const Image skin = artworkFile("101-skin.bmp");
    const Image knob = artworkFile("103-knob.bmp");
    ASSERT_FALSE(skin.empty());
    const Image shot = capture(editor, "editor-window-scale1.png");
    testing_support::expectSprite(shot, skin, sheet::tag(3, 1), editor::gridTag(3), "tag");
    testing_support::expectSprite(shot, skin, {0, 0, 6, 6}, {0, 0}, "background corner");
    testing_support::expectSprite(shot, knob, sheet::controlFrame(63), editor::control(1), "knob frame");
    testing_support::expectSprite(shot, artworkFile("106-icons.bmp"), sheet::icon(230, true), {200, 150}, "last icon");
    // Of a copy reaching past the sheet only the part inside lands; the background stays beside it.
    testing_support::expectSprite(shot, skin, {470, 0, 10, 10}, {150, 20}, "clipped copy");
    testing_support::expectSprite(shot, skin, {160, 20, 20, 10}, {160, 20}, "beyond the clipped copy");
    EXPECT_EQ(shot.at(120, 70), Painter::kFillColour);
    EXPECT_TRUE(testing_support::hasColourIn(shot, editor::kPortText, editor::colour::kValue));

    // At 1.5 the logical canvas is stretched to fill the window.
    painter.scaleNow = 1.5f;
    window->resize(360, 355);
    window->invalidate({});
    EXPECT_EQ(clientSize(editor).cx, 360);
    EXPECT_EQ(clientSize(editor).cy, 355);
    const Image big = capture(editor, "editor-window-scale1.5.png");
    EXPECT_EQ(big.at(180, 105), Painter::kFillColour);
    EXPECT_EQ(big.at(152, 92), Painter::kFillColour) << "fill's top-left corner at 1.5 x (100, 60)";
    EXPECT_NE(big.at(147, 87), Painter::kFillColour);
    EXPECT_NE(big.at(359, 354), 0u) << "the canvas reaches the window's corner";
    EXPECT_TRUE(painter.resizes.empty()) << "the editor's own resizes are not the host's";

    // The host resizes the window: reported once, with the new size.
    SetWindowPos(editor, nullptr, 0, 0, 480, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_EQ(painter.resizes.size(), 1u);
    EXPECT_EQ(painter.resizes[0], std::make_pair(480, 300));

    window->hide();
    EXPECT_FALSE(IsWindowVisible(editor));
    EXPECT_NE(GetParent(editor), host.window);
    EXPECT_TRUE(GetWindowLongPtrW(editor, GWL_STYLE) & WS_POPUP);
    window.reset();
    EXPECT_FALSE(IsWindow(editor));
}

TEST_F(EditorWindowPort, TurnsMouseWheelAndKeyMessagesIntoClientPixelEvents) {
    HostWindow host;
    Painter painter;
    auto window = platform::createEditorWindow(painter);
    HWND editor = reinterpret_cast<HWND>(window->handle());
    window->resize(240, 237);
    window->show(host.handle());
    painter.inputs.clear();

    SendMessageW(editor, WM_RBUTTONDOWN, 0, MAKELPARAM(30, 40));
    SendMessageW(editor, WM_MBUTTONUP, 0, MAKELPARAM(31, 41));
    POINT onScreen{10, 20};
    ClientToScreen(editor, &onScreen);
    SendMessageW(editor, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                 MAKELPARAM(onScreen.x, onScreen.y));
    SendMessageW(editor, WM_SYSKEYDOWN, VK_MENU, 0);
    SendMessageW(editor, WM_KEYUP, VK_UP, 0);
    EXPECT_EQ(SendMessageW(editor, WM_GETDLGCODE, 0, 0), DLGC_WANTALLKEYS);
    EXPECT_EQ(SendMessageW(editor, WM_ERASEBKGND, 0, 0), 1);

    using Kind = InputEvent::Kind;
    ASSERT_EQ(painter.inputs.size(), 5u);
    const InputEvent* e = painter.inputs.data();
    EXPECT_TRUE(e[0].kind == Kind::kButtonDown && e[0].button == InputEvent::kRight && e[0].x == 30 && e[0].y == 40);
    EXPECT_TRUE(e[1].kind == Kind::kButtonUp && e[1].button == InputEvent::kMiddle && e[1].x == 31 && e[1].y == 41);
    EXPECT_TRUE(e[2].kind == Kind::kWheel && e[2].wheelDelta == -WHEEL_DELTA);
    EXPECT_EQ(e[2].x, 10);
    EXPECT_EQ(e[2].y, 20);
    EXPECT_TRUE(e[3].kind == Kind::kKeyDown && e[3].key == VK_MENU);
    EXPECT_TRUE(e[4].kind == Kind::kKeyUp && e[4].key == VK_UP);
}

TEST_F(EditorWindowPort, IconStripComesFromTheNotationFileWhenItOpens) {
    testing_support::TempFolder folder;
    const std::string file = folder.write("Plugins/Fruity/Generators/KRYL Voxtrane/Notation.bmp", "");
    ASSERT_TRUE(platform::writeBmp(file, Image(64, 56, 0x00FF00), 24));
    platform::loadEditorArtwork(folder.path().string());
    EXPECT_EQ(platform::editorIconCount(), 2);
}

// ---- The plugin's editor through the staged module -----------------------------------------

constexpr intptr_t kShowEditor = 0;

class PluginEditor : public ::testing::Test {
protected:
    void SetUp() override {
        forgetScaleSettings();
        ASSERT_TRUE(module.load(hostkit::stagedModulePath(hostkit::executableFolder()))) << module.error();
    }
    void TearDown() override { forgetScaleSettings(); }
    static void forgetScaleSettings() {
        platform::removePlatformSetting(platform::kVoxtraneKey, "UI Scale");
        platform::removePlatformSetting(platform::kHostGeneralKey, "Main PPI");
    }
    TFruityPlug* create() { return module.create()(&recording, 1); }

    hostkit::PluginModule module;
    hostkit::RecordingHost recording;
    HostWindow host;
};

TEST_F(PluginEditor, ShowsInTheHostPaintsTheLayoutAndStoresTheScaleOfAHostResize) {
    TFruityPlug* plug = create();
    HWND editor = plug->EditorHandle;
    ASSERT_TRUE(IsWindow(editor));
    EXPECT_FALSE(IsWindowVisible(editor));
    plug->Dispatcher(kShowEditor, 0, host.handle());
    expectChildOf(editor, host.window);
    EXPECT_EQ(clientSize(editor).cx, 240);
    EXPECT_EQ(clientSize(editor).cy, 237);

    // A click on the first tab opens the articulation panel. Articulation 0 is the one playing,
    // so its tag is left out.
    const editor::Point tab = editor::panelTab(editor::kArticulationPanel);
    SendMessageW(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(tab.x + 20, tab.y + 20));
    SendMessageW(editor, WM_LBUTTONUP, 0, MAKELPARAM(tab.x + 20, tab.y + 20));
    const Image shot = capture(editor, "plugin-editor-scale1.png");
    const Image skin = artworkFile("101-skin.bmp");
    using testing_support::expectSprite;
    for (const int cell : {1, 15}) expectSprite(shot, skin, sheet::tag(cell, 0), editor::gridTag(cell), "grid tag");
    expectSprite(shot, skin, sheet::litTab(editor::kArticulationPanel), tab, "lit tab");
    EXPECT_TRUE(testing_support::hasColourIn(shot, editor::kChannelText, editor::colour::kValue));

    SetWindowPos(editor, nullptr, 0, 0, 480, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    std::string stored;
    EXPECT_TRUE(platform::settingsStore().readString(platform::kVoxtraneKey, "UI Scale", stored));
    EXPECT_EQ(std::stof(stored), 2.0f);

    plug->Dispatcher(kShowEditor, 0, 0);
    EXPECT_FALSE(IsWindowVisible(editor));
    plug->DestroyObject();
    EXPECT_FALSE(IsWindow(editor));
}

TEST_F(PluginEditor, TakesItsScaleFromTheScreenDensity) {
    platform::settingsStore().writeString(platform::kHostGeneralKey, "Main PPI", "144");
    TFruityPlug* plug = create();
    HWND editor = plug->EditorHandle;
    plug->Dispatcher(kShowEditor, 0, host.handle());
    EXPECT_EQ(clientSize(editor).cx, 360);
    EXPECT_EQ(clientSize(editor).cy, 355);
    capture(editor, "plugin-editor-ppi144.png");
    plug->Dispatcher(kShowEditor, 0, 0);
    plug->DestroyObject();
}

}  // namespace
