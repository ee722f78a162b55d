#pragma once
// What a test installs in place of the windows that wait for the engineer: one hook object per
// thread, reached through TestHooks() and set only by the scoped guards ScopedScript and
// ScopedSaveFileScript. In the program both hooks stay empty and the windows appear as usual.

namespace orv::ui {

class Script;
class ScopedSaveFileScript;

struct UiTestHooks {
    Script* script = nullptr;                   // answers message boxes and modal dialogs
    ScopedSaveFileScript* saveFile = nullptr;  // answers the save-file dialog
};

// The hooks of the calling thread (the user-interface thread is the only one that shows windows).
UiTestHooks& TestHooks();

}  // namespace orv::ui
