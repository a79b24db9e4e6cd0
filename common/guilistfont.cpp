#include "common/guilistfont.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>

namespace {

constexpr int ListPixelSize = 14;

QFont findListFont()
{
    static const char *const families[] = {"IPAGothic", "Noto Sans Mono CJK JP",
                                           "VL Gothic", "TakaoGothic"};
    for (const char *family : families) {
        QFont f(QString::fromLatin1(family));
        f.setPixelSize(ListPixelSize);
        f.setStyleHint(QFont::TypeWriter);
        if (!QFontInfo(f).family().startsWith(QString::fromLatin1(family), Qt::CaseInsensitive))
            continue;
        const QFontMetricsF m(f);
        const qreal half = m.horizontalAdvance(QLatin1Char('a'));
        if (half > 0 && qAbs(m.horizontalAdvance(QChar(0x3042)) - 2 * half) < 0.01
            && qAbs(m.horizontalAdvance(QChar(0xFF71)) - half) < 0.01)
            return f;
    }
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setPixelSize(ListPixelSize);
    return f;
}

} // namespace

QFont listFont()
{
    static const QFont font = findListFont();
    return font;
}
