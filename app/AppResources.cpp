#include "AppResources.h"

#include <QtGlobal>

static void InitDriveTuneResources() { Q_INIT_RESOURCE(DriveTune); }

void LoadAppResources() {
    static const bool loaded = (InitDriveTuneResources(), true);
    (void)loaded;
}

QString IconResource(int controlId) {
    static const char* const kNames[] = {"connect", "upload", "download", "store",
                                         "default", "import", "export",   "language"};
    const int i = controlId - 1000;
    if (i < 0 || i >= 8) return QString();
    return QStringLiteral(":/icons/%1.png").arg(QLatin1String(kNames[i]));
}
