#pragma once
// The date picker: a month calendar that changes the calendar date of a date
// value and passes its time of day through.

#include <QDate>
#include <QDialog>
#include <QTime>

#include "common/datevalue.h"

class QLabel;
class QPushButton;
class QToolButton;
class QWidget;

class fomCalendarSelect : public QDialog
{
    Q_OBJECT
public:
    explicit fomCalendarSelect(QWidget *parent = nullptr);

    // Shows the picker modally on value (NoDate: now). Returns the chosen
    // date at value's time of day, or NoDate when the user cancelled.
    static DateValue View(DateValue value, QWidget *parent = nullptr);

    // Starts from value (NoDate or an unshowable value: now).
    void load(DateValue value);
    // NoDate until "選択" is pressed.
    DateValue chosenValue() const { return m_result; }
    QDate selectedDate() const { return m_selected; }
    QDate shownMonth() const { return m_shown; }

protected:
    void changeEvent(QEvent *event) override;

private:
    QLabel *lblYear = nullptr;
    QLabel *lblMonth = nullptr;
    QPushButton *cmdYearLeft = nullptr;
    QPushButton *cmdYearRight = nullptr;
    QPushButton *cmdMonthLeft = nullptr;
    QPushButton *cmdMonthRight = nullptr;
    QPushButton *cmdNow = nullptr;
    QPushButton *cmdSelect = nullptr;
    QPushButton *cmdCancel = nullptr;
    QLabel *lblWeek[7] = {};
    QWidget *Picture1 = nullptr;
    QToolButton *optDays[42] = {};

private:
    void showMonth();
    // Gives Sunday's and Saturday's headings their colours for the current palette.
    void colourWeekend();
    void moveShown(int years, int months);
    void selectDay(int index);
    void choose();

    QDate m_selected;
    QTime m_time;
    QDate m_shown;
    DateValue m_result = NoDate;
};
