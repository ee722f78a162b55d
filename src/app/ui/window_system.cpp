#include "app/ui/window_system.h"

#include <QByteArray>
#include <QtGlobal>

namespace orv::ui {

void PrepareWindowSystem() {
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", QByteArrayLiteral("1"));
}

}  // namespace orv::ui
