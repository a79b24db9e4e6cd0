#include <QRandomGenerator>
#include <QSet>

#include "core/cardops.h"
#include "core/validation.h"
#include "support/testutil.h"

namespace {

const DateValue Now = 45000.5; // 2023-03-15 12:00
const QStringList Groups{u"仕事"_qs, u"友人"_qs};
const CardLimits Small{3, 3, 3, 3, 3, 3, 10};

const QString MailLine = u"01/02/03 受信 abc12345 def67890 12345678 件名"_qs;
const QString ExchangeLine = u"01/02/03 12:34pm 会った"_qs;
const QString RemarkLine = u"01/02/03 発言"_qs;

// A card that breaks no rule.
Card goodCard()
{
    Card c = Card::newCard();
    c.number = 1;
    c.ids = {u"ab@example.jp"_qs};
    c.names = {u"山田"_qs};
    c.groups = {u"仕事"_qs};
    c.profile = {u"趣味\t釣り"_qs};
    c.mailLog = {MailLine};
    c.exchangeRecords = {ExchangeLine};
    c.remarkRecords = {RemarkLine};
    c.created = 40000.0;
    c.updated = 41000.0;
    c.birthday = 20000.0;
    return c;
}

int check(const Card &c, const CardLimits &limits = Small)
{
    return validateCard(c, Groups, limits, Now);
}

} // namespace

TEST(Validation, GoodCardAndRuleOrder)
{
    EXPECT_EQ(check(goodCard()), StatusNormal);
    EXPECT_EQ(check(goodCard(), CardLimits{}), StatusNormal);

    Card c = goodCard();
    c.ids.clear();
    c.names.clear();
    EXPECT_EQ(check(c), StatusNoIds); // the first rule wins
    // Too many IDs, one of them bad: the content rule is reported.
    c = goodCard();
    c.ids = {u"ab"_qs, u"cd"_qs, u"e"_qs};
    EXPECT_EQ(check(c), StatusBadId);
    // Several abnormal things at once: the earliest in table order.
    c = goodCard();
    c.remarkAutoRecord = 3;
    c.exchangeRecords = {u"x"_qs};
    c.groups = {u"未登録"_qs};
    EXPECT_EQ(check(c), StatusBadExchangeRecord);
}

TEST(Validation, BrokenClassAtTheBoundaries)
{
    Card c = goodCard();
    c.names.clear();
    EXPECT_EQ(check(c), StatusNoNames);

    c = goodCard();
    c.created = NoDate;
    EXPECT_EQ(check(c), StatusCreatedBroken);
    c.created = MaxShowableDate; // 10000-01-01: just past the last valid value
    EXPECT_EQ(check(c), StatusCreatedBroken);
    c.created = qQNaN();
    EXPECT_EQ(check(c), StatusCreatedBroken);
    c.created = MinShowableDate; // 0100-01-01 is valid, but unnatural
    EXPECT_EQ(check(c), StatusOddCreated);

    c = goodCard();
    c.updated = NoDate;
    EXPECT_EQ(check(c), StatusUpdatedBroken);
    c.updated = MinShowableDate - 1.0;
    EXPECT_EQ(check(c), StatusUpdatedBroken);

    c = goodCard();
    c.birthday = MaxShowableDate;
    EXPECT_EQ(check(c), StatusBirthdayBroken);
    c.birthday = NoDate; // no birthday is fine
    EXPECT_EQ(check(c), StatusNormal);

    c = goodCard();
    c.itemCount = 18;
    EXPECT_EQ(check(c), StatusCardBroken);
}

