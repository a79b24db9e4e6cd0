#include <QSet>

#include "core/cardops.h"
#include "core/reportbanner.h"
#include "core/validation.h"
#include "support/generator.h"
#include "support/testutil.h"
#include "tools/restore.h"

namespace {

const DateValue Now = 45000.5;

Card cardWith(qint32 number, const QString &name, const QStringList &ids, DateValue updated = 41000.0)
{
    Card c = Card::newCard();
    c.number = number;
    c.ids = ids;
    c.names = {name};
    c.created = 40000.0;
    c.updated = updated;
    return c;
}

AddressBook bookOf(const QList<Card> &cards)
{
    AddressBook book;
    for (const Card &c : cards)
        book.cards.append(c);
    book.cardCounter = qint32(book.cards.size());
    validateAll(book, CardLimits{}, Now);
    return book;
}

DuplicateIdResult merge(AddressBook &book)
{
    return handleDuplicateIds(book, DuplicateIdMode::Merge, CardLimits{}, Now);
}

QSet<QString> lowerIds(const AddressBook &book)
{
    QSet<QString> out;
    for (qsizetype i = 1; i < book.cardCount(); ++i)
        for (const QString &id : book.cards[i].ids)
            out.insert(id.toLower());
    return out;
}

} // namespace

TEST(Restore, CountsAndRepairByLevel)
{
    Card broken = cardWith(1, u"x"_qs, {u"aa@x.jp"_qs});
    broken.names.clear();
    Card abnormal = cardWith(2, u"y"_qs, {u"bb@x.jp"_qs});
    abnormal.exchangeAutoRecord = 1;
    Card suspicious = cardWith(3, u"z"_qs, {u"cc@x.jp"_qs});
    suspicious.birthday = -18261.0; // 1849-12-31
    AddressBook book = bookOf({broken, abnormal, suspicious, cardWith(4, u"w"_qs, {u"dd@x.jp"_qs})});

    const SeverityCounts counts = countBySeverity(book);
    EXPECT_EQ(counts.cards, 4);
    EXPECT_EQ(counts.broken, 1);
    EXPECT_EQ(counts.abnormal, 1);
    EXPECT_EQ(counts.suspicious, 1);

    // Level 3 mends the broken card only; it now has one blank name.
    CardRepairResult r = repairFlaggedCards(book, RepairBroken, CardLimits{}, Now);
    EXPECT_EQ(r.fixedCards, 1);
    EXPECT_EQ(r.fixes, 1);
    EXPECT_EQ(cardRepairMessage(r), u"1 枚のｶｰﾄﾞ（1 個所）を修復しました。"_qs);
    EXPECT_EQ(book.cards[1].status, StatusBlankName);
    EXPECT_EQ(book.cards[2].status, StatusBadExchangeFlag);

    // Level 1 mends the rest; the last name is never removed.
    r = repairFlaggedCards(book, RepairAll, CardLimits{}, Now);
    EXPECT_EQ(r.fixedCards, 2);
    EXPECT_EQ(book.cards[2].exchangeAutoRecord, FlagOn);
    EXPECT_EQ(book.cards[3].birthday, NoDate);
    EXPECT_EQ(book.cards[2].status, StatusNormal);
    EXPECT_EQ(book.cards[3].status, StatusNormal);
    EXPECT_EQ(book.cards[1].names.size(), 1);
    r = repairFlaggedCards(book, RepairAll, CardLimits{}, Now);
    EXPECT_EQ(cardRepairMessage(r), u"修復個所はありませんでした。"_qs);

    // An interrupt stops before the next card.
    book = bookOf({abnormal, abnormal, abnormal});
    int calls = 0;
    r = repairFlaggedCards(book, RepairAbnormal, CardLimits{}, Now,
                           [&calls](qint64, qint64) { return ++calls <= 1; });
    EXPECT_TRUE(r.interrupted);
    EXPECT_EQ(r.fixedCards, 1);
    EXPECT_EQ(book.cards[2].exchangeAutoRecord, 1);
}

