#include "AppResources.h"

#include <QFileInfo>
#include <QImageReader>
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

namespace {

std::future<DecodedPictures> g_decoded;

QImage ReadImage(const QString& path) {
    LoadAppResources();
    QImageReader byName(path, QFileInfo(path).suffix().toLatin1());
    byName.setAutoDetectImageFormat(false);
    QImage image = byName.read();
    if (image.isNull()) image = QImageReader(path).read();
    return image;
}

}  // namespace

QPixmap ReadPicture(const QString& path) {
    // Each decoded picture is taken once: the window needs it once, and keeping it would cost
    // its memory for good.
    static DecodedPictures decoded;
    if (g_decoded.valid()) decoded = g_decoded.get();
    QImage early = decoded.take(path);
    return QPixmap::fromImage(early.isNull() ? ReadImage(path) : std::move(early));  // converted in place
}

void UseDecodedPictures(std::future<DecodedPictures> pictures) { g_decoded = std::move(pictures); }

QIcon ReadIcon(std::initializer_list<QString> paths) {
    QIcon icon;
    for (const QString& path : paths) icon.addPixmap(ReadPicture(path));
    return icon;
}
