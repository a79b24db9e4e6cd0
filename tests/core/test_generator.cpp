#include "support/generator.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <algorithm>

#include "common/cp932.h"
#include "common/oledate.h"
#include "core/ndbfile.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

namespace {

// The host's line patterns written as regular expressions.
const QRegularExpression MailLogPattern(
    QStringLiteral(R"(^[0-9]{2}/[0-9]{2}/[0-9]{2} [受送]信 .{3}[0-9]{5} .{3}[0-9]{5} .{8} .*$)"),
    QRegularExpression::DotMatchesEverythingOption);
const QRegularExpression ExchangePattern(
    QStringLiteral(R"(^[0-9]{2}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}[ap]m .*$)"),
    QRegularExpression::DotMatchesEverythingOption);
const QRegularExpression RemarkPattern(QStringLiteral(R"(^[0-9]{2}/[0-9]{2}/[0-9]{2} .*$)"),
                                       QRegularExpression::DotMatchesEverythingOption);

bool allMatch(const QStringList &lines, const QRegularExpression &re)
{
    return std::all_of(lines.begin(), lines.end(),
                       [&](const QString &l) { return re.match(l).hasMatch(); });
}

bool isValidDate(DateValue v)
{
    return v >= MinShowableDate && v < MaxShowableDate;
}

bool blankAfterTrim(const QString &s, int below)
{
    qsizetype a = 0, b = s.size();
    while (a < b && s[a] == u' ')
        ++a;
    while (b > a && s[b - 1] == u' ')
        --b;
    return b - a < below;
}

// The card rules in the order the host tests them: the first code a card
// breaks, or 0. Kept independent of the product's validation so that the
// generator is checked against the rules as written.
int firstBrokenRule(const QStringList &groupList, const Card &c, DateValue now)
{
    if (c.ids.isEmpty()) return 1;
    if (c.names.isEmpty()) return 2;
    if (!isValidDate(c.created)) return 3;
    if (!isValidDate(c.updated)) return 4;
    if (c.birthday != NoDate && !isValidDate(c.birthday)) return 5;
    if (c.itemCount != 19) return 6;
    for (const QString &p : c.profile)
        if (!p.contains(u'\t')) return 10;
    if (!allMatch(c.mailLog, MailLogPattern)) return 11;
    if (c.exchangeAutoRecord != 10 && c.exchangeAutoRecord != 0) return 20;
    if (!allMatch(c.exchangeRecords, ExchangePattern)) return 21;
    if (c.remarkAutoRecord != 10 && c.remarkAutoRecord != 0) return 30;
    if (!allMatch(c.remarkRecords, RemarkPattern)) return 31;
    for (const QString &id : c.ids)
        if (blankAfterTrim(id, 2)) return 40;
    for (const QString &g : c.groups)
        if (!groupList.contains(g)) return 50;
    if (c.groups.size() > groupList.size()) return 51;
    if (c.created > c.updated) return 60;
    for (const QString &n : c.names)
        if (blankAfterTrim(n, 1)) return 100;
    if (c.created > now || c.created < 2.0) return 101;
    if (c.updated > now) return 102;
    if (c.birthday != NoDate && (c.birthday > now || c.birthday < -18260.0)) return 103;
    if (c.ids.size() >= 100) return 200;
    if (c.names.size() >= 100) return 300;
    if (c.profile.size() >= 100) return 500;
    if (c.mailLog.size() >= 1000) return 600;
    if (c.exchangeRecords.size() >= 1000) return 700;
    if (c.remarkRecords.size() >= 1000) return 800;
    const qsizetype text = c.address.size() + c.pager.size() + c.fax.size() + c.mobile.size()
        + c.memo.size() + c.postalCode.size() + c.telephone.size();
    if (text >= 10000) return 900;
    return 0;
}

// Every text of the book, for encoding checks.
QStringList allTexts(const AddressBook &book)
{
    QStringList texts;
    for (const Card &c : book.cards) {
        texts << c.ids << c.names << c.groups << c.profile << c.mailLog << c.exchangeRecords
              << c.remarkRecords;
        texts << c.postalCode << c.address << c.telephone << c.fax << c.memo << c.mobile
              << c.pager;
    }
    return texts;
}

// The date at the start of a log line, the two-digit year read as 1970-2069.
QDate lineDate(const QString &line)
{
    const int yy = line.left(2).toInt();
    return QDate(yy < 70 ? 2000 + yy : 1900 + yy, line.mid(3, 2).toInt(), line.mid(6, 2).toInt());
}

GeneratorOptions options(quint32 seed, int cards, bool bad = true)
{
    GeneratorOptions o;
    o.seed = seed;
    o.cards = cards;
    o.badCards = bad;
    return o;
}

} // namespace

