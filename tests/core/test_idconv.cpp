#include "common/textcompare.h"
#include "core/cardops.h"
#include "core/validation.h"
#include "support/generator.h"
#include "support/testutil.h"
#include "tools/idconv.h"

namespace {

const DateValue Now = 45000.5;

Card cardWithIds(qint32 number, const QStringList &ids)
{
    Card c = Card::newCard();
    c.number = number;
    c.ids = ids;
    c.names = {QStringLiteral("名前%1").arg(number)};
    c.created = 40000.0;
    c.updated = 41000.0;
    return c;
}

AddressBook bookOf(const QList<Card> &cards)
{
    AddressBook book;
    for (const Card &c : cards)
        book.cards.append(c);
    book.cardCounter = qint32(book.cards.size());
    return book;
}

IdConversionResult convert(AddressBook &book)
{
    return convertServiceIds(book, CardLimits{}, Now);
}

} // namespace

TEST(IdConversion, ServiceAddressesBecomeBareIds)
{
    AddressBook book = bookOf({cardWithIds(
        1, {u"abc12345@nifty.com"_qs,          // legacy shape: upper case
            u"Taro.Yamada@Nifty.com"_qs,       // ordinary name: lower case
            u" xyz98765@NIFTYSERVE.OR.JP "_qs, // spaces trimmed, domain in any case
            u"hanako@nifty.ne.jp"_qs,
            u"abc12345@example.com"_qs, // another domain
            u"a@nifty.com"_qs,          // 11 characters, local part kept as "A"
            u"@nifty.com"_qs,           // "@" first: not an address
            u"ab@nifty"_qs,             // shorter than 9
            u"ab1234567@nifty.com.evil"_qs})});
    const IdConversionResult r = convert(book);
    EXPECT_EQ(book.cards[1].ids,
              (QStringList{u"ABC12345"_qs, u"taro.yamada"_qs, u"XYZ98765"_qs, u"hanako"_qs,
                           u"abc12345@example.com"_qs, u"a"_qs, u"@nifty.com"_qs, u"ab@nifty"_qs,
                           u"ab1234567@nifty.com.evil"_qs}));
    EXPECT_EQ(r.changedCards, 1);
    EXPECT_EQ(r.convertedIds, 5);
    EXPECT_TRUE(r.duplicates.isEmpty());
    EXPECT_EQ(idConversionMessage(r), u"1 枚のｶｰﾄﾞに含まれる、5 個のIDを変換しました。"_qs);
    EXPECT_TRUE(idConversionDuplicateReport(r).isEmpty());
    // "a" is shorter than 2 characters: the card's status says so.
    EXPECT_EQ(book.cards[1].status, StatusBadId);

    EXPECT_TRUE(isLegacyServiceId(u"abc12345"));
    EXPECT_FALSE(isLegacyServiceId(u"abc1234"));
    EXPECT_FALSE(isLegacyServiceId(u"ａbc12345"));
    EXPECT_EQ(normalisedServiceId(u" Abc12345 "), u"ABC12345"_qs);

    // Other domains on request; nothing left to convert.
    AddressBook other = bookOf({cardWithIds(1, {u"someone@example.org"_qs})});
    const IdConversionResult none = convert(other);
    EXPECT_EQ(none.convertedIds, 0);
    EXPECT_EQ(idConversionMessage(none), u"変換するIDはみつかりませんでした。"_qs);
    EXPECT_EQ(convertServiceIds(other, CardLimits{}, Now, {u"EXAMPLE.org"_qs}).convertedIds, 1);
    EXPECT_EQ(other.cards[1].ids, QStringList{u"someone"_qs});
}

TEST(IdConversion, BareIdAlreadyHeld)
{
    // The same card holds both forms: the address goes, one bare ID stays.
    AddressBook book = bookOf({cardWithIds(1, {u"abc12345@nifty.com"_qs, u"Abc12345"_qs,
                                               u"ABC12345@nifty.ne.jp"_qs, u"x@y.jp"_qs})});
    IdConversionResult r = convert(book);
    EXPECT_EQ(book.cards[1].ids, (QStringList{u"Abc12345"_qs, u"x@y.jp"_qs}));
    EXPECT_EQ(r.convertedIds, 2);
    EXPECT_EQ(r.changedCards, 1);
    EXPECT_TRUE(r.duplicates.isEmpty());

    // Another card holds the bare ID: both end up with it, and it is listed.
    book = bookOf({cardWithIds(1, {u"ABC12345"_qs}),
                   cardWithIds(2, {u"abc12345@nifty.com"_qs, u"def67890@nifty.com"_qs}),
                   cardWithIds(3, {u"def67890"_qs})});
    r = convert(book);
    EXPECT_EQ(book.cards[2].ids, (QStringList{u"ABC12345"_qs, u"DEF67890"_qs}));
    EXPECT_EQ(r.duplicates, (QStringList{u"ABC12345"_qs, u"DEF67890"_qs}));
    EXPECT_EQ(idConversionDuplicateReport(r),
              u"IDの変換処理により、以下の 2個のIDが重複します。\r\n"_qs + QString(70, u'-')
                  + u"\r\nABC12345\r\nDEF67890\r\n"_qs + QString(70, u'-')
                  + u"\r\nカードの修復をお勧めします。"_qs);
    EXPECT_EQ(idConversionReportTitle(), u"ID変換による重複リスト"_qs);

    // An ID that is not a legacy service ID is stored in lower case, and
    // still listed as the upper-cased local part.
    book = bookOf({cardWithIds(1, {u"hanako"_qs}), cardWithIds(2, {u"Hanako@nifty.com"_qs})});
    r = convert(book);
    EXPECT_EQ(book.cards[2].ids, QStringList{u"hanako"_qs});
    EXPECT_EQ(r.duplicates, QStringList{u"HANAKO"_qs});
    EXPECT_EQ(idConversionReportFileName(), u"重複IDリスト"_qs);

    // An earlier card holds the bare ID and this card holds both forms: the
    // card keeps a single bare ID instead of holding it twice.
    book = bookOf({cardWithIds(1, {u"ABC12345"_qs}),
                   cardWithIds(2, {u"abc12345@nifty.com"_qs, u"abc12345"_qs})});
    r = convert(book);
    EXPECT_EQ(book.cards[2].ids, QStringList{u"abc12345"_qs});
    EXPECT_EQ(r.convertedIds, 1);
}