TEST(Validation, LogLinePatterns)
{
    Card c = goodCard();
    c.profile = {u"趣味\t釣り"_qs, u"職業 会社員"_qs};
    EXPECT_EQ(check(c), StatusBadProfile);
    c.profile = {u"\t"_qs};
    EXPECT_EQ(check(c), StatusNormal);

    c = goodCard();
    c.mailLog = {u"99/12/31 送信 XYZ00000 abc12345 ???????? "_qs};
    EXPECT_EQ(check(c), StatusNormal);
    c.mailLog = {MailLine, u"01/02/03 着信 abc12345 def67890 12345678 件名"_qs};
    EXPECT_EQ(check(c), StatusBadMailLog);
    c.mailLog = {u"2001/02/03 受信 abc12345 def67890 12345678 件名"_qs};
    EXPECT_EQ(check(c), StatusBadMailLog);
    c.mailLog = {u"01/02/03 受信 abcd2345 def67890 12345678 件名"_qs}; // a letter for a digit
    EXPECT_EQ(check(c), StatusBadMailLog);
    c.mailLog = {u"01/02/03 受信 abc12345 def67890 12345678"_qs}; // no space after the field
    EXPECT_EQ(check(c), StatusBadMailLog);

    c = goodCard();
    c.exchangeAutoRecord = 1;
    EXPECT_EQ(check(c), StatusBadExchangeFlag);
    c = goodCard();
    c.exchangeRecords = {u"01/02/03 09:05am x"_qs, u"01/02/03 12:34PM 会った"_qs};
    EXPECT_EQ(check(c), StatusBadExchangeRecord);
    c.exchangeRecords = {u"01/02/03 9:05am x"_qs};
    EXPECT_EQ(check(c), StatusBadExchangeRecord);

    c = goodCard();
    c.remarkAutoRecord = FlagUnset;
    EXPECT_EQ(check(c), StatusBadRemarkFlag);
    c = goodCard();
    c.remarkRecords = {u"01/02/03"_qs};
    EXPECT_EQ(check(c), StatusBadRemarkRecord);
    c.remarkRecords = {u"01-02-03 x"_qs};
    EXPECT_EQ(check(c), StatusBadRemarkRecord);
}

TEST(Validation, IdsGroupsAndDateOrder)
{
    Card c = goodCard();
    c.ids = {u"ab@x"_qs, u" a "_qs};
    EXPECT_EQ(check(c), StatusBadId);
    c.ids = {u" ab "_qs};
    EXPECT_EQ(check(c), StatusNormal);

    c = goodCard();
    c.groups = {u"仕事"_qs, u"しごと"_qs};
    EXPECT_EQ(check(c), StatusUnregisteredGroup);
    c.groups = {u"仕事"_qs, u"友人"_qs};
    EXPECT_EQ(check(c), StatusNormal);
    c.groups = {u"仕事"_qs, u"友人"_qs, u"仕事"_qs};
    EXPECT_EQ(check(c), StatusDuplicateGroups);

    c = goodCard();
    c.created = c.updated + 0.001;
    EXPECT_EQ(check(c), StatusUpdatedBeforeCreated);
    c.created = c.updated;
    EXPECT_EQ(check(c), StatusNormal);
}

TEST(Validation, SuspiciousValues)
{
    Card c = goodCard();
    c.names = {u"山田"_qs, u"  "_qs};
    EXPECT_EQ(check(c), StatusBlankName);

    c = goodCard();
    c.created = 1.99;
    EXPECT_EQ(check(c), StatusOddCreated);
    c.created = EarliestNaturalDate;
    EXPECT_EQ(check(c), StatusNormal);
    c.created = c.updated = Now + 0.001;
    EXPECT_EQ(check(c), StatusOddCreated);

    c = goodCard();
    c.updated = Now + 0.001;
    EXPECT_EQ(check(c), StatusOddUpdated);
    c.updated = Now;
    EXPECT_EQ(check(c), StatusNormal);

    c = goodCard();
    c.birthday = EarliestNaturalBirthday - 1.0; // 1849-12-31
    EXPECT_EQ(check(c), StatusOddBirthday);
    c.birthday = EarliestNaturalBirthday;
    EXPECT_EQ(check(c), StatusNormal);
    c.birthday = Now + 1.0;
    EXPECT_EQ(check(c), StatusOddBirthday);
}

