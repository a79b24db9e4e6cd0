#pragma once
// What the date and time pickers share: their buttons, the row at their foot,
// the date-time they start from and how they are shown.

#include <QDateTime>
#include <QString>

#include "common/datevalue.h"

class QColor;
class QDialog;
class QPalette;
class QPushButton;
class QVBoxLayout;
class QWidget;

// A push button named name that Enter does not press.
QPushButton *pickerButton(QWidget *parent, const char *name, const QString &text);

struct PickerButtons
{
    QPushButton *now = nullptr;
    QPushButton *select = nullptr;
    QPushButton *cancel = nullptr;
};
// Ends root, the picker's layout, with its foot row: "now" (cmdNow, nowText)
// on the left, "選択" (cmdSelect, the default button) and "ｷｬﾝｾﾙ" (cmdCancel,
// rejects the picker) on the right. The picker keeps the size of its
// contents.
PickerButtons addPickerButtons(QDialog *picker, QVBoxLayout *root, const QString &nowText);

// The date-time a picker starts from: value's, or now for NoDate and a value
// that cannot be shown.
QDateTime pickerStart(DateValue value);

// The contrast ratio of two colours as accessibility guidelines measure it:
// 1 (the same luminance) up to 21 (black on white).
double contrastRatio(const QColor &a, const QColor &b);

// A colour of the given hue (0..359) for text on the palette's window
// background, as saturated as it can be while keeping at least minContrast
// against it: darkened on a light background, lightened on a dark one.
QColor readableHue(const QPalette &palette, int hue, double minContrast = 4.5);

// Shows a picker (fomCalendarSelect, fomTimeSelect) modally, starting from
// value. Returns what it chose, or NoDate when the user cancelled.
template <class Picker>
DateValue showPicker(DateValue value, QWidget *parent)
{
    Picker picker(parent);
    picker.load(value);
    picker.exec();
    return picker.chosenValue();
}
