#pragma once
// Face names the tool asks for, mapped to fonts a Linux desktop has.
#include <QString>

namespace dt {

// Face of the CJK text font and of the plain Latin font used by the windows.
inline const QString kSongFace = QStringLiteral("宋体");
inline const QString kArialFace = QStringLiteral("Arial");

// Maps "宋体" to an installed CJK font and "Arial" to Liberation Sans. Safe to call more than once.
void InstallFontSubstitutions();

}  // namespace dt
