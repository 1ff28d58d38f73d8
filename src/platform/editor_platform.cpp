#include "platform/editor_platform.h"

namespace platform {

namespace {
EditorPlatform* gInstalled = nullptr;
}  // namespace

EditorPlatform& editorPlatform() { return gInstalled ? *gInstalled : systemEditorPlatform(); }
void setEditorPlatform(EditorPlatform* platform) { gInstalled = platform; }

}  // namespace platform
