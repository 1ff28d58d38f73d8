// The staged module's editor driven from outside: window messages at the real cursor, a real
// popup menu answered by keys, the host's prompt, and the piano-roll pick against host windows
// of our own. What changed is read back from the state the host would save.
#include <windows.h>
#undef near
#undef far

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "editor/layout.h"
#include "hostkit/memory_stream.h"
#include "hostkit/module_loader.h"
#include "hostkit/recording_host.h"
#include "platform/settings_store.h"

namespace {

using Bytes = std::vector<uint8_t>;

int32_t i32At(const Bytes& b, size_t at) {
    int32_t v = -999;
    return at + 4 <= b.size() ? (std::memcpy(&v, b.data() + at, 4), v) : v;
}

// Articulation columns of a saved state, in their order after the format and the count.
enum Column { kNote = 0, kModc = 4 };
int column(const Bytes& b, Column c, int articulation) {
    const int n = b.size() > 6 ? b[4] | b[5] << 8 : 0;
    return i32At(b, 6 + 4 * size_t(int(c) * n + articulation));
}

// A keyed option of a saved state: its name with a 16-bit length, then the value.
int keyed(const Bytes& b, const std::string& key) {
    const std::string needle = std::string{char(key.size()), '\0'} + key;
    const auto at = std::search(b.begin(), b.end(), needle.begin(), needle.end());
    return at == b.end() ? -999 : i32At(b, size_t(at - b.begin()) + needle.size());
}

void pump(DWORD milliseconds) {
    for (const DWORD end = GetTickCount() + milliseconds; GetTickCount() < end; Sleep(10))
        for (MSG m; PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&m);
}

// A modifier as the thread's own key state says it is held: Wine drops a synthesised one held
// across a window's activation.
void hold(std::initializer_list<int> codes, bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    for (int code : codes) keys[code] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

class PluginEditorInput : public ::testing::Test {
protected:
    void SetUp() override {
        platform::removePlatformSetting(platform::kVoxtraneKey, "UI Scale");
        platform::removePlatformSetting(platform::kHostGeneralKey, "Main PPI");
        ASSERT_TRUE(module.load(hostkit::stagedModulePath(hostkit::executableFolder()))) << module.error();
    }
    void TearDown() override {
        if (plug) {
            plug->Dispatcher(0, 0, 0);
            plug->DestroyObject();
        }
        if (form) DestroyWindow(form);  // its children with it
    }
    // The host's top-level form (made first), or a child of `parent`.
    HWND window(const wchar_t* cls, const wchar_t* title, HWND parent, RECT r, WNDPROC proc = DefWindowProcW) {
        WNDCLASSW c{};
        c.lpfnWndProc = proc;
        c.lpszClassName = cls;
        RegisterClassW(&c);
        const DWORD style = parent ? WS_CHILD | WS_CLIPSIBLINGS : WS_OVERLAPPEDWINDOW;
        HWND w = CreateWindowExW(0, cls, title, style | WS_VISIBLE, r.left, r.top, r.right, r.bottom, parent, nullptr,
                                 nullptr, nullptr);
        if (!parent) form = w;
        return w;
    }
    // The host's main form with a piano roll in its panel, and the editor in the form.
    HWND showBesidePianoRoll() {
        host.mainWindow = reinterpret_cast<intptr_t>(window(L"TFruityLoopsMainForm", L"FL Studio", nullptr, {0, 0, 900, 600}));
        HWND roll = window(L"VoxtraneTestRoll", L"Piano roll -", window(L"TWPControl", L"", form, {260, 0, 600, 500}),
                           {10, 10, 500, 400});
        show(form);
        pump(300);  // the form's activation settles before any input
        return roll;
    }
    void showInPlainHost() {
        show(window(L"VoxtraneInputHost", L"Host", nullptr, {0, 0, 600, 400}));
        const editor::Point tab = editor::panelTab(editor::kArticulationPanel);
        click(tab.x + 20, tab.y + 20);
    }
    // An instance made once the host's windows exist (it asks for the main window when made).
    void show(HWND parent) {
        plug = module.create()(&host, 1);
        editor = plug->EditorHandle;
        plug->Dispatcher(0, 0, reinterpret_cast<intptr_t>(parent));
        RECT r{};
        GetClientRect(editor, &r);
        ASSERT_EQ(r.right, editor::kCanvasWidth) << "drawn at scale 1";
    }
    Bytes saved() {
        hostkit::MemoryStream stream;
        plug->SaveRestoreState(&stream, 1);
        return stream.data;
    }
    // The cursor onto a client point of the editor, and the move that tells it.
    void moveTo(int x, int y) {
        POINT p{x, y};
        ClientToScreen(editor, &p);
        SetCursorPos(p.x, p.y);
        SendMessageW(editor, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    }
    void click(int x, int y, bool right = false) {
        moveTo(x, y);
        SendMessageW(editor, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageW(editor, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }

    hostkit::PluginModule module;
    hostkit::RecordingHost host;
    TFruityPlug* plug = nullptr;
    HWND editor = nullptr;
    HWND form = nullptr;
};

constexpr int kKeyswitchX = 80, kKeyswitchY = 145;

TEST_F(PluginEditorInput, DragTabAndCheckBoxReachTheSavedStateAndHintsTheHost) {
    showInPlainHost();
    const int note = column(saved(), kNote, 0);

    // Hints come one move behind: the second move over the box names it.
    moveTo(kKeyswitchX, kKeyswitchY);
    moveTo(kKeyswitchX, kKeyswitchY);
    ASSERT_FALSE(host.hints.empty());
    EXPECT_EQ(host.hints.back().rfind("Configure the keyswitch.", 0), 0u) << host.hints.back();
    const size_t hints = host.hints.size();
    moveTo(kKeyswitchX + 2, kKeyswitchY);
    EXPECT_EQ(host.hints.size(), hints) << "none again inside the region";

    // Three moves of 8 pixels up, each from where the returned cursor landed: +1 each.
    POINT press{};
    GetCursorPos(&press);
    SendMessageW(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kKeyswitchX + 2, kKeyswitchY));
    RECT cage{};
    GetClipCursor(&cage);
    EXPECT_LE(cage.bottom - cage.top, 21) << "the cursor is caged around the press";
    for (int i = 0; i < 3; ++i) {
        POINT now{};
        GetCursorPos(&now);
        EXPECT_LE(std::abs(now.y - press.y), 1) << "returned to the press after move " << i;
        SetCursorPos(now.x, now.y - 8);
        SendMessageW(editor, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(kKeyswitchX + 2, kKeyswitchY - 8));
    }
    SendMessageW(editor, WM_LBUTTONUP, 0, MAKELPARAM(kKeyswitchX + 2, kKeyswitchY));
    EXPECT_EQ(column(saved(), kNote, 0), note + 3);
    GetClipCursor(&cage);
    EXPECT_GT(cage.bottom - cage.top, 100) << "freed at the end of the drag";

    // The options tab, then the first check box of the General tab.
    const editor::Point tab = editor::panelTab(editor::kOptionsPanel);
    click(tab.x + 20, tab.y + 20);
    EXPECT_EQ(keyed(saved(), "page"), editor::kOptionsPanel);
    const int preserve = keyed(saved(), "preserve");
    click(editor::optionCheckBox(0, 0).x + 4, editor::optionCheckBox(0, 0).y + 4);
    EXPECT_EQ(keyed(saved(), "preserve"), preserve ? 0 : 1);
}

// Answers the popup menu once it is up: the second entry.
void CALLBACK answerMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND menu = FindWindowW(L"#32768", nullptr);
    if (!menu || !IsWindowVisible(menu)) return;
    KillTimer(nullptr, timer);
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) PostMessageW(menu, WM_KEYDOWN, key, 0);
}

TEST_F(PluginEditorInput, PromptMenuAndKeysReachTheSavedState) {
    showInPlainHost();
    host.promptConfirms = true;
    host.promptAnswer = "Db3";
    click(kKeyswitchX, kKeyswitchY, true);
    ASSERT_EQ(host.prompts, std::vector<std::string>{"Keyswitch"});
    EXPECT_EQ(column(saved(), kNote, 0), 61);

    // The mode selector's menu, answered from inside its own loop.
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, answerMenu);
    const editor::Hit mode = editor::kModeSelectorHit;
    click((mode.left + mode.right) / 2, (mode.top + mode.bottom) / 2);
    KillTimer(nullptr, timer);
    EXPECT_EQ(column(saved(), kModc, 0), -2) << "Second keyswitch";

    SendMessageW(editor, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(keyed(saved(), "editing"), 1);
    hold({VK_CONTROL, VK_LCONTROL}, true);
    SendMessageW(editor, WM_KEYDOWN, VK_UP, 0);
    hold({VK_CONTROL, VK_LCONTROL}, false);
    RECT r{};
    EXPECT_TRUE(GetClientRect(editor, &r) && r.bottom == 100) << "collapsed to the grid";
    EXPECT_EQ(keyed(saved(), "minimised"), 1);
}

// The piano roll's list: the keys it receives while it has the focus.
std::vector<WPARAM> rollKeys;
LRESULT CALLBACK rollList(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN) SetFocus(w);
    if (message == WM_KEYDOWN) rollKeys.push_back(wParam);
    return DefWindowProcW(w, message, wParam, lParam);
}

// A Ctrl-click on a cell picks that colour in the piano roll's list; a Shift-click under the
// roll's colour bar while a note starts asks for the key's name.
TEST_F(PluginEditorInput, PianoRollTakesACellsColourAndAKeysName) {
    HWND roll = showBesidePianoRoll();
    HWND list = window(L"VoxtraneTestRollList", L"", roll, {0, 0, 200, 200}, rollList);
    window(L"TWPControl", L"", roll, {220, 0, 260, 60});  // the colour bar

    const editor::Hit cell = editor::gridHit(2);
    POINT press{cell.left + 5, cell.top + 5}, back{};
    ClientToScreen(editor, &press);
    hold({VK_CONTROL, VK_LCONTROL}, true);
    click(cell.left + 5, cell.top + 5);
    hold({VK_CONTROL, VK_LCONTROL}, false);
    GetCursorPos(&back);
    EXPECT_TRUE(back.x == press.x && back.y == press.y) << "cursor put back, at " << back.x << "," << back.y;
    pump(300);
    EXPECT_EQ(rollKeys, (std::vector<WPARAM>{VK_HOME, VK_DOWN, VK_DOWN, VK_RETURN}));
    EXPECT_EQ(GetFocus(), list);
    EXPECT_EQ(keyed(saved(), "editing"), 2);

    POINT below{300, 80};
    ClientToScreen(roll, &below);
    SetCursorPos(below.x, below.y);
    INPUT button{INPUT_MOUSE, {}};
    button.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &button, sizeof button);
    hold({VK_SHIFT, VK_RSHIFT}, true);
    TVoiceParams note{};  // middle C
    note.InitLevels.Vol = 1.0f;
    plug->TriggerVoice(&note, 1);
    hold({VK_SHIFT, VK_RSHIFT}, false);
    button.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &button, sizeof button);
    host.promptConfirms = true;
    host.promptAnswer = "Sul tasto";
    plug->Idle_Public();
    ASSERT_EQ(host.prompts.size(), 1u);
    EXPECT_EQ(host.prompts[0].rfind("Rename note ", 0), 0u) << host.prompts[0];
    const Bytes state = saved();
    EXPECT_NE(std::search(state.begin(), state.end(), host.promptAnswer.begin(), host.promptAnswer.end()), state.end());
    EXPECT_FALSE(host.dispatchesWithCode(3).empty()) << "the host reads the key names again";
}

