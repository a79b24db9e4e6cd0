#include "common/guipicker.h"

#include <QColor>
#include <QDialog>
#include <QPalette>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/oledate.h"
#include "common/pickertexts.h"

#include <algorithm>
#include <cmath>

namespace {

double channel(double c)
{
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor &c)
{
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

} // namespace

QPushButton *pickerButton(QWidget *parent, const char *name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

PickerButtons addPickerButtons(QDialog *picker, QVBoxLayout *root, const QString &nowText)
{
    PickerButtons b;
    b.now = pickerButton(picker, "cmdNow", nowText);
    b.select = pickerButton(picker, "cmdSelect", PickerText::Select);
    b.cancel = pickerButton(picker, "cmdCancel", PickerText::Cancel);
    b.select->setDefault(true);
    auto *row = new QHBoxLayout;
    row->addWidget(b.now);
    row->addStretch();
    row->addWidget(b.select);
    row->addWidget(b.cancel);
    root->addLayout(row);
    root->setSizeConstraint(QLayout::SetFixedSize);
    QObject::connect(b.cancel, &QPushButton::clicked, picker, &QDialog::reject);
    return b;
}

QDateTime pickerStart(DateValue value)
{
    const QDateTime dt = value == NoDate ? QDateTime() : oleToDateTime(value);
    return dt.isValid() ? dt : oleToDateTime(oleNow());
}

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableHue(const QPalette &palette, int hue, double minContrast)
{
    const QColor background = palette.color(QPalette::Window);
    // Walk the lightness from a full-strength hue towards the text colour's
    // end of the scale; the first step that reads well is the most colourful.
    const bool darkBackground = luminance(background) < 0.18;
    const int step = darkBackground ? 4 : -4;
    QColor c;
    for (int l = 128; l >= 0 && l <= 255; l += step) {
        c = QColor::fromHsl(hue, 255, l);
        if (contrastRatio(c, background) >= minContrast)
            return c;
    }
    return palette.color(QPalette::WindowText);
}