TEST(Validation, SizeLimitsAreCheckedLast)
{
    auto atLimit = [](auto set) {
        Card c = goodCard();
        set(c);
        return check(c);
    };
    EXPECT_EQ(atLimit([](Card &c) { c.ids = {u"aa"_qs, u"bb"_qs, u"cc"_qs}; }), StatusTooManyIds);
    EXPECT_EQ(atLimit([](Card &c) { c.ids = {u"aa"_qs, u"bb"_qs}; }), StatusNormal);
    EXPECT_EQ(atLimit([](Card &c) { c.names = {u"a"_qs, u"b"_qs, u"c"_qs}; }), StatusTooManyNames);
    EXPECT_EQ(atLimit([](Card &c) { c.profile = QStringList(3, u"a\tb"_qs); }),
              StatusTooManyProfile);
    EXPECT_EQ(atLimit([](Card &c) { c.mailLog = QStringList(3, MailLine); }),
              StatusTooManyMailLog);
    EXPECT_EQ(atLimit([](Card &c) { c.exchangeRecords = QStringList(3, ExchangeLine); }),
              StatusTooManyExchangeRecords);
    EXPECT_EQ(atLimit([](Card &c) { c.remarkRecords = QStringList(3, RemarkLine); }),
              StatusTooManyRemarkRecords);
    // Text: address, pager, fax, mobile, memo, postal code and telephone summed.
    auto text = [](qsizetype memoLength) {
        return [=](Card &c) {
            c.address = u"a"_qs;
            c.pager = u"p"_qs;
            c.fax = u"f"_qs;
            c.mobile = u"m"_qs;
            c.postalCode = u"z"_qs;
            c.telephone = u"t"_qs;
            c.memo = QString(memoLength, u'メ');
        };
    };
    EXPECT_EQ(atLimit(text(4)), StatusTooMuchText);
    EXPECT_EQ(atLimit(text(3)), StatusNormal);

    // The default limits: 100 IDs.
    Card c = goodCard();
    for (int i = 0; i < 99; ++i)
        c.ids.append(QStringLiteral("id%1@x").arg(i));
    EXPECT_EQ(validateCard(c, Groups, CardLimits{}, Now), StatusTooManyIds);
    QStringList groups = Groups;
    Card repaired = c;
    EXPECT_EQ(repairCard(repaired, groups, RepairAll, Now), 0);
    EXPECT_EQ(repaired, c);
    c.ids.removeLast();
    EXPECT_EQ(validateCard(c, Groups, CardLimits{}, Now), StatusNormal);
}

TEST(Validation, MessagesAndSeverities)
{
    EXPECT_EQ(statusMessage(StatusNormal), u"正常"_qs);
    EXPECT_EQ(statusMessage(StatusNoIds), u"IDが１件も無い"_qs);
    EXPECT_EQ(statusMessage(StatusUnregisteredGroup), u"未登録グループを使用している"_qs);
    EXPECT_EQ(statusMessage(StatusTooMuchText), u"カードの内容が多すぎる"_qs);
    EXPECT_EQ(statusMessage(7), u"未知のエラー"_qs);
    EXPECT_EQ(statusMessage(400), u"未知のエラー"_qs);
    const QList<std::pair<int, int>> severities{{0, 0},  {1, 3},  {9, 3},   {10, 2},  {99, 2},
                                                {100, 1}, {999, 1}, {1000, 0}, {-1, 0}};
    for (const auto &[code, severity] : severities)
        EXPECT_EQ(statusSeverity(code), severity) << code;
}

