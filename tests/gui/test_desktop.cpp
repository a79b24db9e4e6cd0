// The window as desktop users expect it: whole titles, the usual shortcuts.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

#include "cardedit/fomCardEdit.h"
#include "cardedit/fomGroupEdit.h"
#include "common/fomCalendarSelect.h"
#include "common/guiprompter.h"
#include "common/fomTimeSelect.h"
#include "common/fomVersion.h"
#include "formats/fomCsvPut.h"
#include "formats/fomEudoraPut.h"
#include "mainwindow/guiidentity.h"
#include "tools/fomLightAddress.h"
#include "mainwindow/menutable.h"
#include "mainwindowfixture.h"
#include "modaldriver.h"
#include "pages.h"
#include "support/testutil.h"

namespace {

class DesktopTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        AddressBook b;
        for (const char *name : {"a", "b"}) {
            Card c = person(QString::fromLatin1(name), QString::fromLatin1(name) + u"@x.jp"_qs);
            addCard(c, b, prompter, 45000.5);
        }
        openBook(b, u"demo.ndb"_qs);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
};

} // namespace

TEST_F(DesktopTest, TitlesAreTheWindowsOwnWithNothingAppended)
{
    const QString name = QApplication::applicationName();
    setProgramIdentity();
    // A display name of its own would be appended by the platform to every
    // title; the name as display name follows the application name.
    QApplication::setApplicationName(u"probe"_qs);
    EXPECT_EQ(QApplication::applicationDisplayName(), u"probe"_qs);
    QApplication::setApplicationName(name);

    EXPECT_EQ(window->windowTitle(), u"Brindle - demo.ndb"_qs);
    ASSERT_NE(window->windowHandle(), nullptr);
    EXPECT_EQ(window->windowHandle()->title(), u"Brindle - demo.ndb"_qs);
}

TEST_F(DesktopTest, ShortcutsReachTheirCommandsFromTheList)
{
    struct Case
    {
        const char *action;
        QKeyCombination key;
    };
    const Case cases[] = {
        {"mnuFileNew", Qt::CTRL | Qt::Key_N},     {"mnuFileOpen", Qt::CTRL | Qt::Key_O},
        {"mnuFileSave", Qt::CTRL | Qt::Key_S},    {"mnuFileSaveAs", Qt::CTRL | Qt::SHIFT | Qt::Key_S},
        {"mnuFileExit", Qt::CTRL | Qt::Key_Q},    {"mnuEditEdit", Qt::CTRL | Qt::Key_E},
        {"mnuEditAllSel", Qt::CTRL | Qt::Key_A},  {"mnuViewUpdate", QKeyCombination(Qt::Key_F5)},
        {"mnuHelpTopic", QKeyCombination(Qt::Key_F1)},
    };
    ASSERT_EQ(MainMenuShortcutCount, int(std::size(cases)));
    clickRow(lstAdd(), 0); // a current card to edit
    for (const Case &c : cases) {
        QAction *a = act(c.action);
        ASSERT_NE(a, nullptr) << c.action;
        // The menu shows the key; the command itself is not run here.
        EXPECT_EQ(a->shortcut(), QKeySequence(c.key)) << c.action;
        QObject::disconnect(a, &QAction::triggered, window.get(), nullptr);
        QSignalSpy spy(a, &QAction::triggered);
        lstAdd()->setFocus();
        QTest::keyClick(lstAdd(), c.key.key(), c.key.keyboardModifiers());
        EXPECT_EQ(spy.count(), 1) << c.action;
    }
    // A Ctrl key without a command still does not jump to a line.
    lstAdd()->setCurrentIndex(window->listModel()->index(0, 0));
    QTest::keyClick(lstAdd(), Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(lstAdd()->currentIndex().row(), 0);
}

TEST_F(DesktopTest, CtrlFGoesToTheSearchWordOrToTheField)
{
    lstAdd()->setFocus();
    QTest::keyClick(lstAdd(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), cboSearchList()); // 全て takes no word

    chooseEntry(cboSearchList(), 3); // 名前
    lstAdd()->setFocus();
    QTest::keyClick(lstAdd(), Qt::Key_F, Qt::ControlModifier);
    QWidget *f = QApplication::focusWidget();
    EXPECT_TRUE(f == cboSearchWord() || cboSearchWord()->isAncestorOf(f));
}

namespace {

// The controls below root that a screen reader cannot name.
QStringList unnamedControls(QWidget *root)
{
    QStringList out;
    for (QWidget *w : root->findChildren<QWidget *>()) {
        auto *box = qobject_cast<QComboBox *>(w);
        if (!(qobject_cast<QAbstractButton *>(w) || qobject_cast<QAbstractItemView *>(w)
              || qobject_cast<QLineEdit *>(w) || qobject_cast<QPlainTextEdit *>(w)
              || (box && box->isEditable())))
            continue;
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
        if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
            out << QString::fromLatin1(w->metaObject()->className()) + u' ' + w->objectName();
    }
    return out;
}

} // namespace

TEST_F(DesktopTest, EveryControlHasAnAccessibleName)
{
    setProgramIdentity();
    window->hide();
    window->show();
    EXPECT_EQ(unnamedControls(window.get()), QStringList());

    AddressBook book;
    Card c = person(u"a"_qs, u"a@x.jp"_qs);
    addCard(c, book, prompter, 45000.5);
    std::vector<std::unique_ptr<QWidget>> dialogs;
    dialogs.push_back(std::make_unique<fomCardEdit>(book, 1, CardEditOptions{}, prompter));
    dialogs.push_back(std::make_unique<fomGroupEdit>(book, prompter));
    dialogs.push_back(std::make_unique<fomLightAddress>(book, CardLimits{}, prompter));
    dialogs.push_back(std::make_unique<fomCsvPut>(QString()));
    dialogs.push_back(std::make_unique<fomEudoraPut>());
    dialogs.push_back(std::make_unique<fomCalendarSelect>());
    dialogs.push_back(std::make_unique<fomTimeSelect>());
    for (const auto &d : dialogs) {
        d->show();
        EXPECT_EQ(unnamedControls(d.get()), QStringList()) << d->metaObject()->className();
        d->hide();
    }
}

TEST(FileDialogLook, FilterNamesAreTheCaptionsAndTheChoiceIsReturned)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Prompter::FileRequest r;
    r.folder = dir.path();
    r.filters = {{u"Address帳ﾌｧｲﾙ(*.ndb)"_qs, {u"*.nd?"_qs}},
                 {u"全てのﾌｧｲﾙ(*.*)"_qs, {u"*.*"_qs}}};
    QStringList shown;
    whenModal<QFileDialog>([&](QFileDialog *d) {
        auto *types = d->findChild<QComboBox *>(u"fileTypeCombo"_qs);
        ASSERT_NE(types, nullptr);
        for (int i = 0; i < types->count(); ++i)
            shown << types->itemText(i);
        types->setCurrentIndex(1);
        emit types->activated(1);
        d->selectFile(dir.filePath(u"out.ndb"_qs));
        static_cast<QDialog *>(d)->accept();
    });
    GuiPrompter prompter;
    const Prompter::FileAnswer a = prompter.saveFile(r);
    EXPECT_EQ(shown, (QStringList{u"Address帳ﾌｧｲﾙ(*.ndb)"_qs, u"全てのﾌｧｲﾙ(*.*)"_qs}));
    EXPECT_EQ(a.filterIndex, 1);
    EXPECT_FALSE(a.path.isEmpty());
}

