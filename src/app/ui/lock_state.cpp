#include "app/ui/lock_state.h"

#include <QGuiApplication>

#ifdef ORV_HAVE_X11
#include <X11/XKBlib.h>
#include <X11/Xlib.h>

#include <QtGui/qguiapplication_platform.h>
#endif

namespace orv::ui {

#ifdef ORV_HAVE_X11
namespace {

std::optional<bool> NamedIndicator(Display* display, const char* name) {
    const Atom atom = XInternAtom(display, name, True);
    if (atom == None) return std::nullopt;
    Bool on = False;
    if (!XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr)) return std::nullopt;
    return on != False;
}

}  // namespace
#endif

LockState ReadLockState() {
#ifdef ORV_HAVE_X11
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
        if (Display* display = x11 ? x11->display() : nullptr) {
            return {NamedIndicator(display, "Caps Lock"), NamedIndicator(display, "Num Lock"),
                    NamedIndicator(display, "Scroll Lock")};
        }
    }
#endif
    return {};
}

}  // namespace orv::ui