TEST(Validation, ValidateAllStoresEachStatus)
{
    AddressBook book = AddressBook::newBook();
    book.groupList() = Groups;
    book.cards.append(goodCard());
    Card bad = goodCard();
    bad.ids.clear();
    book.cards.append(bad);
    Card odd = goodCard();
    odd.groups = {u"新"_qs};
    book.cards.append(odd);
    book.cards[0].status = 99;
    EXPECT_EQ(validateAll(book, Small, Now), 2);
    EXPECT_EQ(book.cards[0].status, 99);
    EXPECT_EQ(book.cards[1].status, StatusNormal);
    EXPECT_EQ(book.cards[2].status, StatusNoIds);
    EXPECT_EQ(book.cards[3].status, StatusUnregisteredGroup);
}

// ---- Repair -----------------------------------------------------------------

TEST(RepairCard, BrokenLevelFixesOnlyTheBrokenClass)
{
    Card c = goodCard();
    c.ids.clear();
    c.names.clear();
    c.updated = NoDate;
    c.created = qQNaN();
    c.birthday = 1e9;
    c.itemCount = 17;
    c.profile = {u"no tab"_qs};
    c.exchangeAutoRecord = 7;
    QStringList groups = Groups;
    EXPECT_EQ(repairCard(c, groups, RepairBroken, Now), 6);
    EXPECT_EQ(c.ids, QStringList{QString()});
    EXPECT_EQ(c.names, QStringList{QString()});
    EXPECT_EQ(c.updated, Now);
    EXPECT_EQ(c.created, Now);
    EXPECT_EQ(c.birthday, NoDate);
    EXPECT_EQ(c.itemCount, 19);
    EXPECT_EQ(c.profile, QStringList{u"no tab"_qs});
    EXPECT_EQ(c.exchangeAutoRecord, 7);
    EXPECT_EQ(statusSeverity(validateCard(c, groups, Small, Now)), SeverityAbnormal);
    // Nothing broken is left, so a second run fixes nothing.
    EXPECT_EQ(repairCard(c, groups, RepairBroken, Now), 0);
}

TEST(RepairCard, AbnormalLevel)
{
    Card c = goodCard();
    c.profile = {u"a\tb"_qs, u"bad"_qs, u"worse"_qs};
    c.mailLog = {u"bad"_qs, MailLine};
    c.exchangeAutoRecord = 1;
    c.exchangeRecords = {u"01/02/03 12:34PM x"_qs};
    c.remarkAutoRecord = 255;
    c.remarkRecords = {RemarkLine, u"x"_qs};
    c.ids = {u""_qs, u"ab@x"_qs, u"  "_qs, u"c"_qs};
    c.groups = {u"仕事"_qs, u"新規"_qs, u"仕事"_qs, u"新規"_qs, u"仕事"_qs};
    c.created = c.updated + 1.0;
    c.birthday = EarliestNaturalBirthday - 1.0;
    c.names = {u"山田"_qs, u" "_qs};
    QStringList groups = Groups;
    // 2 profile + 1 mail + flag + 1 exchange + flag + 1 remark + 2 IDs
    // + 1 group registered + 3 duplicate groups + dates = 14
    EXPECT_EQ(repairCard(c, groups, RepairAbnormal, Now), 14);
    EXPECT_EQ(c.profile, QStringList{u"a\tb"_qs});
    EXPECT_EQ(c.mailLog, QStringList{MailLine});
    EXPECT_EQ(c.exchangeAutoRecord, FlagOn);
    EXPECT_TRUE(c.exchangeRecords.isEmpty());
    EXPECT_EQ(c.remarkAutoRecord, FlagOff);
    EXPECT_EQ(c.remarkRecords, QStringList{RemarkLine});
    EXPECT_EQ(c.ids, (QStringList{u"ab@x"_qs, u"c"_qs})); // a 1-character ID is kept
    EXPECT_EQ(groups, (QStringList{u"仕事"_qs, u"友人"_qs, u"新規"_qs}));
    EXPECT_EQ(c.groups, (QStringList{u"仕事"_qs, u"新規"_qs}));
    EXPECT_EQ(c.created, c.updated);
    // The suspicious class is left alone at this level.
    EXPECT_EQ(c.birthday, EarliestNaturalBirthday - 1.0);
    EXPECT_EQ(c.names, (QStringList{u"山田"_qs, u" "_qs}));
}

