#pragma once
// The time picker: sets the time of day of a date value in steps of an
// hour, a minute or a second, with an analogue clock; the calendar date
// passes through.

#include <QDate>
#include <QDialog>
#include <QTime>

#include "common/datevalue.h"

class QLabel;
class QPushButton;
class QRadioButton;
class QWidget;

class fomTimeSelect : public QDialog
{
    Q_OBJECT
public:
    explicit fomTimeSelect(QWidget *parent = nullptr);

    // Shows the picker modally on value (NoDate: now). Returns value's date
    // at the chosen time, or NoDate when the user cancelled.
    static DateValue View(DateValue value, QWidget *parent = nullptr);

    // Starts from value (NoDate or an unshowable value: now).
    void load(DateValue value);
    // NoDate until "選択" is pressed.
    DateValue chosenValue() const { return m_result; }
    QTime time() const { return m_time; }

    // Angles of the hands in degrees, clockwise from twelve o'clock.
    static double hourHandAngle(QTime t);
    static double minuteHandAngle(QTime t);
    static double secondHandAngle(QTime t);

private:
    QLabel *lblHour = nullptr;
    QLabel *lblMin = nullptr;
    QLabel *lblSec = nullptr;
    QPushButton *cmdHourLeft = nullptr;
    QPushButton *cmdHourRight = nullptr;
    QPushButton *cmdMinLeft = nullptr;
    QPushButton *cmdMinRight = nullptr;
    QPushButton *cmdSecLeft = nullptr;
    QPushButton *cmdSecRight = nullptr;
    QRadioButton *optAM[2] = {};
    QPushButton *cmdNow = nullptr;
    QPushButton *cmdSelect = nullptr;
    QPushButton *cmdCancel = nullptr;
    QWidget *picClock = nullptr;

private:
    void step(int seconds);
    void refresh();

    QDate m_date;
    QTime m_time;
    DateValue m_result = NoDate;
};
