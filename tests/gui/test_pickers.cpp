#include <algorithm>
#include <cmath>
#include <tuple>

#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "common/fomCalendarSelect.h"
#include "common/fomTimeSelect.h"
#include "common/oledate.h"
#include "common/pickertexts.h"
#include "modaldriver.h"
#include "pages.h"
#include "support/fakehost.h"
#include "support/testutil.h"

namespace {

DateValue at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return oleFromDateTime(QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC));
}

// The day numbers on the 42 buttons, 0 for an empty one.
QList<int> dayNumbers(const fomCalendarSelect &cal)
{
    QList<int> out;
    for (int k = 0; k < 42; ++k) {
        const QToolButton *b = page(cal).optDays(k);
        out << (b->isEnabled() ? b->text().toInt() : 0);
    }
    return out;
}

int checkedButton(const fomCalendarSelect &cal)
{
    for (int k = 0; k < 42; ++k)
        if (page(cal).optDays(k)->isChecked())
            return k;
    return -1;
}

} // namespace

TEST(DatePicker, MonthLayoutStartsOnTheFirstsWeekday)
{
    fomCalendarSelect cal;
    // January 2023 starts on a Sunday.
    cal.load(at(2023, 1, 15, 8, 30));
    QList<int> days = dayNumbers(cal);
    for (int k = 0; k < 42; ++k)
        EXPECT_EQ(days[k], k < 31 ? k + 1 : 0) << k;
    EXPECT_EQ(page(cal).lblYear()->text(), u"2023"_qs + PickerText::YearSuffix);
    EXPECT_EQ(page(cal).lblMonth()->text(), u"1"_qs + PickerText::MonthSuffix);
    EXPECT_EQ(checkedButton(cal), 14);

    // January 2022 starts on a Saturday: the 31st is on button 36.
    cal.load(at(2022, 1, 1));
    days = dayNumbers(cal);
    EXPECT_EQ(days[5], 0);
    EXPECT_EQ(days[6], 1);
    EXPECT_EQ(days[36], 31);
    EXPECT_EQ(days[37], 0);
    EXPECT_TRUE(page(cal).optDays(36)->text() == u"31"_qs);
    EXPECT_TRUE(page(cal).optDays(37)->text().isEmpty());

    // Another month shows no chosen day; the selection stays.
    click(page(cal).cmdMonthRight());
    EXPECT_EQ(checkedButton(cal), -1);
    EXPECT_EQ(cal.selectedDate(), QDate(2022, 1, 1));
    // February 2000 has 29 days, February 1900 28.
    cal.load(at(2000, 2, 10));
    days = dayNumbers(cal);
    EXPECT_EQ(*std::max_element(days.begin(), days.end()), 29);
    cal.load(at(1900, 2, 10));
    days = dayNumbers(cal);
    EXPECT_EQ(*std::max_element(days.begin(), days.end()), 28);
}

TEST(DatePicker, YearStepsAcross29FebruaryAndKeepTheTime)
{
    fomCalendarSelect cal;
    cal.load(at(2000, 2, 29, 13, 14, 15));
    click(page(cal).cmdYearRight());
    EXPECT_EQ(cal.shownMonth(), QDate(2001, 2, 28));
    EXPECT_EQ(cal.selectedDate(), QDate(2000, 2, 29));
    click(page(cal).cmdYearLeft());
    click(page(cal).cmdYearLeft());
    click(page(cal).cmdYearLeft());
    click(page(cal).cmdYearLeft());
    EXPECT_EQ(cal.shownMonth(), QDate(1997, 2, 28));
    // Choose the 3rd of the shown month (a Saturday: button 6 is the 1st).
    const int first = QDate(1997, 2, 1).dayOfWeek() % 7;
    click(page(cal).optDays(first + 2));
    EXPECT_EQ(cal.selectedDate(), QDate(1997, 2, 3));
    click(page(cal).cmdSelect());
    EXPECT_EQ(cal.chosenValue(), at(1997, 2, 3, 13, 14, 15));
}

TEST(DatePicker, StaysWithinTheYears100To9999)
{
    fomCalendarSelect cal;
    cal.load(at(9999, 11, 30));
    EXPECT_FALSE(page(cal).cmdYearRight()->isEnabled());
    EXPECT_TRUE(page(cal).cmdMonthRight()->isEnabled());
    click(page(cal).cmdMonthRight());
    EXPECT_EQ(cal.shownMonth().month(), 12);
    EXPECT_FALSE(page(cal).cmdMonthRight()->isEnabled());
    click(page(cal).cmdMonthRight());
    EXPECT_EQ(cal.shownMonth().year(), 9999);

    cal.load(at(100, 2, 1));
    EXPECT_EQ(page(cal).lblYear()->text(), u"100"_qs + PickerText::YearSuffix);
    EXPECT_FALSE(page(cal).cmdYearLeft()->isEnabled());
    click(page(cal).cmdMonthLeft());
    EXPECT_FALSE(page(cal).cmdMonthLeft()->isEnabled());
    EXPECT_EQ(cal.shownMonth().month(), 1);
}

