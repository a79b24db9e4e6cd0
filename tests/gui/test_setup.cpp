// The options dialog.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "core/validation.h"
#include "modaldriver.h"
#include "pages.h"
#include "shell/fomSetup.h"
#include "shell/settings.h"
#include "shell/winehost.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

namespace {

// A Wine prefix with Corvid installed in C:\Corvid, its shared log folder
// C:\Log and one user whose home folder is given relative to Corvid's folder.
struct CorvidPrefix
{
    QTemporaryDir dir;
    QString root = dir.filePath(u"prefix"_qs);
    QString driveC = root + u"/drive_c"_qs;

    CorvidPrefix()
    {
        QDir().mkpath(root + u"/dosdevices"_qs);
        QDir().mkpath(driveC + u"/Corvid/Users/taro"_qs);
        QDir().mkpath(driveC + u"/Log"_qs);
        QFile::link(driveC, root + u"/dosdevices/c:"_qs);
        writeAll(driveC + u"/Corvid/Corvid.exe"_qs, "MZ");
        writeAll(root + u"/system.reg"_qs,
                 "WINE REGISTRY Version 2\n"
                 "[Software\\\\Classes\\\\Corvid.Application\\\\Clsid] 1\n"
                 "@=\"{11112222-3333-4444-5555-666677778888}\"\n"
                 "[Software\\\\Classes\\\\CLSID\\\\{11112222-3333-4444-5555-666677778888}"
                 "\\\\LocalServer32] 1\n"
                 "@=\"C:\\\\Corvid\\\\Corvid.exe\"\n");
        QByteArray dat(1034, '\0');
        const QByteArray log = "C:\\Log";
        dat[0] = 2;
        dat[2] = char(log.size());
        dat.replace(3, log.size(), log);
        dat[771] = 1;
        QByteArray user(265, '\0');
        const QByteArray id = "taro", home = "Users\\taro";
        user[0] = char(id.size());
        user.replace(1, id.size(), id);
        user[9] = char(home.size());
        user.replace(10, home.size(), home);
        writeAll(driveC + u"/Corvid/global.dat"_qs, dat + user);
    }
};

Card cardWithIds(qint32 number, int idCount)
{
    Card c = Card::newCard();
    c.number = number;
    for (int i = 0; i < idCount; ++i)
        c.ids << QStringLiteral("id%1-%2@example.jp").arg(number).arg(i);
    c.names = {QStringLiteral("name%1").arg(number)};
    c.created = 40000.0;
    c.updated = 41000.0;
    return c;
}

struct SetupFixture : ::testing::Test
{
    QTemporaryDir tmp;
    QString home = tmp.filePath(u"home"_qs);
    Settings settings;
    AddressBook book;
    ScriptedPrompter prompter;
    WineHost host{tmp.filePath(u"no-prefix"_qs)};

    void SetUp() override
    {
        QDir().mkpath(home);
        settings.homeFolder = home + u'/';
        settings.globalLogFolder = u"/"_qs;
        settings.niftyDomain = u"example.ne.jp"_qs;
        settings.trashFlag = true;
        settings.lostMemoFlag = false;
        settings.errorLimits = {10, 20, 30, 40, 50, 60, 70};
        book.cards.append(cardWithIds(1, 1));
        book.cards.append(cardWithIds(2, 2));
        validateAll(book, cardLimitsOf(settings));
    }

    // Runs the dialog, lets drive work on it, and returns Run's result.
    int run(std::function<void(fomSetup *)> drive)
    {
        whenModal<fomSetup>(std::move(drive));
        return fomSetup::Run(settings, host, book, prompter);
    }
};

} // namespace

TEST_F(SetupFixture, OpensWithTheSettings)
{
    fomSetup d(settings, host, book, prompter);
    EXPECT_EQ(d.windowTitle(), u"Brindle の設定"_qs);
    EXPECT_EQ(page(d).txtHomeFolder()->text(), home);
    EXPECT_EQ(page(d).txtGlobalLogFolder()->text(), u"/"_qs);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(page(d).txtErrVal(i)->text(), QString::number(10 * (i + 1)));
    ASSERT_EQ(page(d).cboNiftyDomain()->count(), 2);
    EXPECT_EQ(page(d).cboNiftyDomain()->itemText(0), QString::fromUtf16(DefaultNiftyDomain));
    EXPECT_EQ(page(d).cboNiftyDomain()->itemText(1), QString::fromUtf16(LegacyNiftyDomain));
    EXPECT_EQ(page(d).cboNiftyDomain()->currentText(), u"example.ne.jp"_qs);
    EXPECT_TRUE(page(d).chkTrashFlg()->isChecked());
    EXPECT_FALSE(page(d).chkLostMemoFlg()->isChecked());
}

TEST_F(SetupFixture, OkStoresAndValidatesAgain)
{
    ASSERT_EQ(book.cards[2].status, StatusNormal);
    const int rc = run([&](fomSetup *d) {
        typeText(page(d).txtHomeFolder(), QString());
        typeText(page(d).txtGlobalLogFolder(), home);
        typeText(page(d).txtErrVal(0), u"2"_qs);
        chooseEntry(page(d).cboNiftyDomain(), 1);
        setChecked(page(d).chkTrashFlg(), false);
        setChecked(page(d).chkLostMemoFlg(), true);
        click(page(d).cmdExit());
    });
    EXPECT_EQ(rc, 0);
    EXPECT_TRUE(prompter.asked.isEmpty());
    EXPECT_EQ(settings.homeFolder, QString());
    EXPECT_EQ(settings.globalLogFolder, home + u'/');
    EXPECT_EQ(settings.errorLimits, (std::array<int, 7>{2, 20, 30, 40, 50, 60, 70}));
    EXPECT_EQ(settings.niftyDomain, QString::fromUtf16(LegacyNiftyDomain));
    EXPECT_FALSE(settings.trashFlag);
    EXPECT_TRUE(settings.lostMemoFlag);
    EXPECT_EQ(book.cards[1].status, StatusNormal);
    EXPECT_EQ(book.cards[2].status, StatusTooManyIds);
}

