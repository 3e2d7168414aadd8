#include "AppIdentity.h"

#include <QGuiApplication>
#include <QIcon>

#include "AppResources.h"
#include "Version.h"

namespace dt {

void SetApplicationIdentity() {
    LoadAppResources();
    QGuiApplication::setDesktopFileName(QLatin1String(kDesktopFileName));
    QCoreApplication::setApplicationVersion(QStringLiteral(DRIVETUNE_VERSION));
    // The small size is drawn for small sizes, so the task bar does not scale the large one down.
    QIcon icon;
    icon.addFile(kAppIcon48);
    icon.addFile(kAppIcon256);
    QGuiApplication::setWindowIcon(icon);
}

}  // namespace dt
