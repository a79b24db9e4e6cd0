#pragma once
// Full-width <-> half-width forms, as the host's Japanese text handling has
// them: full-width ASCII (U+FF01-U+FF5E) <-> ASCII, the ideographic space
// U+3000 <-> space, and full-width katakana <-> half-width katakana, where a
// voiced or semi-voiced katakana becomes two half-width characters (ガ <-> ｶﾞ,
// パ <-> ﾊﾟ). Other characters (kanji, hiragana, 「」、。) are left alone.

#include <QString>
#include <QStringView>

QString toHalfWidth(QStringView s);
QString toFullWidth(QStringView s);