// Single editor: the host form of a newly shown editor moves to where the last one stood.
TEST_F(PluginEditorInput, ASecondSingleEditorOpensWhereTheFirstStood) {
    host.mainWindow = reinterpret_cast<intptr_t>(window(L"TFruityLoopsMainForm", L"FL Studio", nullptr, {0, 0, 900, 600}));
    HWND panel = window(L"TWPControl", L"", form, {0, 0, 880, 560});
    HWND first = window(L"TPluginForm", L"", panel, {40, 30, 300, 300});
    HWND second = window(L"TPluginForm", L"", panel, {420, 200, 300, 300});
    show(window(L"TVectorSheet", L"", first, {0, 20, 280, 260}));
    plug->Dispatcher(0, 0, 0);

    TFruityPlug* next = module.create()(&host, 2);
    next->Dispatcher(0, 0, reinterpret_cast<intptr_t>(window(L"TVectorSheet", L"", second, {0, 20, 280, 260})));
    next->Idle_Public();
    RECT r{};
    GetWindowRect(second, &r);
    MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_TRUE(r.left == 40 && r.top == 30) << "at " << r.left << "," << r.top;
    EXPECT_EQ(r.right - r.left, 300) << "moved, not resized";
    next->Dispatcher(0, 0, 0);
    next->DestroyObject();
}

}  // namespace
