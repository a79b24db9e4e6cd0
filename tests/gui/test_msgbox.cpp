#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>

#include "common/fomMsgBox.h"
#include "common/guiprompter.h"
#include "pages.h"
#include "support/testutil.h"

TEST(MsgBox, ButtonFlgOfEveryWayOut)
{
    fomMsgBox box;
    const char *names[] = {"cmdYes", "cmdNo", "cmdAllYes", "cmdCancel"};
    const qint16 flags[] = {1, 0, 2, -1};
    for (int i = 0; i < 4; ++i) {
        QPushButton *b = page(box).control<QPushButton>(QString::fromLatin1(names[i]));
        EXPECT_EQ(b->text(), fomMsgBox::standardCaptions()[i]);
        box.show();
        click(b);
        EXPECT_FALSE(box.isVisible());
        EXPECT_EQ(box.ButtonFlg(), flags[i]) << names[i];
    }
    // The close box and Esc after an earlier Yes: each question starts at -1.
    click(page(box).cmdYes());
    box.show();
    box.close();
    EXPECT_EQ(box.ButtonFlg(), -1);
    click(page(box).cmdYes());
    box.show();
    QTest::keyClick(&box, Qt::Key_Escape);
    EXPECT_EQ(box.ButtonFlg(), -1);
}

TEST(MsgBox, GuiPrompterChooseReturnsTheIndex)
{
    GuiPrompter prompter;
    // Enter presses the default button.
    QTimer::singleShot(0, [] {
        QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return);
    });
    EXPECT_EQ(prompter.choose(u"質問"_qs, {u"A"_qs, u"B"_qs, u"C"_qs}, 1), 1);
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_EQ(prompter.choose(u"質問"_qs, {u"A"_qs, u"B"_qs}, 0), -1);
}
