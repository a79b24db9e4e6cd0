#pragma once
// Room in one-line boxes for the longest values people usually type.

#include <QComboBox>
#include <QString>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QWidget>

#include <algorithm>

// IDs, names, groups and log lines: this many half-width characters show whole.
constexpr int WideBoxCharacters = 60;

// Makes box (a combo box or a line edit) at least wide enough to show chars
// half-width characters of its current font, its frame, arrow and inner
// margins included. Call it after the box's font is set.
inline void fitHalfWidthCharacters(QWidget *box, int chars = WideBoxCharacters)
{
    QStyle *style = box->style();
    const int text = box->fontMetrics().horizontalAdvance(QString(chars, u'0'));
    const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, box);
    int outer = 0;
    if (auto *combo = qobject_cast<QComboBox *>(box)) {
        QStyleOptionComboBox opt;
        opt.initFrom(combo);
        opt.editable = combo->isEditable();
        outer = style->sizeFromContents(QStyle::CT_ComboBox, &opt, QSize(text, 1), combo).width();
    } else {
        QStyleOptionFrame opt;
        opt.initFrom(box);
        opt.lineWidth = frame;
        outer = style->sizeFromContents(QStyle::CT_LineEdit, &opt, QSize(text, 1), box).width();
    }
    // A line edit keeps a little space inside its frame on either side.
    const int innerMargins = 4;
    box->setMinimumWidth(std::max(outer, text + 2 * frame) + innerMargins);
}
