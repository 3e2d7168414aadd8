#pragma once
// The pictures compiled into the program (icons and the built-in logo). They sit in a static
// library, so they are registered explicitly before the first use.
#include <QString>

void LoadAppResources();

// Resource paths.
QString IconResource(int controlId);  // ":/icons/connect.png" for 1000 ... ":/icons/language.png" for 1007
inline const QString kBuiltInLogo = QStringLiteral(":/icons/logo.png");
inline const QString kAppIcon48 = QStringLiteral(":/icons/drivetune-48.png");
inline const QString kAppIcon256 = QStringLiteral(":/icons/drivetune-256.png");
