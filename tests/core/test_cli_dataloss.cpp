// brindle-cli when a file cannot be taken whole: cards beyond the card limit,
// bytes after the last card of an address book file.
#include <QTemporaryDir>

#include "common/cp932.h"
#include "core/cardops.h"
#include "core/ndbfile.h"
#include "formats/fileprocs.h"
#include "support/clirun.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

namespace {

constexpr int ExitBadCards = 2;
constexpr int ExitDataLoss = 4;

class CliDataLoss : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const QString &name) const { return dir.filePath(name); }
    AddressBook read(const QString &file)
    {
        AddressBook book;
        ScriptedPrompter prompter;
        EXPECT_EQ(readNdbFile(file, book, prompter), 0);
        return book;
    }
    // A book of two normal cards, its image, and the same image followed by
    // `tail` bytes, written as "tail.ndb".
    QByteArray writeWithTail(int tail)
    {
        AddressBook book;
        ScriptedPrompter quiet;
        for (int i = 1; i <= 2; ++i) {
            Card c = Card::newCard();
            c.ids = {QStringLiteral("user%1@example.jp").arg(i)};
            c.names = {QStringLiteral("名前%1").arg(i)};
            addCard(c, book, quiet, 45000.0);
        }
        const QByteArray clean = *buildNdbImage(book);
        EXPECT_TRUE(writeAll(path(QStringLiteral("clean.ndb")), clean));
        EXPECT_TRUE(writeAll(path(QStringLiteral("tail.ndb")), clean + QByteArray(tail, '\x7f')));
        return clean;
    }
    QTemporaryDir dir;
};

TEST_F(CliDataLoss, CardsBeyondTheLimitAreLeftOutWithExitFour)
{
    const int total = MaxCardCounter + 2;
    QString text = QStringLiteral("=====\r\n");
    for (int i = 1; i <= total; ++i)
        text += QStringLiteral("[%1]").arg(i, 6, 10, QLatin1Char('0')) + QString(60, u'-')
            + QStringLiteral("\r\nID1：u%1\r\n").arg(i);
    ASSERT_TRUE(writeAll(path(QStringLiteral("many.txt")), cp932::encode(text)));

    const CliRun r = runCli({QStringLiteral("convert"), path(QStringLiteral("many.txt")),
                             path(QStringLiteral("out.ndb"))});
    EXPECT_EQ(r.exitCode, ExitDataLoss) << r.errText().toStdString();
    EXPECT_TRUE(r.errText().contains(cardsLeftOutMessage(total, MaxCardCounter - 1)))
        << r.errText().toStdString();
    const AddressBook out = read(path(QStringLiteral("out.ndb")));
    EXPECT_EQ(out.cardCount() - 1, MaxCardCounter - 1);
    EXPECT_EQ(out.cardCounter, MaxCardCounter);
    EXPECT_EQ(out.cards.last().number, MaxCardCounter - 1);
}

TEST_F(CliDataLoss, CheckNamesTrailingBytesAndExitsTwo)
{
    writeWithTail(7);
    CliRun r = runCli({QStringLiteral("check"), path(QStringLiteral("clean.ndb"))});
    ASSERT_EQ(r.exitCode, 0) << r.outText().toStdString();

    r = runCli({QStringLiteral("check"), path(QStringLiteral("tail.ndb"))});
    EXPECT_EQ(r.exitCode, ExitBadCards);
    EXPECT_TRUE(r.outText().contains(QStringLiteral("7 trailing bytes after the last card")))
        << r.outText().toStdString();

    // info only reads: a warning, and success.
    r = runCli({QStringLiteral("info"), path(QStringLiteral("tail.ndb"))});
    EXPECT_EQ(r.exitCode, 0) << r.errText().toStdString();
    EXPECT_TRUE(r.errText().contains(trailingBytesMessage(7))) << r.errText().toStdString();
}

TEST_F(CliDataLoss, CommandsThatWriteTheBookExitFour)
{
    const QByteArray clean = writeWithTail(5);
    const QString out = path(QStringLiteral("out.ndb"));
    const QList<QStringList> commands = {
        {QStringLiteral("convert"), path(QStringLiteral("tail.ndb")), out},
        {QStringLiteral("repair"), path(QStringLiteral("tail.ndb")), QStringLiteral("--level"),
         QStringLiteral("1"), QStringLiteral("-o"), out},
        {QStringLiteral("dedupe"), path(QStringLiteral("tail.ndb")), QStringLiteral("--merge"),
         QStringLiteral("-o"), out},
        {QStringLiteral("slim"), path(QStringLiteral("tail.ndb")), QStringLiteral("--level"),
         QStringLiteral("0"), QStringLiteral("-o"), out},
        {QStringLiteral("idconv"), path(QStringLiteral("tail.ndb")), QStringLiteral("-o"), out},
    };
    for (const QStringList &args : commands) {
        QFile::remove(out);
        const CliRun r = runCli(args);
        EXPECT_EQ(r.exitCode, ExitDataLoss) << args.first().toStdString() << ": "
                                            << r.errText().toStdString();
        EXPECT_TRUE(r.errText().contains(trailingBytesMessage(5))) << args.first().toStdString();
        EXPECT_EQ(readAll(out), clean) << args.first().toStdString();
    }

    // Without -o nothing is written, and nothing is lost.
    const CliRun r = runCli({QStringLiteral("slim"), path(QStringLiteral("tail.ndb")),
                             QStringLiteral("--level"), QStringLiteral("0")});
    EXPECT_EQ(r.exitCode, 0) << r.errText().toStdString();
    EXPECT_TRUE(r.errText().contains(trailingBytesMessage(5)));
}

} // namespace