namespace {

// The mean opacity of a picture, 0 to 255.
double meanAlpha(const QImage &image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    double sum = 0;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            sum += qAlpha(argb.pixel(x, y));
    return argb.isNull() ? 0 : sum / (argb.width() * argb.height());
}

} // namespace

TEST_F(DesktopTest, DisabledToolButtonsLookFaded)
{
    for (const char *name : {"cmdCardEdit", "cmdCollectID"}) {
        const QIcon icon = toolButton(QString::fromLatin1(name))->icon();
        const double on = meanAlpha(icon.pixmap(20, 20, QIcon::Normal).toImage());
        const double off = meanAlpha(icon.pixmap(20, 20, QIcon::Disabled).toImage());
        EXPECT_GT(on, 0) << name;
        EXPECT_LT(off, on / 2) << name;
    }
}

TEST(StartupWarning, AMessageWithoutAWindowTakesTheKeyboard)
{
    GuiPrompter prompter; // no parent: before the main window
    bool focused = false;
    whenModal<QMessageBox>([&](QMessageBox *box) {
        QTest::qWaitForWindowActive(box);
        focused = QApplication::activeWindow() == box && box->isAncestorOf(QApplication::focusWidget());
        // Enter reaches the box: it closes with its default button.
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : box,
                        Qt::Key_Return);
    });
    Prompter::Message m;
    m.text = u"警告"_qs;
    m.buttons = Prompter::Ok;
    EXPECT_EQ(prompter.ask(m), Prompter::Ok);
    EXPECT_TRUE(focused);
}

TEST(AboutBox, ShowsTheProgramIcon)
{
    const QIcon before = QApplication::windowIcon();
    QApplication::setWindowIcon(QIcon::fromTheme(u"no-such-brindle-icon"_qs)); // a theme without it
    fomVersion about;
    QApplication::setWindowIcon(before);
    const QPixmap shown = page(about).picIcon()->pixmap();
    const QPixmap own = QIcon(u":/brindle-256.png"_qs).pixmap(48, 48);
    ASSERT_FALSE(own.isNull());
    EXPECT_EQ(shown.toImage().convertToFormat(QImage::Format_ARGB32),
              own.toImage().convertToFormat(QImage::Format_ARGB32));
}
