#include "common/fomTimeSelect.h"

#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QtMath>

#include "common/guipicker.h"
#include "common/oledate.h"
#include "common/pickertexts.h"

namespace {

// The analogue clock: a face with sixty marks and three hands.
class ClockFace : public QWidget
{
public:
    explicit ClockFace(QWidget *parent) : QWidget(parent)
    {
        setFixedSize(140, 140);
    }
    void setTime(QTime t)
    {
        m_time = t;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillRect(rect(), palette().base());
        const qreal r = qMin(width(), height()) / 2.0 - 4;
        p.translate(width() / 2.0, height() / 2.0);

        p.setPen(QPen(palette().text().color(), 1));
        p.drawEllipse(QPointF(0, 0), r, r);
        for (int i = 0; i < 60; ++i) {
            const bool hour = i % 5 == 0;
            p.save();
            p.rotate(i * 6.0);
            p.setPen(QPen(palette().text().color(), hour ? 2.5 : 1));
            p.drawLine(QPointF(0, -r + 2), QPointF(0, -r + (hour ? 11 : 5)));
            p.restore();
        }

        const auto hand = [&](double angle, qreal length, qreal width, const QColor &colour) {
            p.save();
            p.rotate(angle);
            p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(0, length * 0.15), QPointF(0, -length));
            p.restore();
        };
        const QColor ink = palette().text().color();
        hand(fomTimeSelect::hourHandAngle(m_time), r * 0.5, 5, ink);
        hand(fomTimeSelect::minuteHandAngle(m_time), r * 0.78, 3, ink);
        hand(fomTimeSelect::secondHandAngle(m_time), r * 0.86, 1, QColor(0xc0, 0, 0));
        p.setBrush(ink);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(0, 0), 3.5, 3.5);
    }

private:
    QTime m_time{0, 0};
};

} // namespace

fomTimeSelect::fomTimeSelect(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fomTimeSelect"));
    setWindowTitle(PickerText::ClockTitle);

    picClock = new ClockFace(this);
    picClock->setObjectName(QStringLiteral("picClock"));

    auto *rows = new QGridLayout;
    const auto row = [&](int r, QPushButton *&left, QLabel *&label, QPushButton *&right,
                         const char *leftName, const char *labelName, const char *rightName) {
        left = pickerButton(this, leftName, PickerText::StepBack);
        right = pickerButton(this, rightName, PickerText::StepForward);
        left->setFixedWidth(32);
        right->setFixedWidth(32);
        left->setAutoRepeat(true);
        right->setAutoRepeat(true);
        label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(labelName));
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(60);
        rows->addWidget(left, r, 0);
        rows->addWidget(label, r, 1);
        rows->addWidget(right, r, 2);
    };
    row(0, cmdHourLeft, lblHour, cmdHourRight, "cmdHourLeft", "lblHour", "cmdHourRight");
    row(1, cmdMinLeft, lblMin, cmdMinRight, "cmdMinLeft", "lblMin", "cmdMinRight");
    row(2, cmdSecLeft, lblSec, cmdSecRight, "cmdSecLeft", "lblSec", "cmdSecRight");

    optAM[0] = new QRadioButton(PickerText::Am, this);
    optAM[1] = new QRadioButton(PickerText::Pm, this);
    auto *ampm = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        optAM[i]->setObjectName(QStringLiteral("optAM%1").arg(i));
        ampm->addWidget(optAM[i]);
    }
    rows->addLayout(ampm, 3, 0, 1, 3, Qt::AlignHCenter);

    auto *middle = new QHBoxLayout;
    middle->addWidget(picClock);
    middle->addSpacing(8);
    middle->addLayout(rows);

    auto *root = new QVBoxLayout(this);
    root->addLayout(middle);
    const PickerButtons buttons = addPickerButtons(this, root, PickerText::CurrentTime);
    cmdNow = buttons.now;
    cmdSelect = buttons.select;
    cmdCancel = buttons.cancel;

    connect(cmdHourLeft, &QPushButton::clicked, this, [this] { step(-3600); });
    connect(cmdHourRight, &QPushButton::clicked, this, [this] { step(3600); });
    connect(cmdMinLeft, &QPushButton::clicked, this, [this] { step(-60); });
    connect(cmdMinRight, &QPushButton::clicked, this, [this] { step(60); });
    connect(cmdSecLeft, &QPushButton::clicked, this, [this] { step(-1); });
    connect(cmdSecRight, &QPushButton::clicked, this, [this] { step(1); });
    connect(optAM[0], &QRadioButton::clicked, this, [this] {
        if (m_time.hour() >= 12)
            step(-12 * 3600);
    });
    connect(optAM[1], &QRadioButton::clicked, this, [this] {
        if (m_time.hour() < 12)
            step(12 * 3600);
    });
    connect(cmdNow, &QPushButton::clicked, this, [this] {
        m_time = oleToDateTime(oleNow()).time();
        refresh();
    });
    connect(cmdSelect, &QPushButton::clicked, this, [this] {
        m_result = oleFromDateTime(QDateTime(m_date, m_time, Qt::UTC));
        accept();
    });

    load(NoDate);
}

DateValue fomTimeSelect::View(DateValue value, QWidget *parent)
{
    return showPicker<fomTimeSelect>(value, parent);
}

void fomTimeSelect::load(DateValue value)
{
    const QDateTime dt = pickerStart(value);
    m_date = dt.date();
    m_time = dt.time();
    m_result = NoDate;
    refresh();
}

void fomTimeSelect::step(int seconds)
{
    // QTime wraps around midnight; the date never changes.
    m_time = m_time.addSecs(seconds);
    refresh();
}

double fomTimeSelect::hourHandAngle(QTime t)
{
    return (t.hour() + t.minute() / 60.0) * 360.0 / 12.0;
}

double fomTimeSelect::minuteHandAngle(QTime t)
{
    return (t.minute() + t.second() / 60.0) * 360.0 / 60.0;
}

double fomTimeSelect::secondHandAngle(QTime t)
{
    return t.second() * 360.0 / 60.0;
}

void fomTimeSelect::refresh()
{
    const int h = m_time.hour();
    optAM[h / 12]->setChecked(true);
    lblHour->setText(QString::number(h <= 12 ? h : h - 12) + PickerText::HourSuffix);
    lblMin->setText(QString::number(m_time.minute()) + PickerText::MinuteSuffix);
    lblSec->setText(QString::number(m_time.second()) + PickerText::SecondSuffix);
    static_cast<ClockFace *>(picClock)->setTime(m_time);
}
