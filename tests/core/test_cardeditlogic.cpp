#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <sys/stat.h>
#include <sys/types.h>

#include "cardedit/cardeditlogic.h"
#include "cardedit/cardedittexts.h"
#include "common/cp932.h"
#include "common/oledate.h"
#include "common/profilefiles.h"
#include "support/testutil.h"

namespace {

DateValue day(int y, int m, int d)
{
    return oleFromDate(QDate(y, m, d));
}

} // namespace

TEST(CardEditTexts, DatesTimesAndTheAgeLine)
{
    const DateValue v = oleFromDateTime(QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC));
    EXPECT_EQ(dateDisplayText(v), u"2001年02月03日"_qs);
    EXPECT_EQ(timeDisplayText(v), u"04時05分06秒"_qs);
    EXPECT_EQ(dateDisplayText(NoDate), u"（不明）"_qs);
    EXPECT_EQ(timeDisplayText(1e12), u"（不明）"_qs); // broken value
    EXPECT_EQ(formatDatePattern(u"yy/mm/dd", QDate(2005, 11, 9)), u"05/11/09"_qs);

    const QDate today(2024, 3, 10);
    EXPECT_EQ(ageText(day(1990, 3, 10), today), u"現在 34 才  （今日が誕生日です）"_qs);
    EXPECT_EQ(ageText(day(1990, 3, 11), today), u"現在 33 才  （明日が誕生日です）"_qs);
    EXPECT_EQ(ageText(day(1990, 3, 12), today), u"現在 33 才  （明後日が誕生日です）"_qs);
    EXPECT_EQ(ageText(day(1990, 3, 17), today), u"現在 33 才  （一週間後が誕生日です）"_qs);
    EXPECT_EQ(ageText(day(1990, 3, 18), today), u"現在 33 才  （次の誕生日まであと 8 日）"_qs);
    EXPECT_EQ(ageText(NoDate, today), QString());
    // A birthday after today has no age to show.
    EXPECT_EQ(ageText(day(2030, 1, 1), today), QString());
}

TEST(CardEditSave, CharactersTheFileCannotHold)
{
    Card c = Card::newCard();
    c.ids = {u"taro@example.jp"_qs};
    c.names = {u"\U00020BB7田"_qs, u"山田"_qs};
    c.groups = {u"caf\u00E9"_qs};
    c.memo = u"\U00020BB7\u00A0\uF8F1\r\n"_qs;
    c.remarkRecords = {u"\u00E9\U0001F600"_qs};
    // Each once, in the order of the fields in the file.
    EXPECT_EQ(unwritableCharacters(c),
              (QStringList{u"\U00020BB7"_qs, u"\u00E9"_qs, u"\u00A0"_qs, u"\U0001F600"_qs}));
    // Invisible characters are named by their code.
    EXPECT_EQ(unwritableCharactersQuestion(unwritableCharacters(c)),
              CardEditText::UnwritableCharacters + u"\n\U00020BB7 \u00E9 U+00A0 \U0001F600\n"_qs
                  + CardEditText::AskSaveAnyway);
    QStringList many;
    for (char16_t u = 0xAC00; u < 0xAC00 + 40; ++u)
        many << QString(QChar(u));
    EXPECT_TRUE(unwritableCharactersQuestion(many).contains(
        many.mid(0, 20).join(u' ') + u" … (40 文字)"_qs));
}

TEST(CardEditIds, OtherCardCheckIgnoresCaseAndSkipsOnlyTheEditedCard)
{
    AddressBook book;
    Card a;
    a.number = 1;
    a.ids = {u"dup@example.jp"_qs};
    Card b;
    b.number = 2;
    b.ids = {u"x@example.jp"_qs, u"DUP@example.jp"_qs};
    book.cards << a << b;

    EXPECT_EQ(otherCardWithId(book, u"Dup@Example.JP", -1), 1);
    // Card 1 being edited: its own copy does not count, card 2's does.
    EXPECT_EQ(otherCardWithId(book, u"dup@example.jp", 1), 2);
    EXPECT_EQ(otherCardWithId(book, u"x@example.jp", 2), -1);
    EXPECT_EQ(otherCardWithId(book, u"none", -1), -1);
}

TEST(CardEditIds, ProfileFilesAreNamedByTheFirstLegacyIdElseTheLast)
{
    EXPECT_TRUE(hasProfileIdShape(u"ABC12345"));
    EXPECT_FALSE(hasProfileIdShape(u"ABC1234X"));
    EXPECT_FALSE(hasProfileIdShape(u"ABC123456"));
    EXPECT_EQ(profileFileId({u"a@example.jp"_qs, u"XYZ12345"_qs, u"QQQ00001"_qs}), u"XYZ12345"_qs);
    EXPECT_EQ(profileFileId({u"a@example.jp"_qs, u"b@example.jp"_qs}), u"b@example.jp"_qs);
    EXPECT_EQ(profileFileId({}), u"*"_qs);
}

class ProfileFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        logFolder = tmp.path() + u"/log"_qs;
        ASSERT_TRUE(QDir().mkpath(logFolder + u"/Profile/sub"_qs));
        options.sharedLogFolder = logFolder;
    }
    QString profile(const QString &name) const { return logFolder + u"/Profile/"_qs + name; }

    QTemporaryDir tmp;
    QString logFolder;
    CardEditOptions options;
};

TEST_F(ProfileFiles, BareNamesAreReadFromTheProfileFolder)
{
    ASSERT_TRUE(writeAll(profile(u"ABC12345.txt"_qs), cp932::encode(u"自己紹介\r\nです")));
    EXPECT_EQ(profileValueText(u"ABC12345.txt"_qs, options), u"自己紹介\r\nです"_qs);
    // Names from the host's file system match in any letter case.
    EXPECT_EQ(profileValueText(u"abc12345.TXT"_qs, options), u"自己紹介\r\nです"_qs);
    EXPECT_EQ(profileValueText(u"missing.txt"_qs, options), CardEditText::NoProfile);
    EXPECT_EQ(profileValueText(u"none"_qs, options), CardEditText::NoProfile);
    EXPECT_EQ(profileValueText(u"NONE"_qs, options), CardEditText::NoProfile);

    CardEditOptions unset = options;
    unset.sharedLogFolder.clear();
    EXPECT_EQ(profileValueText(u"ABC12345.txt"_qs, unset), CardEditText::NoSharedFolder);
    unset.sharedLogFolder = tmp.path() + u"/nowhere"_qs;
    EXPECT_EQ(profileValueText(u"ABC12345.txt"_qs, unset), CardEditText::NoSharedFolder);
    // "NONE" needs no folder.
    EXPECT_EQ(profileValueText(u"None"_qs, unset), CardEditText::NoProfile);
}

TEST_F(ProfileFiles, NamesFromTheBookCannotLeaveTheProfileFolder)
{
    ASSERT_TRUE(writeAll(logFolder + u"/secret.txt"_qs, "secret"));
    ASSERT_TRUE(writeAll(profile(u"sub/inner.txt"_qs), "inner"));
    for (const QString &value : {u"../secret.txt"_qs, u".."_qs, u"."_qs, u"sub/inner.txt"_qs,
                                 logFolder + u"/secret.txt"_qs, u"sub"_qs})
        EXPECT_EQ(profileValueText(value, options), CardEditText::NoProfile) << value.toStdString();
}

TEST_F(ProfileFiles, OnlySmallRegularFilesAreRead)
{
    ASSERT_TRUE(writeAll(profile(u"limit.txt"_qs), QByteArray(MaxProfileFileSize, 'a')));
    ASSERT_TRUE(writeAll(profile(u"big.txt"_qs), QByteArray(MaxProfileFileSize + 1, 'a')));
    EXPECT_EQ(profileValueText(u"limit.txt"_qs, options).size(), MaxProfileFileSize);
    EXPECT_EQ(profileValueText(u"big.txt"_qs, options), CardEditText::NoProfile);

    // A pipe without a writer and a device must not block or be read.
    ASSERT_EQ(::mkfifo(QFile::encodeName(profile(u"fifo"_qs)).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(u"/dev/zero"_qs, profile(u"zero"_qs)));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(profileValueText(u"fifo"_qs, options), CardEditText::NoProfile);
    EXPECT_EQ(profileValueText(u"zero"_qs, options), CardEditText::NoProfile);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST_F(ProfileFiles, HostPathsAreMappedToLocalPaths)
{
    ASSERT_TRUE(writeAll(profile(u"sub/x.txt"_qs), "mapped"));
    // Unmapped by default.
    EXPECT_EQ(profileValueText(u"C:\\Corvid\\Profile\\sub\\x.txt"_qs, options),
              CardEditText::NoProfile);
    const QString target = profile(u"sub/x.txt"_qs);
    options.hostToLocalPath = [&](const QString &p) {
        return p == u"C:\\Corvid\\Profile\\sub\\x.txt"_qs ? target : QString();
    };
    EXPECT_EQ(profileValueText(u"C:\\Corvid\\Profile\\sub\\x.txt"_qs, options), u"mapped"_qs);
    EXPECT_EQ(profileValueText(u"C:\\other.txt"_qs, options), CardEditText::NoProfile);
}

TEST_F(ProfileFiles, ChosenFilesKeepTheirNameOnlyDirectlyInTheProfileFolder)
{
    EXPECT_EQ(profileValueForFile(profile(u"A.txt"_qs), options), u"A.txt"_qs);
    // In a subfolder the whole path is kept, as the host names it.
    EXPECT_EQ(profileValueForFile(profile(u"sub/B.txt"_qs), options),
              wineDriveZPath(profile(u"sub/B.txt"_qs)));
    EXPECT_TRUE(wineDriveZPath(u"/home/u/b.txt"_qs) == u"Z:\\home\\u\\b.txt"_qs);
    options.localToHostPath = nullptr;
    EXPECT_EQ(profileValueForFile(u"/elsewhere/c.txt"_qs, options), u"/elsewhere/c.txt"_qs);
    options.sharedLogFolder.clear();
    EXPECT_EQ(profileValueForFile(profile(u"A.txt"_qs), options), profile(u"A.txt"_qs));
}