TEST(Restore, DuplicatesWithinOneCardAndReportOnly)
{
    AddressBook book = bookOf({cardWith(1, u"山田"_qs, {u"abc@x.jp"_qs, u"def@x.jp"_qs, u"ABC@x.jp"_qs}),
                               cardWith(2, u"佐藤"_qs, {u"zzz@x.jp"_qs})});
    const AddressBook original = book;
    const QDateTime stamp(QDate(2024, 5, 6), QTime(7, 8, 9));

    // Report only: nothing changes; letter case does not matter.
    DuplicateIdResult r = handleDuplicateIds(book, DuplicateIdMode::Report, CardLimits{}, Now);
    EXPECT_EQ(book, original);
    EXPECT_EQ(r.duplicates, 1);
    const QString line = cardSummaryText(original.cards[1]) + u"（カード内で重複）\r\n"_qs;
    EXPECT_EQ(duplicateIdReport(r, DuplicateIdMode::Report, stamp),
              reportBanner(u"重複ID一覧"_qs, stamp) + line + QString(70, u'-')
                  + u"\r\n1 個のIDが重複しています。"_qs);
    EXPECT_EQ(duplicateIdReportTitle(DuplicateIdMode::Report), u"重複IDの検索レポート"_qs);
    EXPECT_EQ(duplicateIdReportFileName(), u"ID統合"_qs);

    // Merge: the first occurrence stays.
    r = merge(book);
    EXPECT_EQ(r.lines, line);
    EXPECT_EQ(r.removedIds, 1);
    EXPECT_EQ(book.cards[1].ids, (QStringList{u"abc@x.jp"_qs, u"def@x.jp"_qs}));
    EXPECT_TRUE(duplicateIdReport(r, DuplicateIdMode::Merge, stamp)
                    .endsWith(u"\r\n1 個のIDが重複していました。"_qs));
    EXPECT_EQ(duplicateIdReportTitle(DuplicateIdMode::Merge), u"重複IDの統合処理レポート"_qs);

    r = merge(book);
    EXPECT_EQ(r.duplicates, 0);
    EXPECT_EQ(noDuplicateIdMessage(), u"IDの重複はありませんでした。"_qs);
}

TEST(Restore, MergingCardsThatShareIds)
{
    // Three cards sharing one ID: the card updated last absorbs the others.
    Card a = cardWith(1, u"A"_qs, {u"same@x.jp"_qs, u"a@x.jp"_qs}, 41000.0);
    a.mailLog = {u"01/01/01 a"_qs};
    Card b = cardWith(2, u"B"_qs, {u"Same@x.jp"_qs}, 42000.0);
    b.memo = u"ﾒﾓB"_qs;
    Card c = cardWith(3, u"C"_qs, {u"SAME@x.jp"_qs, u"c@x.jp"_qs}, 41500.0);
    c.mailLog = {u"02/02/02 c"_qs};
    AddressBook book = bookOf({a, b, c, cardWith(4, u"D"_qs, {u"d@x.jp"_qs})});
    DuplicateIdResult r = merge(book);
    ASSERT_EQ(book.cardCount(), 3);
    const Card &s = book.cards[1];
    EXPECT_EQ(s.number, 2);
    EXPECT_EQ(QSet<QString>(s.names.begin(), s.names.end()),
              (QSet<QString>{u"A"_qs, u"B"_qs, u"C"_qs}));
    EXPECT_EQ(s.ids.size(), 3);
    EXPECT_EQ(s.mailLog.size(), 2);
    EXPECT_EQ(s.memo, u"ﾒﾓB"_qs);
    EXPECT_EQ(book.cards[2].number, 4);
    EXPECT_EQ(r.duplicates, 2);
    EXPECT_EQ(r.mergedCards, 2);
    EXPECT_EQ(r.lines.count(u"（別カードで重複）"_qs), 2);

    // Two cards sharing two IDs: the second pair names a card that is gone
    // by then; it is still reported as a pair from two cards (as the report
    // mode reports it) and merges nothing more.
    book = bookOf({cardWith(1, u"A"_qs, {u"x@x.jp"_qs, u"y@x.jp"_qs}, 41000.0),
                   cardWith(2, u"B"_qs, {u"X@x.jp"_qs, u"y@x.jp"_qs}, 41000.0)});
    r = merge(book);
    ASSERT_EQ(book.cardCount(), 2);
    EXPECT_EQ(book.cards[1].number, 2); // equal dates: the second of the pair stays
    EXPECT_EQ(book.cards[1].ids, (QStringList{u"X@x.jp"_qs, u"y@x.jp"_qs}));
    EXPECT_EQ(r.duplicates, 2);
    EXPECT_EQ(r.mergedCards, 1);
    EXPECT_EQ(r.lines.count(u"（別カードで重複）"_qs), 2);
    EXPECT_EQ(r.lines.count(u"（カード内で重複）"_qs), 0);
    EXPECT_EQ(r.removedIds, 0);
    AddressBook reported = bookOf({cardWith(1, u"A"_qs, {u"x@x.jp"_qs, u"y@x.jp"_qs}, 41000.0),
                                   cardWith(2, u"B"_qs, {u"X@x.jp"_qs, u"y@x.jp"_qs}, 41000.0)});
    EXPECT_EQ(handleDuplicateIds(reported, DuplicateIdMode::Report, CardLimits{}, Now).lines,
              r.lines);
    EXPECT_TRUE(duplicateIdReport(r, DuplicateIdMode::Merge, oleToDateTime(Now))
                    .endsWith(u"2 個のIDが重複していました。"_qs));

    // A chain: A and B share x, B and C share y; the later card always wins.
    book = bookOf({cardWith(1, u"A"_qs, {u"x@x.jp"_qs}, 43000.0),
                   cardWith(2, u"B"_qs, {u"x@x.jp"_qs, u"y@x.jp"_qs}, 41000.0),
                   cardWith(3, u"C"_qs, {u"y@x.jp"_qs}, 42000.0)});
    r = merge(book);
    ASSERT_EQ(book.cardCount(), 2);
    EXPECT_EQ(book.cards[1].number, 1);
    EXPECT_EQ(book.cards[1].names.size(), 3);
    EXPECT_EQ(book.cards[1].status, StatusNormal);

    // Interrupted before the first pair: nothing changes.
    book = bookOf({cardWith(1, u"A"_qs, {u"x@x.jp"_qs}), cardWith(2, u"B"_qs, {u"x@x.jp"_qs})});
    r = handleDuplicateIds(book, DuplicateIdMode::Merge, CardLimits{}, Now,
                           [](qint64, qint64) { return false; });
    EXPECT_TRUE(r.interrupted);
    EXPECT_EQ(r.duplicates, 0);
    EXPECT_EQ(book.cardCount(), 3);
}