TEST(DatePicker, ViewReturnsNoDateWhenCancelledAndStartsTodayWithoutDate)
{
    const FixedClock clock(testNow());
    whenModal<fomCalendarSelect>([](fomCalendarSelect *cal) {
        EXPECT_EQ(cal->selectedDate(), testNow().date());
        click(page(cal).cmdCancel());
    });
    EXPECT_EQ(fomCalendarSelect::View(NoDate), NoDate);
    whenModal<fomCalendarSelect>([](fomCalendarSelect *cal) { click(page(cal).cmdSelect()); });
    EXPECT_EQ(fomCalendarSelect::View(at(2010, 6, 7, 1, 2, 3)), at(2010, 6, 7, 1, 2, 3));
}

TEST(TimePicker, HourLabelAndHalfOfTheDay)
{
    fomTimeSelect t;
    const struct {
        int h, m;
        const char *label;
        int half;
    } cases[] = {{12, 30, "12", 1}, {0, 30, "0", 0}, {13, 5, "1", 1}, {11, 59, "11", 0}};
    for (const auto &c : cases) {
        t.load(at(2020, 5, 6, c.h, c.m, 7));
        EXPECT_EQ(page(t).lblHour()->text(), QString::fromLatin1(c.label) + PickerText::HourSuffix);
        EXPECT_TRUE(page(t).optAM(c.half)->isChecked()) << c.h;
        EXPECT_FALSE(page(t).optAM(1 - c.half)->isChecked()) << c.h;
    }
    EXPECT_EQ(page(t).lblMin()->text(), u"59"_qs + PickerText::MinuteSuffix);
    EXPECT_EQ(page(t).lblSec()->text(), u"7"_qs + PickerText::SecondSuffix);
    EXPECT_DOUBLE_EQ(fomTimeSelect::hourHandAngle(QTime(13, 30)), 405.0);
    EXPECT_DOUBLE_EQ(fomTimeSelect::minuteHandAngle(QTime(0, 15, 30)), 93.0);

    // PM adds twelve hours, AM takes them away.
    t.load(at(2020, 5, 6, 9, 0, 0));
    click(page(t).optAM(1));
    EXPECT_EQ(t.time(), QTime(21, 0));
    click(page(t).optAM(0));
    EXPECT_EQ(t.time(), QTime(9, 0));
}

TEST(TimePicker, StepsWrapAtMidnightOnTheSameDate)
{
    fomTimeSelect t;
    t.load(at(2020, 5, 6, 23, 0, 0));
    click(page(t).cmdHourRight());
    EXPECT_EQ(t.time(), QTime(0, 0));
    EXPECT_EQ(page(t).lblHour()->text(), u"0"_qs + PickerText::HourSuffix);
    click(page(t).cmdSecLeft());
    EXPECT_EQ(t.time(), QTime(23, 59, 59));
    click(page(t).cmdMinRight());
    EXPECT_EQ(t.time(), QTime(0, 0, 59));
    click(page(t).cmdSelect());
    EXPECT_EQ(t.chosenValue(), at(2020, 5, 6, 0, 0, 59));

    whenModal<fomTimeSelect>([](fomTimeSelect *dlg) {
        click(page(dlg).cmdHourRight());
        click(page(dlg).cmdCancel());
    });
    EXPECT_EQ(fomTimeSelect::View(at(2020, 5, 6, 1, 2, 3)), NoDate);
}

namespace {

// Contrast as accessibility guidelines define it, worked out here on its own.
double wcagContrast(const QColor &a, const QColor &b)
{
    const auto lum = [](const QColor &c) {
        const auto lin = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
    };
    const double x = lum(a), y = lum(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

QPalette darkPalette()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x20, 0x20, 0x24));
    p.setColor(QPalette::WindowText, QColor(0xe0, 0xe0, 0xe0));
    p.setColor(QPalette::Base, QColor(0x18, 0x18, 0x1a));
    p.setColor(QPalette::Text, QColor(0xe0, 0xe0, 0xe0));
    p.setColor(QPalette::Button, QColor(0x30, 0x30, 0x34));
    p.setColor(QPalette::ButtonText, QColor(0xe0, 0xe0, 0xe0));
    return p;
}

} // namespace

TEST(CalendarLook, WeekendHeadingsKeepTheirHueAndReadOnLightAndDarkThemes)
{
    const struct {
        const char *theme;
        bool dark;
    } cases[] = {{"light", false}, {"dark", true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.theme);
        fomCalendarSelect cal;
        if (c.dark)
            cal.setPalette(darkPalette());
        cal.show();
        for (const auto &[name, hueLow, hueHigh] :
             {std::tuple{"lblWeek0", -25, 25}, std::tuple{"lblWeek6", 200, 260}}) {
            SCOPED_TRACE(name);
            auto *label = cal.findChild<QLabel *>(QString::fromLatin1(name));
            ASSERT_NE(label, nullptr);
            const QColor text = label->palette().color(QPalette::WindowText);
            const QColor back = label->palette().color(QPalette::Window);
            EXPECT_EQ(back, cal.palette().color(QPalette::Window));
            EXPECT_GE(wcagContrast(text, back), 4.5);
            int hue = text.hslHue();
            if (hue > 180 && hueLow < 0)
                hue -= 360;
            EXPECT_GE(hue, hueLow);
            EXPECT_LE(hue, hueHigh);
            EXPECT_GE(text.hslSaturation(), 128);
        }
    }
}
