#include "platform/editor_platform.h"

namespace platform {

namespace {
EditorPlatform* gInstalled = nullptr;
}  // namespace

EditorPlatform& editorPlatform() { return gInstalled ? *gInstalled : systemEditorPlatform(); }
void setEditorPlatform(EditorPlatform* platform) { gInstalled = platform; }

}  // namespace platform

#include "platform/menu.h"

namespace platform {
namespace {
Menu* gMenu = nullptr;
}  // namespace

Menu& menu() { return gMenu ? *gMenu : systemMenu(); }
void setMenu(Menu* m) { gMenu = m; }

}  // namespace platform

#include "platform/window_system.h"

namespace platform {
namespace {
WindowSystem* gWindows = nullptr;
}  // namespace

WindowSystem& windowSystem() { return gWindows ? *gWindows : systemWindowSystem(); }
void setWindowSystem(WindowSystem* system) { gWindows = system; }

}  // namespace platform
