#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "core/ndbfile.h"
#include "pages.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"
#include "tools/fomCompAddress.h"

namespace {

struct Shown
{
    QString text, fileName, title;
};

AddressBook oneCard(const QString &name)
{
    AddressBook b;
    Card c = Card::newCard();
    c.number = b.cardCounter++;
    c.ids = {u"a@x.jp"_qs};
    c.names = {name};
    b.cards.append(c);
    return b;
}

class CompAddress : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        services.showReport = [this](const QString &t, const QString &f, const QString &ti) {
            shown.append({t, f, ti});
        };
    }
    QString path(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    ScriptedPrompter prompter;
    fomCompAddress::Services services;
    QList<Shown> shown;
};

} // namespace

TEST_F(CompAddress, DefaultPathsFromTheHomeFolder)
{
    // Stored paths win.
    fomCompAddress stored(u"/a/old.ndb"_qs, QString(), dir.path(), prompter, services);
    EXPECT_EQ(page(stored).txtAdd1()->text(), u"/a/old.ndb"_qs);

    // The home folder's files; an existing Address.ndb is found whatever
    // its letter case.
    ASSERT_TRUE(writeAll(path(u"Address.ndb"_qs), "x"));
    fomCompAddress home(QString(), QString(), dir.path(), prompter, services);
    EXPECT_EQ(page(home).txtAdd1()->text(), dir.path() + u"/address.nd1"_qs);
    EXPECT_EQ(page(home).txtAdd2()->text(), dir.path() + u"/Address.ndb"_qs);

    fomCompAddress none(QString(), QString(), QString(), prompter, services);
    EXPECT_TRUE(page(none).txtAdd1()->text().isEmpty());
    EXPECT_TRUE(page(none).txtAdd2()->text().isEmpty());
}

TEST_F(CompAddress, ExecuteShowsTheReportAndStoresThePaths)
{
    ASSERT_EQ(writeNdbFile(path(u"old.ndb"_qs), oneCard(u"前"_qs), prompter), 0);
    ASSERT_EQ(writeNdbFile(path(u"new.ndb"_qs), oneCard(u"後"_qs), prompter), 0);
    fomCompAddress dlg(path(u"old.ndb"_qs), path(u"old.ndb"_qs), QString(), prompter, services);

    // Refused: nothing shown, nothing stored.
    EXPECT_EQ(dlg.Execute(), -1);
    EXPECT_EQ(prompter.texts(), QStringList{u"同じアドレス帳の指定です"_qs});
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_FALSE(dlg.pathsStored());

    typeText(page(dlg).txtAdd2(), path(u"new.ndb"_qs));
    dlg.setClock([] { return QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)); });
    click(page(dlg).cmdExec());
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].title, u"比較レポート"_qs);
    EXPECT_EQ(shown[0].fileName, u"比較レポート"_qs);
    EXPECT_TRUE(shown[0].text.contains(u"修正されたカード(1 枚)\r\n  後（a@x.jp）\r\n"_qs));
    EXPECT_TRUE(dlg.pathsStored());
    EXPECT_EQ(dlg.storedNewPath(), path(u"new.ndb"_qs));

    // View hands the paths back only after a report.
    QString oldPath = path(u"old.ndb"_qs), newPath = path(u"new.ndb"_qs);
    QTimer::singleShot(0, [this] {
        auto *d = qobject_cast<fomCompAddress *>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        typeText(page(d).txtAdd1(), path(u"missing.ndb"_qs));
        click(page(d).cmdExec());
        click(page(d).cmdCancel());
    });
    fomCompAddress::View(oldPath, newPath, QString(), prompter, services);
    EXPECT_EQ(prompter.lastText(), path(u"missing.ndb"_qs) + u" が存在しません"_qs);
    EXPECT_EQ(oldPath, path(u"old.ndb"_qs));
}

TEST_F(CompAddress, ChoosingAFileStartsFromTheBoxOrTheOther)
{
    QStringList initial;
    services.chooseBook = [&initial](const QString &start) {
        initial << start;
        return start.isEmpty() ? QString() : u"/chosen/address.nd3"_qs;
    };
    fomCompAddress dlg(QString(), u"/home/u/Address.ndb"_qs, QString(), prompter, services);
    click(page(dlg).cmdSelAdd1());
    EXPECT_EQ(initial, QStringList{u"/home/u/Address.ndb"_qs});
    EXPECT_EQ(page(dlg).txtAdd1()->text(), u"/chosen/address.nd3"_qs);
    EXPECT_EQ(page(dlg).txtAdd1()->cursorPosition(), page(dlg).txtAdd1()->text().size());

    // Without a chooser (the main window gives the program's dialog for
    // address books) the buttons ask nothing.
    fomCompAddress plain(u"/home/u/address.nd1"_qs, QString(), QString(), prompter, {});
    click(page(plain).cmdSelAdd2());
    EXPECT_TRUE(prompter.fileRequests.isEmpty());
    EXPECT_EQ(page(plain).txtAdd2()->text(), QString());
}
