#include "resources/ui/test_hooks.h"

namespace orv::ui {

UiTestHooks& TestHooks() {
    thread_local UiTestHooks hooks;
    return hooks;
}

}  // namespace orv::ui
