#include "common/fomMsgBox.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

struct StandardButton
{
    const char *name;
    QString caption;
    qint16 flag;
};

const QList<StandardButton> &standardButtons()
{
    static const QList<StandardButton> list{
        {"cmdYes", QStringLiteral("はい(&Y)"), fomMsgBox::FlgYes},
        {"cmdNo", QStringLiteral("いいえ(&N)"), fomMsgBox::FlgNo},
        {"cmdAllYes", QStringLiteral("すべて削除(&A)"), fomMsgBox::FlgAllYes},
        {"cmdCancel", QStringLiteral("ｷｬﾝｾﾙ"), fomMsgBox::FlgCancel},
    };
    return list;
}

// Message texts keep CR LF line ends; a label breaks lines at LF alone.
QString forDisplay(const QString &text)
{
    QString s = text;
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

} // namespace

fomMsgBox::fomMsgBox(QWidget *parent) : QDialog(parent)
{
    build(standardCaptions());
}

fomMsgBox::fomMsgBox(const QStringList &captions, QWidget *parent) : QDialog(parent)
{
    build(captions);
}

QStringList fomMsgBox::standardCaptions()
{
    QStringList out;
    for (const auto &b : standardButtons())
        out << b.caption;
    return out;
}

void fomMsgBox::build(const QStringList &captions)
{
    setObjectName(QStringLiteral("fomMsgBox"));
    setWindowTitle(QStringLiteral("Brindle"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setModal(true);

    lblIcon = new QLabel(this);
    lblIcon->setObjectName(QStringLiteral("lblIcon"));
    lblIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    lblIcon->hide();
    lblMessage = new QLabel(this);
    lblMessage->setObjectName(QStringLiteral("lblMessage"));
    lblMessage->setTextFormat(Qt::PlainText);
    lblMessage->setWordWrap(false);
    lblMessage->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblMessage->setMinimumWidth(240);

    auto *top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(lblIcon, 0, Qt::AlignTop);
    top->addWidget(lblMessage, 1);

    auto *row = new QHBoxLayout;
    row->addStretch(1);
    for (int i = 0; i < captions.size(); ++i) {
        auto *b = new QPushButton(captions[i], this);
        qint16 flag = qint16(i);
        QString name = QStringLiteral("cmdChoice%1").arg(i);
        for (const auto &s : standardButtons()) {
            if (s.caption == captions[i]) {
                flag = s.flag;
                name = QString::fromLatin1(s.name);
                break;
            }
        }
        b->setObjectName(name);
        m_flags.append(flag);
        buttons.append(b);
        row->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, i] { press(i); });
    }
    row->addStretch(1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->setSpacing(18);
    layout->addLayout(top);
    layout->addLayout(row);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setDefaultIndex(0);
}

void fomMsgBox::setMessage(const QString &text)
{
    lblMessage->setText(forDisplay(text));
}

QString fomMsgBox::message() const
{
    return lblMessage->text();
}

void fomMsgBox::setIcon(Prompter::Icon icon)
{
    QStyle::StandardPixmap p;
    switch (icon) {
    case Prompter::Icon::Information: p = QStyle::SP_MessageBoxInformation; break;
    case Prompter::Icon::Warning: p = QStyle::SP_MessageBoxWarning; break;
    case Prompter::Icon::Critical: p = QStyle::SP_MessageBoxCritical; break;
    case Prompter::Icon::Question: p = QStyle::SP_MessageBoxQuestion; break;
    case Prompter::Icon::None:
    default:
        lblIcon->clear();
        lblIcon->hide();
        return;
    }
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    lblIcon->setPixmap(style()->standardIcon(p, nullptr, this).pixmap(size, size));
    lblIcon->show();
}

void fomMsgBox::setDefaultIndex(int index)
{
    m_default = index;
    for (int i = 0; i < buttons.size(); ++i)
        buttons[i]->setDefault(i == index);
}

void fomMsgBox::showEvent(QShowEvent *event)
{
    // Opening the box starts a new question.
    m_buttonFlg = FlgCancel;
    m_chosen = -1;
    if (m_default >= 0 && m_default < buttons.size())
        buttons[m_default]->setFocus();
    QDialog::showEvent(event);
}

void fomMsgBox::press(int index)
{
    m_chosen = index;
    m_buttonFlg = m_flags.value(index, FlgCancel);
    done(QDialog::Accepted);
}

qint16 fomMsgBox::Ask(const QString &text, QWidget *parent)
{
    fomMsgBox box(parent);
    box.setMessage(text);
    box.setIcon(Prompter::Icon::Question);
    box.exec();
    return box.ButtonFlg();
}
