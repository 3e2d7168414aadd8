#pragma once
// The pictures compiled into the program (icons and the built-in logo). They sit in a static
// library, so they are registered explicitly before the first use.
#include <QHash>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <future>

void LoadAppResources();

// A picture read by the decoder its file suffix names, and only when that fails by probing
// its content. Probing loads every image plugin first, which a start cannot afford.
QPixmap ReadPicture(const QString& path);
// An icon of the pictures given, read as ReadPicture reads them.
QIcon ReadIcon(std::initializer_list<QString> paths);

// The built-in pictures, decoded by path (null where one can't be), with libpng (Linux only).
// Needs no application and
// no Qt image reader, so the window program decodes them on a second core while its application
// starts, and hands them to ReadPicture, which then takes them instead of decoding them itself
// (waiting for them if need be).
using DecodedPictures = QHash<QString, QImage>;
DecodedPictures DecodeBuiltInPictures();
void UseDecodedPictures(std::future<DecodedPictures> pictures);

// Resource paths.
QString IconResource(int controlId);  // ":/icons/connect.png" for 1000 ... ":/icons/language.png" for 1007
inline const QString kBuiltInLogo = QStringLiteral(":/icons/logo.png");
inline const QString kAppIcon48 = QStringLiteral(":/icons/drivetune-48.png");
inline const QString kAppIcon128 = QStringLiteral(":/icons/drivetune-128.png");