TEST(IdConversion, GeneratedBookKeepsNoServiceAddress)
{
    GeneratorOptions options;
    options.cards = 400;
    options.badCards = false;
    AddressBook book = generateBook(options);
    int addresses = 0;
    for (qsizetype i = 1; i < book.cardCount(); ++i)
        for (const QString &id : book.cards[i].ids)
            if (!serviceLocalPart(id, serviceMailDomains()).isNull())
                ++addresses;
    ASSERT_GT(addresses, 20);
    const qsizetype cards = book.cardCount();
    const IdConversionResult r = convert(book);
    EXPECT_EQ(r.convertedIds, addresses);
    EXPECT_EQ(book.cardCount(), cards);
    for (qsizetype i = 1; i < book.cardCount(); ++i) {
        const QStringList &ids = book.cards[i].ids;
        EXPECT_FALSE(ids.isEmpty());
        for (qsizetype k = 0; k < ids.size(); ++k) {
            EXPECT_TRUE(serviceLocalPart(ids[k], serviceMailDomains()).isNull()) << ids[k].toStdString();
            for (qsizetype m = k + 1; m < ids.size(); ++m)
                EXPECT_FALSE(textEqual(ids[k], ids[m])) << ids[k].toStdString();
        }
    }
    // A second run finds nothing.
    EXPECT_EQ(convert(book).convertedIds, 0);
}

TEST(IdConversion, AutoRecordFlags)
{
    AddressBook book = bookOf({cardWithIds(1, {u"aa"_qs}), cardWithIds(2, {u"bb"_qs})});
    for (qsizetype i = 1; i < 3; ++i) {
        book.cards[i].exchangeAutoRecord = FlagOn;
        book.cards[i].remarkAutoRecord = FlagOff;
    }
    book.cards[2].remarkAutoRecord = 7; // abnormal flag
    book.cards[2].status = StatusBadRemarkFlag;
    EXPECT_EQ(setExchangeAutoRecord(book, FlagOn, CardLimits{}, Now), 0);
    EXPECT_EQ(exchangeFlagsMessage(0), u"交流記録を変更するｶｰﾄﾞはありませんでした。"_qs);
    EXPECT_EQ(setRemarkAutoRecord(book, FlagOff, CardLimits{}, Now), 1);
    EXPECT_EQ(book.cards[2].remarkAutoRecord, FlagOff);
    EXPECT_EQ(book.cards[2].status, StatusNormal);
    EXPECT_EQ(setExchangeAutoRecord(book, FlagOff, CardLimits{}, Now), 2);
    EXPECT_EQ(exchangeFlagsMessage(2), u"2 枚のｶｰﾄﾞの交流記録の設定を変更しました。"_qs);
    EXPECT_EQ(remarkFlagsMessage(0), u"発言記録を変更するｶｰﾄﾞはありませんでした。"_qs);
    EXPECT_EQ(remarkFlagsMessage(1), u"1 枚のｶｰﾄﾞの発言記録の設定を変更しました。"_qs);
}

TEST(IdConversion, FlagsStopWhenProgressSaysSo)
{
    AddressBook book = bookOf({cardWithIds(1, {u"aa"_qs}), cardWithIds(2, {u"bb"_qs}),
                               cardWithIds(3, {u"cc"_qs})});
    int checks = 0;
    const Progress stopAtSecond = [&](qint64, qint64) { return ++checks < 2; };
    for (auto set : {setExchangeAutoRecord, setRemarkAutoRecord}) {
        checks = 0;
        EXPECT_EQ(set(book, 0x33, CardLimits{}, Now, stopAtSecond), -1);
        EXPECT_EQ(checks, 2);
    }
    EXPECT_EQ(book.cards[1].exchangeAutoRecord, 0x33); // done before the stop
    EXPECT_NE(book.cards[2].remarkAutoRecord, 0x33);
}
