// The options dialog's checks, display forms and storing, without widgets.
#include <QDir>
#include <QTemporaryDir>

#include "core/validation.h"
#include "shell/settings.h"
#include "shell/setuplogic.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

namespace {

const QString TooLow = QStringLiteral("は 1 以上に設定する必要があります");
const QString Missing = QStringLiteral(" が存在しません");
const QString LimitNames[7] = {QStringLiteral("ID"), QStringLiteral("名前"),
                               QStringLiteral("プロフィール"), QStringLiteral("電子メール履歴"),
                               QStringLiteral("交流記録"), QStringLiteral("発言記録"),
                               QStringLiteral("その他の文字")};

SetupForm validForm()
{
    return setupFormFor(Settings{});
}

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

} // namespace

TEST(SetupLogic, FoldersShowWithoutTrailingSlashButRootKeepsIt)
{
    EXPECT_EQ(folderForDisplay(u"/home/u/Corvid/"_qs), u"/home/u/Corvid"_qs);
    EXPECT_EQ(folderForDisplay(u"/home/u/Corvid"_qs), u"/home/u/Corvid"_qs);
    EXPECT_EQ(folderForDisplay(u"/"_qs), u"/"_qs);
    EXPECT_EQ(folderForDisplay(u"  /data/  "_qs), u"/data"_qs);
    EXPECT_EQ(folderForDisplay(QString()), QString());
}

TEST(SetupLogic, LimitParsing)
{
    int v = -7;
    for (const char16_t *bad : {u"0", u"-3", u"abc", u"", u"12abc", u"99999999999"}) {
        EXPECT_FALSE(parseLimit(QString::fromUtf16(bad), v)) << QString::fromUtf16(bad).toStdString();
        EXPECT_EQ(v, -7);
    }
    ASSERT_TRUE(parseLimit(u" 12 "_qs, v));
    EXPECT_EQ(v, 12);
    ASSERT_TRUE(parseLimit(u"\uFF12\uFF10"_qs, v)); // full-width digits
    EXPECT_EQ(v, 20);
}

TEST(SetupLogic, ChecksRunInOrderWithTheirMessages)
{
    QTemporaryDir tmp;
    const QString file = tmp.filePath(u"plain.txt"_qs);
    writeAll(file, "x");

    SetupForm f = validForm();
    f.homeFolder = tmp.filePath(u"nowhere"_qs);
    f.globalLogFolder = file; // a file is no folder
    f.limits[2] = u"abc"_qs;
    f.limits[5] = u"0"_qs;

    SetupProblem p = checkSetupForm(f);
    EXPECT_EQ(p.control, SetupControl::HomeFolder);
    EXPECT_EQ(p.message, tmp.filePath(u"nowhere"_qs) + Missing);

    f.homeFolder = u"  "_qs + tmp.path() + u"/  "_qs; // spaces around an existing folder
    p = checkSetupForm(f);
    EXPECT_EQ(p.control, SetupControl::GlobalLogFolder);
    EXPECT_EQ(p.message, file + Missing);

    f.globalLogFolder.clear();
    p = checkSetupForm(f);
    EXPECT_EQ(p.control, SetupControl(int(SetupControl::Limit0) + 2));
    EXPECT_EQ(p.message, LimitNames[2] + TooLow);

    f.limits[2] = u"3"_qs;
    p = checkSetupForm(f);
    EXPECT_EQ(p.control, SetupControl(int(SetupControl::Limit0) + 5));
    EXPECT_EQ(p.message, u"発言記録"_qs + TooLow);

    // Each box by its own name, empty counting as not a number.
    for (int i = 0; i < 7; ++i) {
        SetupForm g = validForm();
        g.limits[i] = QString();
        p = checkSetupForm(g);
        EXPECT_EQ(p.control, SetupControl(int(SetupControl::Limit0) + i));
        EXPECT_EQ(p.message, LimitNames[i] + TooLow);
    }

    f.limits[5] = u"1"_qs;
    EXPECT_EQ(checkSetupForm(f).control, SetupControl::None);
}

TEST(SetupLogic, OkChecksThenStoresAndValidatesEveryCardAgain)
{
    QTemporaryDir tmp;
    const QString home = tmp.filePath(u"home"_qs);
    QDir().mkpath(home);

    Settings settings;
    AddressBook book;
    book.cards.append(cardWithIds(1, 1));
    book.cards.append(cardWithIds(2, 2));
    book.cards.append(cardWithIds(3, 5));
    validateAll(book, cardLimitsOf(settings));
    ASSERT_EQ(book.cards[2].status, StatusNormal);

    // A failed check shows its message and stores nothing.
    const Settings before = settings;
    SetupForm f = setupFormFor(settings);
    f.limits = {u"2"_qs, u"3"_qs, u"4"_qs, u"0"_qs, u"6"_qs, u"7"_qs, u"\uFF18"_qs};
    ScriptedPrompter prompter;
    SetupControl focus = SetupControl::None;
    EXPECT_EQ(applySetupForm(f, settings, book, prompter, &focus), -1);
    EXPECT_EQ(focus, SetupControl(int(SetupControl::Limit0) + 3));
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_EQ(prompter.asked[0].message.text, LimitNames[3] + TooLow);
    EXPECT_EQ(prompter.asked[0].message.buttons, Prompter::Buttons(Prompter::Ok));
    EXPECT_EQ(prompter.asked[0].message.icon, Prompter::Icon::None);
    EXPECT_EQ(settings, before);
    EXPECT_EQ(book.cards[2].status, StatusNormal);

    prompter.clear();
    f.homeFolder = u" "_qs + home + u" "_qs;
    f.globalLogFolder = u"/"_qs;
    f.limits[3] = u"5"_qs;
    f.niftyDomain = u" example.ne.jp "_qs;
    f.trashFlag = false;
    f.lostMemoFlag = false;
    ASSERT_EQ(applySetupForm(f, settings, book, prompter, &focus), 0);
    EXPECT_TRUE(prompter.asked.isEmpty());
    EXPECT_EQ(focus, SetupControl::None);
    EXPECT_EQ(settings.homeFolder, home + u'/');
    EXPECT_EQ(settings.globalLogFolder, u"/"_qs);
    EXPECT_EQ(settings.errorLimits, (std::array<int, 7>{2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(settings.niftyDomain, u"example.ne.jp"_qs);
    EXPECT_FALSE(settings.trashFlag);
    EXPECT_FALSE(settings.lostMemoFlag);
    EXPECT_EQ(book.cards[1].status, StatusNormal);
    EXPECT_EQ(book.cards[2].status, StatusTooManyIds);
    EXPECT_EQ(book.cards[3].status, StatusTooManyIds);

    // Cleared folders stay empty; an empty domain falls back to the default;
    // a relative folder is kept as the absolute folder it named.
    f = setupFormFor(settings);
    f.homeFolder.clear();
    f.niftyDomain = u"  "_qs;
    f.globalLogFolder = u"home"_qs;
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(tmp.path());
    const int rc = applySetupForm(f, settings, book, prompter);
    QDir::setCurrent(cwd);
    ASSERT_EQ(rc, 0);
    EXPECT_EQ(settings.homeFolder, QString());
    EXPECT_EQ(settings.niftyDomain, QString::fromUtf16(DefaultNiftyDomain));
    EXPECT_EQ(settings.globalLogFolder, QDir(tmp.path()).absoluteFilePath(u"home/"_qs));
}