TEST(Generator, SameSeedSameBookOtherSeedOtherBook)
{
    const AddressBook a = generateBook(options(7, 300));
    const AddressBook b = generateBook(options(7, 300));
    const AddressBook c = generateBook(options(8, 300));
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a == c);
    ASSERT_EQ(c.cardCount(), 301);
    int sameIds = 0;
    for (int i = 1; i < a.cardCount(); ++i)
        sameIds += a.cards[i].ids == c.cards[i].ids;
    EXPECT_LT(sameIds, 10);
}

TEST(Generator, HeaderNumbersAndGroups)
{
    const AddressBook book = generateBook(options(3, 250, false));
    EXPECT_EQ(book.signature, AddressBook::Signature);
    ASSERT_EQ(book.cardCount(), 251);
    EXPECT_EQ(book.cardCounter, 251);
    EXPECT_EQ(book.systemCard().number, 0);
    EXPECT_EQ(book.systemCard().itemCount, 2);
    EXPECT_TRUE(book.systemCard().ids.isEmpty());
    EXPECT_EQ(book.groupList().size(), 12);
    EXPECT_EQ(QSet<QString>(book.groupList().begin(), book.groupList().end()).size(), 12);
    for (int i = 1; i < book.cardCount(); ++i)
        EXPECT_EQ(book.cards[i].number, i);

    GeneratorOptions many = options(3, 10, false);
    many.groups = 30;
    const AddressBook big = generateBook(many);
    EXPECT_EQ(big.groupList().size(), 30);
    EXPECT_EQ(QSet<QString>(big.groupList().begin(), big.groupList().end()).size(), 30);
}

TEST(Generator, OrdinaryCardsKeepEveryRuleAndLogLinesMatchTheirFormats)
{
    const AddressBook book = generateBook(options(11, 600));
    const DateValue now = oleNow();
    int lines = 0;
    for (int i = 1; i < book.cardCount(); ++i) {
        const Card &c = book.cards[i];
        const int planted = plantedRule(c);
        if (planted > 0)
            continue;
        SCOPED_TRACE(c.number);
        EXPECT_EQ(firstBrokenRule(book.groupList(), c, now), 0);
        EXPECT_LE(c.created, c.updated);
        EXPECT_TRUE(allMatch(c.mailLog, MailLogPattern));
        EXPECT_TRUE(allMatch(c.exchangeRecords, ExchangePattern));
        EXPECT_TRUE(allMatch(c.remarkRecords, RemarkPattern));
        // Log lines are dated between the card's creation and last update,
        // in order.
        const QDate first = oleToDate(c.created), last = oleToDate(c.updated);
        for (const QStringList *log : {&c.mailLog, &c.exchangeRecords, &c.remarkRecords}) {
            QDate previous = first;
            for (const QString &line : *log) {
                const QDate d = lineDate(line);
                ASSERT_TRUE(d.isValid()) << line.toStdString();
                EXPECT_GE(d, previous) << line.toStdString();
                EXPECT_LE(d, last) << line.toStdString();
                previous = d;
                ++lines;
            }
        }
    }
    EXPECT_GT(lines, 5000);
}

