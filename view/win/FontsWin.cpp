#include <QFont>
#include <QStringList>

#include "Fonts.h"

namespace dt {

void InstallFontSubstitutions() {
    static bool done = false;
    if (done) return;
    done = true;
    // "宋体" is SimSun's Chinese name; every Windows with Chinese support has SimSun, and Microsoft
    // YaHei stands in where the name is not matched. Where neither is installed (Wine) the
    // Linux faces the system offers are next.
    const QStringList cjk = {QStringLiteral("SimSun"), QStringLiteral("Microsoft YaHei"),
                             QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")};
    QFont::insertSubstitutions(kSongFace, cjk);
    QFont::insertSubstitutions(kArialFace, {QStringLiteral("Liberation Sans"), QStringLiteral("Tahoma")});
}

}  // namespace dt
