#include "common/fomCalendarSelect.h"

#include <QDateTime>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "common/dateutil.h"
#include "common/guipicker.h"
#include "common/oledate.h"
#include "common/pickertexts.h"

namespace {

// The calendar spans the years the date values can show.
constexpr int FirstYear = 100;
constexpr int LastYear = 9999;

} // namespace

fomCalendarSelect::fomCalendarSelect(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fomCalendarSelect"));
    setWindowTitle(PickerText::CalendarTitle);

    cmdYearLeft = pickerButton(this, "cmdYearLeft", PickerText::CalendarPrev);
    cmdYearRight = pickerButton(this, "cmdYearRight", PickerText::CalendarNext);
    cmdMonthLeft = pickerButton(this, "cmdMonthLeft", PickerText::CalendarPrev);
    cmdMonthRight = pickerButton(this, "cmdMonthRight", PickerText::CalendarNext);
    for (QPushButton *b : {cmdYearLeft, cmdYearRight, cmdMonthLeft, cmdMonthRight})
        b->setFixedWidth(32);
    lblYear = new QLabel(this);
    lblYear->setObjectName(QStringLiteral("lblYear"));
    lblMonth = new QLabel(this);
    lblMonth->setObjectName(QStringLiteral("lblMonth"));
    for (QLabel *l : {lblYear, lblMonth}) {
        l->setAlignment(Qt::AlignCenter);
        l->setMinimumWidth(64);
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }

    auto *top = new QHBoxLayout;
    top->addWidget(cmdYearLeft);
    top->addWidget(lblYear);
    top->addWidget(cmdYearRight);
    top->addStretch();
    top->addWidget(cmdMonthLeft);
    top->addWidget(lblMonth);
    top->addWidget(cmdMonthRight);

    Picture1 = new QWidget(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    auto *grid = new QGridLayout(Picture1);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(2);
    const QString weekdays[7] = {PickerText::Weekday0, PickerText::Weekday1, PickerText::Weekday2,
                                 PickerText::Weekday3, PickerText::Weekday4, PickerText::Weekday5,
                                 PickerText::Weekday6};
    for (int c = 0; c < 7; ++c) {
        lblWeek[c] = new QLabel(weekdays[c], Picture1);
        lblWeek[c]->setObjectName(QStringLiteral("lblWeek%1").arg(c));
        lblWeek[c]->setAlignment(Qt::AlignCenter);
        grid->addWidget(lblWeek[c], 0, c);
    }
    for (int k = 0; k < 42; ++k) {
        auto *b = new QToolButton(Picture1);
        b->setObjectName(QStringLiteral("optDays%1").arg(k));
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setFixedSize(34, 26);
        connect(b, &QToolButton::clicked, this, [this, k] { selectDay(k); });
        optDays[k] = b;
        grid->addWidget(b, 1 + k / 7, k % 7);
    }

    auto *root = new QVBoxLayout(this);
    root->addLayout(top);
    root->addWidget(Picture1);
    const PickerButtons buttons = addPickerButtons(this, root, PickerText::Today);
    cmdNow = buttons.now;
    cmdSelect = buttons.select;
    cmdCancel = buttons.cancel;

    connect(cmdYearLeft, &QPushButton::clicked, this, [this] { moveShown(-1, 0); });
    connect(cmdYearRight, &QPushButton::clicked, this, [this] { moveShown(1, 0); });
    connect(cmdMonthLeft, &QPushButton::clicked, this, [this] { moveShown(0, -1); });
    connect(cmdMonthRight, &QPushButton::clicked, this, [this] { moveShown(0, 1); });
    connect(cmdNow, &QPushButton::clicked, this, [this] {
        m_selected = m_shown = localNow().date();
        showMonth();
    });
    connect(cmdSelect, &QPushButton::clicked, this, &fomCalendarSelect::choose);

    colourWeekend();
    load(NoDate);
}

void fomCalendarSelect::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        colourWeekend();
}

void fomCalendarSelect::colourWeekend()
{
    // Sunday red, Saturday blue, each made readable on this palette's background.
    const struct {
        QLabel *label;
        int hue;
    } days[2] = {{lblWeek[0], 0}, {lblWeek[6], 240}};
    for (const auto &d : days) {
        QPalette p = d.label->palette();
        p.setColor(QPalette::WindowText, readableHue(palette(), d.hue));
        d.label->setPalette(p);
    }
}

DateValue fomCalendarSelect::View(DateValue value, QWidget *parent)
{
    return showPicker<fomCalendarSelect>(value, parent);
}

void fomCalendarSelect::load(DateValue value)
{
    const QDateTime dt = pickerStart(value);
    m_selected = dt.date();
    m_time = dt.time();
    m_shown = m_selected;
    m_result = NoDate;
    showMonth();
}

void fomCalendarSelect::moveShown(int years, int months)
{
    const QDate next = m_shown.addYears(years).addMonths(months);
    if (next.year() < FirstYear || next.year() > LastYear)
        return;
    m_shown = next;
    showMonth();
}

void fomCalendarSelect::selectDay(int index)
{
    const int w = QDate(m_shown.year(), m_shown.month(), 1).dayOfWeek() % 7 + 1;
    const int day = index + 2 - w;
    if (day >= 1 && day <= daysInMonth(m_shown.year(), m_shown.month()))
        m_selected = QDate(m_shown.year(), m_shown.month(), day);
    showMonth();
}

void fomCalendarSelect::choose()
{
    m_result = oleFromDateTime(QDateTime(m_selected, m_time, Qt::UTC));
    accept();
}

void fomCalendarSelect::showMonth()
{
    const int y = m_shown.year();
    const int m = m_shown.month();
    // Weekday of the 1st, 1 = Sunday .. 7 = Saturday.
    const int w = QDate(y, m, 1).dayOfWeek() % 7 + 1;
    const int days = daysInMonth(y, m);
    cmdYearLeft->setEnabled(y > FirstYear);
    cmdMonthLeft->setEnabled(y > FirstYear || m > 1);
    cmdYearRight->setEnabled(y < LastYear);
    cmdMonthRight->setEnabled(y < LastYear || m < 12);
    lblYear->setText(QStringLiteral("%1").arg(y, 2, 10, QLatin1Char('0')) + PickerText::YearSuffix);
    lblMonth->setText(QString::number(m) + PickerText::MonthSuffix);

    const QDate today = localNow().date();
    for (int k = 0; k < 42; ++k) {
        QToolButton *b = optDays[k];
        const int day = k + 2 - w;
        QFont f = b->font();
        if (day < 1 || day > days) {
            b->setText(QString());
            b->setEnabled(false);
            b->setChecked(false);
            f.setBold(false);
        } else {
            const QDate d(y, m, day);
            b->setText(QString::number(day));
            b->setEnabled(true);
            b->setChecked(d == m_selected);
            f.setBold(d == today);
        }
        b->setFont(f);
    }
}