TEST(RepairCard, ExamplesFromTheRules)
{
    QStringList groups = Groups;
    Card flag = goodCard();
    flag.exchangeAutoRecord = 1;
    EXPECT_EQ(validateCard(flag, groups, Small, Now), StatusBadExchangeFlag);
    EXPECT_EQ(repairCard(flag, groups, RepairAbnormal, Now), 1);
    EXPECT_EQ(flag.exchangeAutoRecord, FlagOn);

    Card group = goodCard();
    group.groups = {u"未登録"_qs};
    EXPECT_EQ(validateCard(group, groups, Small, Now), StatusUnregisteredGroup);
    EXPECT_EQ(repairCard(group, groups, RepairAbnormal, Now), 1);
    EXPECT_EQ(groups.last(), u"未登録"_qs);
    EXPECT_EQ(validateCard(group, groups, Small, Now), StatusNormal);

    Card birthday = goodCard();
    birthday.birthday = EarliestNaturalBirthday - 1.0; // 1849-12-31
    EXPECT_EQ(validateCard(birthday, groups, Small, Now), StatusOddBirthday);
    Card atTwo = birthday;
    EXPECT_EQ(repairCard(atTwo, groups, RepairAbnormal, Now), 0);
    EXPECT_EQ(atTwo.birthday, birthday.birthday);
    EXPECT_EQ(repairCard(birthday, groups, RepairAll, Now), 1);
    EXPECT_EQ(birthday.birthday, NoDate);
}

TEST(RepairCard, AllLevels)
{
    Card c = goodCard();
    c.names = {u" "_qs, u"山田"_qs, u""_qs};
    c.updated = Now + 3.0;
    c.created = 1.0;
    c.birthday = Now + 1.0;
    QStringList groups = Groups;
    EXPECT_EQ(repairCard(c, groups, 0, Now), 5); // any other level repairs everything
    EXPECT_EQ(c.names, QStringList{u"山田"_qs});
    EXPECT_EQ(c.updated, Now);
    EXPECT_EQ(c.created, Now);
    EXPECT_EQ(c.birthday, NoDate);
    EXPECT_EQ(validateCard(c, groups, Small, Now), StatusNormal);

    // The last name and the last ID are never removed.
    Card blank = goodCard();
    blank.names = {u" "_qs, u""_qs};
    blank.ids = {u""_qs, u" "_qs};
    EXPECT_EQ(repairCard(blank, groups, RepairAll, Now), 2);
    EXPECT_EQ(blank.names, QStringList{u""_qs});
    EXPECT_EQ(blank.ids, QStringList{u" "_qs});

    // An update date before 1900 is unnatural too.
    Card early = goodCard();
    early.created = 0.0;
    early.updated = 1.0;
    EXPECT_EQ(repairCard(early, groups, RepairAll, Now), 2);
    EXPECT_EQ(early.updated, Now);
    EXPECT_EQ(early.created, Now);
}

// ---- Card numbers -------------------------------------------------------------

namespace {

AddressBook bookNumbered(const QList<qint32> &numbers, qint32 counter)
{
    AddressBook book = AddressBook::newBook();
    for (const qint32 n : numbers) {
        Card c = goodCard();
        c.number = n;
        c.names = {QStringLiteral("card%1").arg(book.cards.size())};
        book.cards.append(c);
    }
    book.cardCounter = counter;
    return book;
}

QList<qint32> numbersOf(const AddressBook &book)
{
    QList<qint32> out;
    for (qsizetype i = 1; i < book.cards.size(); ++i)
        out.append(book.cards[i].number);
    return out;
}

} // namespace

