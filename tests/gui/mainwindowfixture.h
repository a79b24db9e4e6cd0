#pragma once
// A main window over a scratch settings folder, Wine prefix and data folder,
// with a scripted prompter and a Corvid that runs only when a test says so,
// for the main window's tests.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

#include "core/cardops.h"
#include "core/ndbfile.h"
#include "core/addresslist.h"
#include "mainwindow/fomBrindle.h"
#include "shell/startup.h"
#include "support/fakehost.h"
#include "support/generator.h"
#include "support/scriptedprompter.h"

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
        qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toUtf8());
        qputenv("WINEPREFIX", dir.filePath(QStringLiteral("wine")).toUtf8());
        auto probe = std::make_unique<FakeHostProbe>();
        corvid = probe.get();
        shell = std::make_unique<ShellSession>(dir.path(), WineHost::fromEnvironment(),
                                               std::move(probe));
        shell->start(prompter);
        prompter.clear();
        window = std::make_unique<fomBrindle>(*shell, prompter);
    }
    void TearDown() override
    {
        window->document().setModified(false);
        window.reset();
    }

    QString writeBook(const QString &name, const AddressBook &book)
    {
        const QString path = dir.filePath(name);
        ScriptedPrompter quiet;
        EXPECT_EQ(writeNdbFile(path, book, quiet), 0);
        return path;
    }
    QString generated(const QString &name, int cards, quint32 seed = 1)
    {
        GeneratorOptions o;
        o.seed = seed;
        o.cards = cards;
        return writeBook(name, generateBook(o));
    }
    // Writes the book and opens it in the window.
    void openBook(const AddressBook &book, const QString &name = QStringLiteral("book.ndb"))
    {
        prompter.answerFile(writeBook(name, book));
        act("mnuFileOpen")->trigger();
        prompter.clear();
    }
    QStringList lines() const
    {
        QStringList out;
        for (int r = 0; r < window->listModel()->rowCount(); ++r)
            out << window->listModel()->line(r).text;
        return out;
    }
    // The card number of each line.
    QList<qint32> lineCards() const
    {
        QList<qint32> out;
        for (int r = 0; r < window->listModel()->rowCount(); ++r)
            out << window->listModel()->cardNumberAt(r);
        return out;
    }
    qint32 currentCard() const
    {
        const QModelIndex i = lstAdd()->currentIndex();
        return i.isValid() ? window->listModel()->cardNumberAt(i.row()) : -1;
    }
    QAction *act(const char *name) const { return window->action(QString::fromLatin1(name)); }
    QAction *historyEntry(int i) const
    {
        return window->action(QStringLiteral("mnuFileHistory%1").arg(i));
    }

    // The window's controls, found by name.
    template <typename T = QWidget> T *control(const QString &name) const
    {
        T *w = window->findChild<T *>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QListView *lstAdd() const { return control<QListView>(u"lstAdd"_qs); }
    QComboBox *cboSearchList() const { return control<QComboBox>(u"cboSearchList"_qs); }
    QComboBox *cboSearchWord() const { return control<QComboBox>(u"cboSearchWord"_qs); }
    QLabel *lblSelCount() const { return control<QLabel>(u"lblSelCount"_qs); }
    QLabel *lblInfo() const { return control<QLabel>(u"lblInfo"_qs); }
    QLabel *lblStatus() const { return control<QLabel>(u"lblStatus"_qs); }
    QLabel *lblSearchGa() const { return control<QLabel>(u"lblSearchGa"_qs); }
    QPushButton *cmdSearch() const { return control<QPushButton>(u"cmdSearch"_qs); }
    QCheckBox *chkSortReverce() const { return control<QCheckBox>(u"chkSortReverce"_qs); }
    QRadioButton *optSortOrder(int i) const
    {
        return control<QRadioButton>(QStringLiteral("optSortOrder%1").arg(i));
    }
    QWidget *picToolBar() const { return control(u"picToolBar"_qs); }
    QWidget *frmSortOrder() const { return control(u"frmSortOrder"_qs); }
    QToolButton *toolButton(const QString &name) const { return control<QToolButton>(name); }

    QTemporaryDir dir;
    ScriptedPrompter prompter;
    FakeHostProbe *corvid = nullptr; // the shell's: Corvid runs while corvid->running
    std::unique_ptr<ShellSession> shell;
    std::unique_ptr<fomBrindle> window;
};

inline Card person(const QString &name, const QString &id)
{
    Card c = Card::newCard();
    c.names = {name};
    c.ids = {id};
    return c;
}
