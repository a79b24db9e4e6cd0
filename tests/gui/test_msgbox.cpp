#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "common/fomMsgBox.h"
#include "common/guiprompter.h"
#include "support/testutil.h"

namespace {

QPushButton *button(fomMsgBox &box, const char *name)
{
    return box.findChild<QPushButton *>(QString::fromLatin1(name));
}

// Runs action on the modal window as soon as it is shown.
void whenModal(std::function<void(QWidget *)> action)
{
    QTimer::singleShot(0, [action] {
        QWidget *w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        action(w);
    });
}

} // namespace

TEST(MsgBox, ButtonFlgOfEveryWayOut)
{
    fomMsgBox box;
    EXPECT_EQ(box.windowTitle(), u"Brindle"_qs);
    ASSERT_EQ(box.buttons.size(), 4);
    // Captions left to right and their flags.
    const QStringList captions = fomMsgBox::standardCaptions();
    const char *names[] = {"cmdYes", "cmdNo", "cmdAllYes", "cmdCancel"};
    const qint16 flags[] = {1, 0, 2, -1};
    for (int i = 0; i < 4; ++i) {
        QPushButton *b = button(box, names[i]);
        ASSERT_NE(b, nullptr) << names[i];
        EXPECT_EQ(b->text(), captions[i]);
        EXPECT_EQ(box.buttons[i], b);
        box.show();
        EXPECT_EQ(box.ButtonFlg(), -1);
        b->click();
        EXPECT_FALSE(box.isVisible());
        EXPECT_EQ(box.ButtonFlg(), flags[i]) << names[i];
    }

    // The close box after an earlier Yes: a new question starts at -1.
    button(box, "cmdYes")->click();
    box.show();
    box.close();
    EXPECT_EQ(box.ButtonFlg(), -1);
    EXPECT_EQ(box.chosenIndex(), -1);

    // Esc is the close box too.
    box.show();
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&box, &esc);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.ButtonFlg(), -1);
}

TEST(MsgBox, AskShowsTheMessageAndReturnsTheFlag)
{
    const QString text = u"一行目\r\n\r\n三行目"_qs;
    whenModal([](QWidget *w) {
        auto *box = qobject_cast<fomMsgBox *>(w);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->lblMessage->text(), u"一行目\n\n三行目"_qs);
        box->findChild<QPushButton *>(u"cmdAllYes"_qs)->click();
    });
    EXPECT_EQ(fomMsgBox::Ask(text), 2);
}

TEST(MsgBox, GuiPrompterChooseReturnsTheIndexOfOwnCaptions)
{
    GuiPrompter prompter;
    whenModal([](QWidget *w) {
        auto *box = qobject_cast<fomMsgBox *>(w);
        ASSERT_NE(box, nullptr);
        ASSERT_EQ(box->buttons.size(), 3);
        EXPECT_EQ(box->windowTitle(), u"題"_qs);
        EXPECT_TRUE(box->buttons[1]->isDefault());
        box->buttons[2]->click();
    });
    EXPECT_EQ(prompter.choose(u"質問"_qs, {u"A"_qs, u"B"_qs, u"C"_qs}, 1,
                              Prompter::Icon::Question, u"題"_qs),
              2);

    whenModal([](QWidget *w) { w->close(); });
    EXPECT_EQ(prompter.choose(u"質問"_qs, {u"A"_qs, u"B"_qs}, 0), -1);

    // Enter presses the default button.
    whenModal([](QWidget *w) {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(w, &enter);
    });
    EXPECT_EQ(prompter.choose(u"質問"_qs, {u"A"_qs, u"B"_qs}, 1), 1);
}