TEST(RepairCardNumbers, DuplicatesGetNumbersFromTheCounter)
{
    AddressBook book = bookNumbered({3, 7, 3}, 5);
    EXPECT_EQ(repairCardNumbers(book), 2);
    EXPECT_EQ(numbersOf(book), (QList<qint32>{8, 7, 3}));
    EXPECT_EQ(book.cardCounter, 9);

    AddressBook good = bookNumbered({1, 4, 2}, 5);
    EXPECT_EQ(repairCardNumbers(good), 0);
    EXPECT_EQ(good.cardCounter, 5);

    // A run of three: two new numbers, the last card keeps its number.
    AddressBook run = bookNumbered({6, 6, 6}, 2);
    EXPECT_EQ(repairCardNumbers(run), 3);
    EXPECT_EQ(numbersOf(run), (QList<qint32>{7, 8, 6}));
    EXPECT_EQ(run.cardCounter, 9);

    EXPECT_EQ(cardNumberRepairMessage(2), u"2 個所のカード番号の破損を修復しました。"_qs);
}

TEST(RepairCardNumbers, CounterStaysWithinSixteenBits)
{
    // Counter below 1 (read from a damaged file): raised past the largest number.
    AddressBook negative = bookNumbered({2, 9}, -32768);
    EXPECT_EQ(repairCardNumbers(negative), 1);
    EXPECT_EQ(negative.cardCounter, 10);
    AddressBook empty = bookNumbered({}, 0);
    EXPECT_EQ(repairCardNumbers(empty), 1);
    EXPECT_EQ(empty.cardCounter, 1);

    // Near the top: the counter hands out 32766, then duplicates take the
    // lowest free numbers.
    AddressBook top = bookNumbered({5, 1, 5, 5, 32765}, 32766);
    EXPECT_EQ(repairCardNumbers(top), 2);
    EXPECT_EQ(numbersOf(top), (QList<qint32>{32766, 1, 2, 5, 32765}));
    EXPECT_EQ(top.cardCounter, MaxCardCounter);

    // A card numbered 32767: the counter cannot pass it, so it stops there
    // and adding cards is refused rather than duplicating the number.
    AddressBook full = bookNumbered({32767, 4, 4}, 100);
    EXPECT_EQ(repairCardNumbers(full), 2);
    EXPECT_EQ(numbersOf(full), (QList<qint32>{32767, 1, 4}));
    EXPECT_EQ(full.cardCounter, MaxCardCounter);

    // Numbers above 32767 (no sign extension on reading) are kept and do not
    // move the counter, which can never reach them.
    AddressBook high = bookNumbered({40000, 3, 40000}, 4);
    EXPECT_EQ(repairCardNumbers(high), 1);
    EXPECT_EQ(numbersOf(high), (QList<qint32>{4, 3, 40000}));
    EXPECT_EQ(high.cardCounter, 5);
}

TEST(RepairCardNumbers, RandomBooksEndDistinctAndBelowTheCounter)
{
    QRandomGenerator rng(5);
    for (int round = 0; round < 200; ++round) {
        QList<qint32> numbers;
        const int n = rng.bounded(1, 40);
        const bool nearTop = rng.bounded(2);
        for (int i = 0; i < n; ++i)
            numbers.append(nearTop ? 32740 + rng.bounded(28) : rng.bounded(20));
        AddressBook book = bookNumbered(numbers, qint32(rng.bounded(-5, 32768)));
        repairCardNumbers(book);
        const QList<qint32> after = numbersOf(book);
        const QSet<qint32> distinct(after.cbegin(), after.cend());
        ASSERT_EQ(distinct.size(), after.size()) << "round " << round;
        ASSERT_GE(book.cardCounter, 1);
        ASSERT_LE(book.cardCounter, MaxCardCounter);
        for (const qint32 x : after) {
            ASSERT_GE(x, 0);
            ASSERT_LE(x, MaxCardCounter);
            if (book.cardCounter < MaxCardCounter) {
                ASSERT_LT(x, book.cardCounter);
            }
        }
        // A second run finds nothing to do.
        ASSERT_EQ(repairCardNumbers(book), 0) << "round " << round;
    }
}
