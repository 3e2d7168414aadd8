#include "Fonts.h"

#include <QFont>
#include <QStringList>

namespace dt {

void InstallFontSubstitutions() {
    static bool done = false;
    if (done) return;
    done = true;
    // One CJK family, so that one font file is mapped: a plain, upright sans like the fonts the
    // tool was drawn with. Noto Sans CJK stands in where WenQuanYi is not installed.
    const QStringList cjk = {QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")};
    QFont::insertSubstitutions(kSongFace, cjk);
    QFont::insertSubstitutions(QStringLiteral("SimSun"), cjk);
    QFont::insertSubstitutions(kArialFace, {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
}

}  // namespace dt
