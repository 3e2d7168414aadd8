#pragma once
// The pictures compiled into the program (icons and the built-in logo). They sit in a static
// library, so they are registered explicitly before the first use.
#include <QIcon>
#include <QPixmap>
#include <QString>

void LoadAppResources();

// A picture read by the decoder its file suffix names, and only when that fails by probing
// its content. Probing loads every image plugin first, which a start cannot afford.
QPixmap ReadPicture(const QString& path);
// An icon of the pictures given, read as ReadPicture reads them.
QIcon ReadIcon(std::initializer_list<QString> paths);

// Resource paths.
QString IconResource(int controlId);  // ":/icons/connect.png" for 1000 ... ":/icons/language.png" for 1007
inline const QString kBuiltInLogo = QStringLiteral(":/icons/logo.png");
inline const QString kAppIcon48 = QStringLiteral(":/icons/drivetune-48.png");
inline const QString kAppIcon128 = QStringLiteral(":/icons/drivetune-128.png");