TEST(Generator, PlantsOneCardPerRuleEachBreakingOnlyThatRule)
{
    const AddressBook book = generateBook(options(1, 300));
    const DateValue now = oleNow();
    QHash<int, int> found; // rule -> card index
    for (int i = 1; i < book.cardCount(); ++i) {
        const int rule = plantedRule(book.cards[i]);
        if (rule == 0)
            continue;
        EXPECT_FALSE(found.contains(rule)) << rule;
        found.insert(rule, i);
        const int expected = rule > 0 ? rule : 0;
        EXPECT_EQ(firstBrokenRule(book.groupList(), book.cards[i], now), expected) << rule;
    }
    for (int rule : plantedRuleCodes())
        EXPECT_TRUE(found.contains(rule)) << rule;
    EXPECT_EQ(found.size(), plantedRuleCodes().size() + 2);

    // Planted cards are spread over the book, not bunched at one end.
    const QList<int> at = found.values();
    EXPECT_LT(*std::min_element(at.begin(), at.end()), 30);
    EXPECT_GT(*std::max_element(at.begin(), at.end()), 270);

    // The duplicate number: exactly one number is used twice, the counter
    // stays above every number.
    ASSERT_TRUE(found.contains(PlantedDuplicateNumber));
    QHash<qint32, int> numbers;
    for (int i = 1; i < book.cardCount(); ++i) {
        EXPECT_LT(book.cards[i].number, book.cardCounter);
        ++numbers[book.cards[i].number];
    }
    EXPECT_EQ(numbers.size(), 299);
    EXPECT_EQ(numbers.value(book.cards[found.value(PlantedDuplicateNumber)].number), 2);
    EXPECT_EQ(book.cardCounter, 301);

    // IDs are unique ignoring case, but for the one planted pair, which
    // differs in letter case.
    QHash<QString, QStringList> byKey;
    for (int i = 1; i < book.cardCount(); ++i)
        for (const QString &id : book.cards[i].ids)
            byKey[id.toLower()] << id;
    int shared = 0;
    for (auto it = byKey.cbegin(); it != byKey.cend(); ++it) {
        if (it.value().size() > 1) {
            ++shared;
            ASSERT_EQ(it.value().size(), 2);
            EXPECT_NE(it.value()[0], it.value()[1]);
            EXPECT_TRUE(book.cards[found.value(PlantedDuplicateId)].ids.contains(it.value()[1]));
        }
    }
    EXPECT_EQ(shared, 1);

    // The marks name their rule.
    EXPECT_TRUE(book.cards[found.value(11)].memo.startsWith(plantedMark(11)));
    EXPECT_TRUE(plantedMark(11).contains(QStringLiteral("電子メールが異常")));
}

TEST(Generator, WithoutBadCardsEveryCardIsInOrder)
{
    const AddressBook book = generateBook(options(5, 400, false));
    const DateValue now = oleNow();
    QSet<QString> keys;
    qsizetype ids = 0;
    for (int i = 1; i < book.cardCount(); ++i) {
        EXPECT_EQ(plantedRule(book.cards[i]), 0);
        EXPECT_EQ(firstBrokenRule(book.groupList(), book.cards[i], now), 0) << i;
        for (const QString &id : book.cards[i].ids)
            keys.insert(id.toLower());
        ids += book.cards[i].ids.size();
    }
    EXPECT_EQ(keys.size(), ids);
}

