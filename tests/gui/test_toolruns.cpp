// Slimming and the bulk settings run in the main window's busy mode: window
// events get in during a run, the close box asks whether to stop it, and a
// stopped run leaves the book exactly as it was.
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include "core/ndbfile.h"
#include "mainwindowfixture.h"
#include "modaldriver.h"
#include "pages.h"
#include "tools/fomIDConv.h"
#include "tools/fomLightAddress.h"

TEST_F(MainWindowTest, TheCloseBoxStopsAToolRunAndAStoppedRunLeavesTheBookAsItWas)
{
    // Cards every run changes: a service address and a second ID, two
    // names, a memo, auto-record off.
    AddressBook b;
    for (int i = 1; i <= 40; ++i) {
        Card c = person(u"名前%1"_qs.arg(i), u"abc%1@nifty.com"_qs.arg(10000 + i));
        c.ids << u"other%1@x.jp"_qs.arg(i);
        c.names << u"別名%1"_qs.arg(i);
        c.memo = u"メモ"_qs;
        c.exchangeAutoRecord = FlagOff;
        ScriptedPrompter quiet;
        addCard(c, b, quiet);
    }
    const struct {
        const char *tool;
        const char *choice; // the level or function clicked
        Prompter::Button answer;
    } cases[] = {
        {"cmdCollectLight", "optLevel2", Prompter::Yes}, {"cmdCollectID", "chkFunc0", Prompter::Yes},
        {"cmdCollectID", "chkFunc1", Prompter::Yes},     {"cmdCollectLight", "optLevel2", Prompter::No},
        {"cmdCollectID", "chkFunc0", Prompter::No},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.choice) + (c.answer == Prompter::Yes ? " stopped" : " goes on"));
        window->document().setModified(false);
        openBook(b);
        const auto image = [this] { return buildNdbImage(window->document().book()).value(); };
        const QByteArray before = image();
        prompter.answer(c.answer);
        int checks = 0;
        bool eventsLetIn = false;
        whenModal<QDialog>([&](QDialog *d) {
            click(findControl<QAbstractButton>(d, QString::fromLatin1(c.choice)));
            QMetaObject::invokeMethod(
                d, [&] { eventsLetIn = window->document().isBusy(); }, Qt::QueuedConnection);
            // The close box, pressed before the fourth card.
            const GuiToolRun::StepHook closeBox = [&checks, d](qint64, qint64) {
                if (++checks == 4)
                    d->close();
            };
            if (auto *slim = qobject_cast<fomLightAddress *>(d))
                slim->setStepHook(closeBox);
            else
                qobject_cast<fomIDConv *>(d)->setStepHook(closeBox);
            click(findControl<QPushButton>(d, u"cmdExec"_qs));
        });
        QTest::mouseClick(window->findChild<QToolButton *>(QString::fromLatin1(c.tool)),
                          Qt::LeftButton);

        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_TRUE(eventsLetIn);
        EXPECT_FALSE(window->document().isBusy() || window->document().interruptRequested());
        ASSERT_FALSE(prompter.asked.isEmpty());
        EXPECT_EQ(prompter.asked[0].message.text, u"処理中ですが、中断しますか？"_qs);
        const bool stopped = c.answer == Prompter::Yes;
        EXPECT_EQ(prompter.asked.size() == 1, stopped) << prompter.texts().join(u'|').toStdString();
        EXPECT_EQ(image() == before, stopped);
        EXPECT_EQ(window->document().isModified(), !stopped);
    }
}
