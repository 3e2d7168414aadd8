#include "Fonts.h"

#include <QFont>
#include <QStringList>

namespace dt {

void InstallFontSubstitutions()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    // Sans CJK first: the fonts the tool was drawn with are plain and upright.
    QFont::insertSubstitutions(kSongFace, {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei"),
                                           QStringLiteral("Noto Serif CJK SC")});
    QFont::insertSubstitutions(QStringLiteral("SimSun"), {QStringLiteral("Noto Sans CJK SC"),
                                                           QStringLiteral("WenQuanYi Micro Hei")});
    QFont::insertSubstitutions(kArialFace, {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
}

}  // namespace dt
