// Slimming and the bulk settings run in the main window's busy mode: window
// events get in between cards, the close box asks whether to stop, and a
// stopped run leaves the book exactly as it was.
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <functional>

#include "core/ndbfile.h"
#include "mainwindowfixture.h"
#include "modaldriver.h"
#include "support/testutil.h"
#include "tools/fomIDConv.h"
#include "tools/fomLightAddress.h"

namespace {

const QString StopQuestion = QStringLiteral("処理中ですが、中断しますか？");

struct ToolRunCase
{
    const char *name;
    const char *button;
    std::function<void(QDialog *)> choose; // picks what the run does
    Prompter::Button answer;               // to the stop question
};

template <class W> W *child(QObject *parent, const char *name)
{
    return parent->findChild<W *>(QString::fromLatin1(name));
}

const ToolRunCase ToolRunCases[] = {
    {"slimming stopped", "cmdCollectLight",
     [](QDialog *d) { QTest::mouseClick(child<QRadioButton>(d, "optLevel2"), Qt::LeftButton); },
     Prompter::Yes},
    {"ID conversion stopped", "cmdCollectID",
     [](QDialog *d) { QTest::mouseClick(child<QCheckBox>(d, "chkFunc0"), Qt::LeftButton); },
     Prompter::Yes},
    {"flags stopped", "cmdCollectID",
     [](QDialog *d) { QTest::mouseClick(child<QCheckBox>(d, "chkFunc1"), Qt::LeftButton); },
     Prompter::Yes},
    {"slimming goes on", "cmdCollectLight",
     [](QDialog *d) { QTest::mouseClick(child<QRadioButton>(d, "optLevel2"), Qt::LeftButton); },
     Prompter::No},
    {"ID conversion goes on", "cmdCollectID",
     [](QDialog *d) { QTest::mouseClick(child<QCheckBox>(d, "chkFunc0"), Qt::LeftButton); },
     Prompter::No},
};

// Acts at each check of a tool's run.
void onEachCheck(QDialog *d, GuiToolRun::StepHook hook)
{
    if (auto *slim = qobject_cast<fomLightAddress *>(d))
        slim->setStepHook(std::move(hook));
    else if (auto *conv = qobject_cast<fomIDConv *>(d))
        conv->setStepHook(std::move(hook));
}

} // namespace

class ToolRuns : public MainWindowTest
{
protected:
    // Cards every tool changes: two IDs (the first a service address), two
    // names, a memo, auto-record off.
    void openChangeableBook()
    {
        AddressBook b;
        ScriptedPrompter quiet;
        for (int i = 1; i <= 40; ++i) {
            Card c = person(u"名前%1"_qs.arg(i), u"abc%1@nifty.com"_qs.arg(10000 + i));
            c.ids << u"other%1@x.jp"_qs.arg(i);
            c.names << u"別名%1"_qs.arg(i);
            c.memo = u"メモ"_qs;
            c.exchangeAutoRecord = FlagOff;
            addCard(c, b, quiet);
        }
        openBook(b);
        ASSERT_EQ(window->session().book.cards[40].ids.size(), 2);
        ASSERT_EQ(window->session().book.cards[40].memo, u"メモ"_qs);
    }
    QByteArray image() const { return buildNdbImage(window->session().book).value_or(QByteArray()); }
};

TEST_F(ToolRuns, TheCloseBoxStopsARunAndAStoppedRunLeavesTheBookAsItWas)
{
    for (const ToolRunCase &c : ToolRunCases) {
        SCOPED_TRACE(c.name);
        window->session().modified = false;
        openChangeableBook();
        const QByteArray before = image();
        prompter.clear();
        prompter.answer(c.answer);
        int checks = 0;
        bool eventsLetIn = false;
        whenModal<QDialog>([&](QDialog *d) {
            c.choose(d);
            // Waiting for the run: comes in at its first check.
            QMetaObject::invokeMethod(
                d, [&] { eventsLetIn = window->session().busy; }, Qt::QueuedConnection);
            // The close box, pressed before the fourth card.
            onEachCheck(d, [&checks, d](qint64, qint64) {
                if (++checks == 4)
                    d->close();
            });
            QTest::mouseClick(child<QPushButton>(d, "cmdExec"), Qt::LeftButton);
        });
        QTest::mouseClick(child<QToolButton>(window.get(), c.button), Qt::LeftButton);

        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_TRUE(eventsLetIn);
        EXPECT_FALSE(window->session().busy);
        EXPECT_FALSE(window->session().interruptRequested);
        ASSERT_FALSE(prompter.asked.isEmpty());
        EXPECT_EQ(prompter.asked[0].message.text, StopQuestion);
        if (c.answer == Prompter::Yes) {
            EXPECT_EQ(checks, 4);
            EXPECT_EQ(prompter.asked.size(), 1) << prompter.texts().join(u'|').toStdString();
            EXPECT_TRUE(image() == before);
            EXPECT_FALSE(window->session().modified);
        } else {
            EXPECT_GE(prompter.asked.size(), 2); // the run's own message
            EXPECT_FALSE(image() == before);
            EXPECT_TRUE(window->session().modified);
        }
    }
}
