// How wide boxes are and where the main window's bars put their controls.
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QStyle>
#include <QTemporaryDir>

#include "cardedit/fomCardEdit.h"
#include "common/guiprompter.h"
#include "mainwindowfixture.h"
#include "modaldriver.h"
#include "pages.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

namespace {

// What a box must at least span to show sixty half-width characters of its font.
int sixtyCharacters(const QWidget *box)
{
    const int frame = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, box);
    return box->fontMetrics().horizontalAdvance(QString(60, u'0')) + 2 * frame;
}

} // namespace

TEST(BoxWidths, CardEditorBoxesHoldSixtyHalfWidthCharacters)
{
    AddressBook book;
    Card c;
    c.number = 1;
    c.ids = {u"a@example.jp"_qs};
    c.names = {u"A"_qs};
    c.groups = {u"g"_qs};
    book.cards << c;
    book.cardCounter = 2;
    CardEditOptions options;
    ScriptedPrompter prompter;
    fomCardEdit dlg(book, 0, options, prompter);
    dlg.show();
    for (const char *name : {"cboID", "cboName", "cboGroup"}) {
        SCOPED_TRACE(name);
        auto *box = dlg.findChild<QComboBox *>(QString::fromLatin1(name));
        ASSERT_NE(box, nullptr);
        EXPECT_GE(box->width(), sixtyCharacters(box));
    }
}

TEST(BoxWidths, TheLineInputBoxHoldsSixtyHalfWidthCharacters)
{
    int width = 0, needed = 1;
    whenModal<QInputDialog>([&](QInputDialog *d) {
        auto *edit = d->findChild<QLineEdit *>();
        ASSERT_NE(edit, nullptr);
        width = edit->width();
        needed = sixtyCharacters(edit);
        d->reject();
    });
    GuiPrompter prompter;
    QString value = u"m1"_qs;
    EXPECT_FALSE(prompter.input(u"履歴"_qs, QString(), value));
    EXPECT_EQ(value, u"m1"_qs);
    EXPECT_GE(width, needed);
}

TEST(FileDialogLook, OpensLargeEnoughForItsColumns)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Prompter::FileRequest r;
    r.folder = dir.path();
    QSize size;
    whenModal<QFileDialog>([&](QFileDialog *d) {
        size = d->size();
        d->reject();
    });
    GuiPrompter prompter;
    EXPECT_TRUE(prompter.openFile(r).path.isEmpty());
    EXPECT_GE(size.width(), 800);
    EXPECT_GE(size.height(), 500);
}

namespace {

class SearchBarTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        AddressBook b;
        Card c = person(u"a"_qs, u"a@x.jp"_qs);
        c.groups = {QString(40, u'ｸ'), u"長いグループの名前がここに並びます、とても長い"_qs};
        addCard(c, b, prompter, 45000.5);
        openBook(b, u"demo.ndb"_qs);
        window->show();
    }
};

} // namespace

TEST_F(SearchBarTest, ChoosingAFieldKeepsTheWindowAndTheReverseBox)
{
    auto *fields = window->findChild<QComboBox *>(u"cboSearchList"_qs);
    auto *reverse = window->findChild<QCheckBox *>(u"chkSortReverce"_qs);
    ASSERT_NE(fields, nullptr);
    ASSERT_NE(reverse, nullptr);
    QApplication::processEvents();
    const int width = window->width();
    fields->setFocus();
    for (int i = 0; i < fields->count(); ++i) {
        SCOPED_TRACE(fields->itemText(i).toStdString());
        chooseEntry(fields, i);
        QApplication::processEvents();
        EXPECT_EQ(window->width(), width);
        const QRect inParent = reverse->geometry();
        EXPECT_TRUE(reverse->parentWidget()->rect().contains(inParent));
        const QRect inWindow(reverse->mapTo(window.get(), QPoint(0, 0)), reverse->size());
        EXPECT_TRUE(window->rect().contains(inWindow));
    }
}