TEST(Generator, SmallAndEmptyBooks)
{
    const AddressBook none = generateBook(options(1, 0));
    EXPECT_EQ(none.cardCount(), 1);
    EXPECT_EQ(none.cardCounter, 1);

    // Fewer cards than planted kinds: the first cards are planted.
    const AddressBook few = generateBook(options(1, 4));
    ASSERT_EQ(few.cardCount(), 5);
    EXPECT_EQ(plantedRule(few.cards[1]), 1);
    EXPECT_EQ(plantedRule(few.cards[4]), 4);

    // Without groups there is no duplicate-group card.
    GeneratorOptions noGroups = options(1, 100);
    noGroups.groups = 0;
    const AddressBook book = generateBook(noGroups);
    EXPECT_TRUE(book.groupList().isEmpty());
    for (int i = 1; i < book.cardCount(); ++i) {
        EXPECT_NE(plantedRule(book.cards[i]), 51);
        if (plantedRule(book.cards[i]) != 50) {
            EXPECT_TRUE(book.cards[i].groups.isEmpty());
        }
    }
}

TEST(Generator, AllTextRoundTripsThroughCp932)
{
    const AddressBook book = generateBook(options(2, 1500));
    const QStringList texts = allTexts(book) << book.groupList();
    bool halfKana = false, nec = false, ibm = false;
    for (const QString &t : texts) {
        ASSERT_EQ(cp932::decode(cp932::encode(t)), t) << t.toStdString();
        for (QChar ch : t) {
            const char16_t u = ch.unicode();
            halfKana |= u >= 0xFF61 && u <= 0xFF9F;
            nec |= u == u'①' || u == u'㈱';
            ibm |= u == u'髙' || u == u'﨑';
        }
    }
    EXPECT_TRUE(halfKana);
    EXPECT_TRUE(nec);
    EXPECT_TRUE(ibm);
}

TEST(Generator, SizesAreSkewedAndScale)
{
    GeneratorOptions o = options(4, 2000, false);
    const AddressBook book = generateBook(o);
    QList<qsizetype> mail;
    int heavy = 0, withProfile = 0, withMemo = 0, multiLineMemo = 0, birthdays = 0;
    for (int i = 1; i < book.cardCount(); ++i) {
        const Card &c = book.cards[i];
        mail << c.mailLog.size();
        heavy += c.mailLog.size() >= 200 || c.exchangeRecords.size() >= 200
            || c.remarkRecords.size() >= 200;
        withProfile += !c.profile.isEmpty();
        withMemo += !c.memo.isEmpty();
        multiLineMemo += c.memo.contains(QStringLiteral("\r\n"));
        birthdays += c.birthday != NoDate;
    }
    std::sort(mail.begin(), mail.end());
    EXPECT_LE(mail[mail.size() / 2], 5);    // most cards are small
    EXPECT_GE(mail.last(), 200);             // a few are heavy
    EXPECT_LT(mail.last(), 1000);
    EXPECT_GT(heavy, 10);
    EXPECT_LT(heavy, 200);
    EXPECT_GT(withProfile, 100);
    EXPECT_GT(multiLineMemo, 50);
    EXPECT_LT(withMemo, 1000);
    EXPECT_GT(birthdays, 800);
    EXPECT_LT(birthdays, 1600);

    o.logScale = 0.0;
    const AddressBook quiet = generateBook(o);
    o.logScale = 3.0;
    const AddressBook loud = generateBook(o);
    qsizetype quietLines = 0, loudLines = 0, lines = 0;
    for (int i = 1; i < book.cardCount(); ++i) {
        lines += book.cards[i].mailLog.size() + book.cards[i].remarkRecords.size();
        quietLines += quiet.cards[i].mailLog.size() + quiet.cards[i].remarkRecords.size();
        loudLines += loud.cards[i].mailLog.size() + loud.cards[i].remarkRecords.size();
        EXPECT_LT(loud.cards[i].mailLog.size(), 1000);
    }
    EXPECT_EQ(quietLines, 0);
    EXPECT_GT(loudLines, 2 * lines);
}

