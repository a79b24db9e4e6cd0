#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>

#include "common/fomMsgBox.h"
#include "common/guiprompter.h"
#include "support/testutil.h"

TEST(MsgBox, ButtonFlgOfEveryWayOut)
{
    fomMsgBox box;
    const char *names[] = {"cmdYes", "cmdNo", "cmdAllYes", "cmdCancel"};
    const qint16 flags[] = {1, 0, 2, -1};
    for (int i = 0; i < 4; ++i) {
        auto *b = box.findChild<QPushButton *>(QString::fromLatin1(names[i]));
        ASSERT_NE(b, nullptr) << names[i];
        EXPECT_EQ(b->text(), fomMsgBox::standardCaptions()[i]);
        box.show();
        b->click();
        EXPECT_FALSE(box.isVisible());
        EXPECT_EQ(box.ButtonFlg(), flags[i]) << names[i];
    }
    // The close box and Esc after an earlier Yes: each question starts at -1.
    box.findChild<QPushButton *>(u"cmdYes"_qs)->click();
    box.show();
    box.close();
    EXPECT_EQ(box.ButtonFlg(), -1);
    box.findChild<QPushButton *>(u"cmdYes"_qs)->click();
    box.show();
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&box, &esc);
    EXPECT_EQ(box.ButtonFlg(), -1);
}

TEST(MsgBox, GuiPrompterChooseReturnsTheIndex)
{
    GuiPrompter prompter;
    // Enter presses the default button.
    QTimer::singleShot(0, [] {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(QApplication::activeModalWidget(), &enter);
    });
    EXPECT_EQ(prompter.choose(u"質問"_qs, {u"A"_qs, u"B"_qs, u"C"_qs}, 1), 1);
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_EQ(prompter.choose(u"質問"_qs, {u"A"_qs, u"B"_qs}, 0), -1);
}
