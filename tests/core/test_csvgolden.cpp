// Golden tests: each CSV file of tests/data/csv (written for these tests
// from the header lists of other programs' exports) read with the automatic
// mapping gives the cards of its .expected.txt, the program's own list text
// export (in UTF-8 with LF line ends), followed by what the read told the
// user. With BRINDLE_UPDATE_GOLDEN set the expected files are written anew.

#include <QDir>

#include "formats/csv.h"
#include "formats/listtext.h"
#include "support/fakehost.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

namespace {

const QString Folder = QStringLiteral(BRINDLE_TEST_DATA "/csv/");

// The list text of what a file reads as, and the messages of the read.
QString readAsListText(const QString &path)
{
    const FixedClock clock(testNow());
    ScriptedPrompter pr;
    AddressBook book;
    if (CsvFileRead(path, book, pr, autoCsvMapper) != 0)
        return QStringLiteral("(not read)");
    QString text = listFileText(book, testNow());
    for (const auto &asked : pr.asked)
        text += (asked.message.icon == Prompter::Icon::Warning ? u"[loss] "_qs : u"[notice] "_qs)
              + asked.message.text + u"\r\n"_qs;
    text.replace(u"\r\n"_qs, u"\n"_qs);
    return text;
}

class CsvGolden : public testing::TestWithParam<QString>
{
};

} // namespace

TEST_P(CsvGolden, ReadsAsExpected)
{
    const QString input = Folder + GetParam();
    const QString expectedPath = input.chopped(4) + u".expected.txt"_qs;
    const QString actual = readAsListText(input);
    if (qEnvironmentVariableIsSet("BRINDLE_UPDATE_GOLDEN")) {
        ASSERT_TRUE(writeAll(expectedPath, actual.toUtf8()));
        GTEST_SKIP() << "wrote " << expectedPath.toStdString();
    }
    EXPECT_EQ(actual, QString::fromUtf8(readAll(expectedPath)));
}

INSTANTIATE_TEST_SUITE_P(Fixtures, CsvGolden,
                         testing::Values(u"google_contacts.csv"_qs, u"outlook_en.csv"_qs,
                                         u"outlook_ja.csv"_qs, u"thunderbird.csv"_qs,
                                         u"utf16le.csv"_qs),
                         [](const testing::TestParamInfo<QString> &info) {
                             return info.param.chopped(4).toStdString();
                         });

TEST(CsvGoldenSet, EveryFixtureHasAnExpectation)
{
    const QStringList inputs = QDir(Folder).entryList({u"*.csv"_qs}, QDir::Files, QDir::Name);
    EXPECT_EQ(inputs.size(), 5);
    for (const QString &name : inputs)
        EXPECT_TRUE(QFileInfo::exists(Folder + name.chopped(4) + u".expected.txt"_qs))
            << name.toStdString();
}