TEST(Generator, BookSurvivesTheAddressBookFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Address.ndb"));
    const AddressBook book = generateBook(options(9, 400));
    ScriptedPrompter prompter;
    ASSERT_EQ(writeNdbFile(path, book, prompter), 0);
    AddressBook read;
    ASSERT_EQ(readNdbFile(path, read, prompter), 0);
    EXPECT_TRUE(prompter.texts().isEmpty());

    // Only the out-of-range birthday of the card planted for code 5 comes
    // back as the empty date.
    AddressBook expected = book;
    for (Card &c : expected.cards)
        if (plantedRule(c) == 5)
            c.birthday = NoDate;
    ASSERT_EQ(read.cardCount(), expected.cardCount());
    EXPECT_EQ(read.cardCounter, expected.cardCounter);
    // The file keeps only the system card's two lists.
    EXPECT_EQ(read.systemCard().names, expected.systemCard().names);
    EXPECT_TRUE(read.systemCard().ids.isEmpty());
    for (int i = 1; i < read.cardCount(); ++i)
        EXPECT_TRUE(read.cards[i] == expected.cards[i]) << "card index " << i;

    // Written again, the file differs only in the eight bytes of that
    // birthday.
    const QString again = dir.filePath(QStringLiteral("Again.ndb"));
    ASSERT_EQ(writeNdbFile(again, read, prompter), 0);
    const QByteArray first = readAll(path), second = readAll(again);
    ASSERT_EQ(first.size(), second.size());
    int differing = 0;
    for (qsizetype i = 0; i < first.size(); ++i)
        differing += first[i] != second[i];
    EXPECT_GE(differing, 1);
    EXPECT_LE(differing, 8);
    EXPECT_TRUE(second == buildNdbImage(expected).value_or(QByteArray()));
}

TEST(Generator, CommandWritesTheSameFileForTheSameOptions)
{
    const QString gen = QFileInfo(QStringLiteral(BRINDLE_CLI)).dir().filePath(
        QStringLiteral("brindle-gen"));
    ASSERT_TRUE(QFileInfo::exists(gen));
    QTemporaryDir dir;
    auto run = [&](const QStringList &args) {
        QProcess p;
        p.start(gen, args);
        if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
            return -100;
        return p.exitCode();
    };
    const QString a = dir.filePath(QStringLiteral("a.ndb")), b = dir.filePath(QStringLiteral("b.ndb"));
    ASSERT_EQ(run({QStringLiteral("--seed"), QStringLiteral("5"), QStringLiteral("--cards"),
                   QStringLiteral("120"), a}), 0);
    ASSERT_EQ(run({QStringLiteral("--cards"), QStringLiteral("120"), QStringLiteral("--seed"),
                   QStringLiteral("5"), b}), 0);
    EXPECT_TRUE(readAll(a) == readAll(b));

    GeneratorOptions o = options(5, 120);
    const std::optional<QByteArray> image = buildNdbImage(generateBook(o));
    ASSERT_TRUE(image.has_value());
    EXPECT_TRUE(readAll(a) == *image);

    o.badCards = false;
    ASSERT_EQ(run({QStringLiteral("--seed"), QStringLiteral("5"), QStringLiteral("--cards"),
                   QStringLiteral("120"), QStringLiteral("--no-bad"), b}), 0);
    EXPECT_TRUE(readAll(b) == *buildNdbImage(generateBook(o)));

    EXPECT_EQ(run({QStringLiteral("--cards"), QStringLiteral("40000"), a}), 2);
    EXPECT_EQ(run({QStringLiteral("--bogus"), a}), 2);
    EXPECT_EQ(run({}), 2);
}

TEST(Generator, DemoSampleIsWhatTheGeneratorMakes)
{
    // samples/README.md gives the command; this keeps the file in step with
    // the generator.
    const QByteArray sample = readAll(QStringLiteral(BRINDLE_SOURCE_DIR "/samples/demo.ndb"));
    ASSERT_FALSE(sample.isEmpty());
    const std::optional<QByteArray> image = buildNdbImage(generateBook(options(1, 300)));
    ASSERT_TRUE(image.has_value());
    EXPECT_TRUE(sample == *image)
        << "regenerate: build/bin/brindle-gen --seed 1 --cards 300 samples/demo.ndb";
}