TEST_F(SetupFixture, CancelChangesNothing)
{
    const Settings before = settings;
    const int rc = run([&](fomSetup *d) {
        typeText(page(d).txtHomeFolder(), QString());
        typeText(page(d).txtErrVal(0), u"2"_qs);
        typeText(page(d).cboNiftyDomain()->lineEdit(), u"other.jp"_qs);
        setChecked(page(d).chkTrashFlg(), false);
        click(page(d).cmdCancel());
    });
    EXPECT_EQ(rc, -1);
    EXPECT_EQ(settings, before);
    EXPECT_EQ(book.cards[2].status, StatusNormal);
}

TEST_F(SetupFixture, FailedCheckKeepsTheDialogOpenWithTheValues)
{
    const int rc = run([&](fomSetup *d) {
        typeText(page(d).txtErrVal(5), u"0"_qs);
        typeText(page(d).txtErrVal(6), u"abc"_qs);
        click(page(d).cmdExit());
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(prompter.lastText(), u"発言記録"_qs + u"は 1 以上に設定する必要があります"_qs);
        EXPECT_EQ(page(d).txtErrVal(5)->text(), u"0"_qs);
        EXPECT_EQ(page(d).txtErrVal(5)->selectedText(), u"0"_qs);
        typeText(page(d).txtErrVal(5), u"9"_qs);
        click(page(d).cmdExit());
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(prompter.lastText(), u"その他の文字"_qs + u"は 1 以上に設定する必要があります"_qs);
        click(page(d).cmdCancel());
    });
    EXPECT_EQ(rc, -1);
    EXPECT_EQ(prompter.asked.size(), 2);
    EXPECT_EQ(settings.errorLimits[5], 60);
}

TEST_F(SetupFixture, DefaultsResetOnlyTheLimits)
{
    fomSetup d(settings, host, book, prompter);
    typeText(page(d).txtErrVal(3), u"abc"_qs);
    setChecked(page(d).chkTrashFlg(), false);
    typeText(page(d).txtGlobalLogFolder(), u"/tmp"_qs);
    click(page(d).cmdInitPara());
    const auto defaults = Settings::defaultErrorLimits();
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(page(d).txtErrVal(i)->text(), QString::number(defaults[i]));
    EXPECT_FALSE(page(d).chkTrashFlg()->isChecked());
    EXPECT_EQ(page(d).txtGlobalLogFolder()->text(), u"/tmp"_qs);
    EXPECT_EQ(page(d).txtHomeFolder()->text(), home);
    EXPECT_EQ(page(d).cboNiftyDomain()->currentText(), u"example.ne.jp"_qs);
    EXPECT_EQ(settings.errorLimits[3], 40); // nothing stored yet
}

TEST_F(SetupFixture, RediscoverFillsTheFoldersFromThePrefix)
{
    CorvidPrefix prefix;
    host = WineHost(prefix.root);
    const Settings before = settings;
    fomSetup d(settings, host, book, prompter);
    click(page(d).cmdCorvidInfo());
    EXPECT_EQ(page(d).txtHomeFolder()->text(),
              QDir(prefix.driveC + u"/Corvid/Users/taro"_qs).canonicalPath());
    EXPECT_EQ(page(d).txtGlobalLogFolder()->text(),
              QDir(prefix.driveC + u"/Log"_qs).canonicalPath());
    EXPECT_EQ(settings, before); // shown only
    EXPECT_EQ(d.Apply(), 0);
    EXPECT_EQ(settings.homeFolder,
              QDir(prefix.driveC + u"/Corvid/Users/taro"_qs).canonicalPath() + u'/');
    EXPECT_EQ(settings.lastFileName, before.lastFileName);

    // Without Corvid the boxes show that nothing was found.
    host = WineHost(tmp.filePath(u"no-prefix"_qs));
    click(page(d).cmdCorvidInfo());
    EXPECT_EQ(page(d).txtHomeFolder()->text(), QString());
    EXPECT_EQ(page(d).txtGlobalLogFolder()->text(), QString());
}

TEST_F(SetupFixture, FolderButtonsAskThroughThePrompter)
{
    fomSetup d(settings, host, book, prompter);
    d.show();
    prompter.answerFolder(tmp.path());
    click(page(d).cmdGlobalLogFolder());
    EXPECT_EQ(prompter.folderTitles, QStringList{u"ｸﾞﾛｰﾊﾞﾙﾛｸﾞﾌｫﾙﾀﾞを選択して下さい。"_qs});
    EXPECT_EQ(page(d).txtGlobalLogFolder()->text(), tmp.path());
    EXPECT_EQ(page(d).txtGlobalLogFolder()->selectedText(), tmp.path());

    click(page(d).cmdHomeFolder()); // cancelled: the box keeps its text
    EXPECT_EQ(prompter.folderTitles.last(), u"ﾎｰﾑﾌｫﾙﾀﾞを選択して下さい。"_qs);
    EXPECT_EQ(page(d).txtHomeFolder()->text(), home);
}