TEST(Restore, GeneratedBookEndsWithoutDuplicates)
{
    GeneratorOptions options;
    options.cards = 300;
    AddressBook book = generateBook(options);
    // A copy of every tenth card appended, under its own number, with its IDs
    // in upper case: the merge must fold each copy back into one card.
    const qsizetype original = book.cardCount();
    for (qsizetype i = 1; i < original; i += 10) {
        Card copy = book.cards[i];
        if (copy.ids.isEmpty())
            continue;
        copy.number = book.cardCounter++;
        for (QString &id : copy.ids)
            id = id.toUpper();
        book.cards.append(copy);
    }
    repairCardNumbers(book);
    validateAll(book, CardLimits{}, Now);
    const QSet<QString> idsBefore = lowerIds(book);

    const DuplicateIdResult found = handleDuplicateIds(book, DuplicateIdMode::Report, CardLimits{}, Now);
    ASSERT_GT(found.duplicates, 30);
    const qsizetype before = book.cardCount();
    const DuplicateIdResult r = merge(book);
    EXPECT_EQ(r.duplicates, found.duplicates);
    EXPECT_EQ(book.cardCount(), before - r.mergedCards);
    EXPECT_GE(r.mergedCards, 30);
    EXPECT_EQ(lowerIds(book), idsBefore) << QStringList((idsBefore - lowerIds(book)).values()).join(u' ').toStdString();
    EXPECT_EQ(merge(book).duplicates, 0);
}

// An ID that is empty or only blanks names nobody: two cards that repair
// left with such an ID are strangers, never duplicates of each other.
TEST(Restore, BlankIdsAreNeverDuplicates)
{
    Card yamada = cardWith(1, u"山田"_qs, {});
    yamada.telephone = u"03-1111"_qs;
    Card suzuki = cardWith(2, u"鈴木"_qs, {});
    suzuki.telephone = u"03-2222"_qs;
    AddressBook book = bookOf({yamada, suzuki});
    repairFlaggedCards(book, RepairAll, CardLimits{}, Now);
    const DuplicateIdResult merged = merge(book);
    EXPECT_EQ(merged.duplicates, 0);
    EXPECT_EQ(merged.mergedCards, 0);
    ASSERT_EQ(book.cardCount(), 3);
    EXPECT_EQ(book.cards[1].telephone, u"03-1111"_qs);
    EXPECT_EQ(book.cards[2].telephone, u"03-2222"_qs);

    // Blank IDs of every kind, on two cards and twice on one card; the real
    // shared ID still counts once.
    const QStringList blanks = {QString(), u" "_qs, u"   "_qs, u"\u3000"_qs, u" \u3000 "_qs};
    for (const QString &blank : blanks) {
        for (const DuplicateIdMode mode : {DuplicateIdMode::Report, DuplicateIdMode::Merge}) {
            AddressBook b = bookOf({cardWith(1, u"a"_qs, {blank, blank, u"x@d.jp"_qs}),
                                    cardWith(2, u"b"_qs, {blank}),
                                    cardWith(3, u"c"_qs, {blank, u"X@d.jp"_qs})});
            const DuplicateIdResult r = handleDuplicateIds(b, mode, CardLimits{}, Now);
            SCOPED_TRACE(QString(u'[' + blank + u']').toStdString());
            EXPECT_EQ(r.duplicates, 1);
            if (mode == DuplicateIdMode::Merge) {
                EXPECT_EQ(r.mergedCards, 1);
                EXPECT_EQ(r.removedIds, 0);
                EXPECT_EQ(b.cardCount(), 3);
            }
        }
    }
}
