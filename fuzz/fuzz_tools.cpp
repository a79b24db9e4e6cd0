// The whole-book tools on a book read from arbitrary bytes (renumbered and
// validated as after a load): card repair at each level, slimming with options the
// fuzzer chooses, service ID conversion, duplicate IDs (report and merge)
// and the comparison of two books. Each must leave a book that is written
// and read back whole, store each changed card's status as validation
// gives it, and keep its own promises (below).
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>

#include "core/ndbfile.h"
#include "core/validation.h"
#include "fuzzsupport.h"
#include "tools/compare.h"
#include "tools/idconv.h"
#include "tools/restore.h"
#include "tools/slim.h"

namespace {

const DateValue Now = 45413.5; // 2024-05-01 12:00
const QDateTime NowTime(QDate(2024, 5, 1), QTime(12, 0));

// The book survives a write and a read, and every card's stored status is
// the one validation gives.
void checkSound(const AddressBook &book, const CardLimits &limits)
{
    const std::optional<QByteArray> image = buildNdbImage(book);
    FUZZ_CHECK(image && image->size() == ndbFileSize(book));
    SilentPrompter prompter;
    AddressBook back;
    FUZZ_CHECK(parseNdbImage(*image, back, prompter) == 0 && back.cardCount() == book.cardCount());
    for (qsizetype i = 1; i < book.cardCount(); ++i)
        FUZZ_CHECK(book.cards[i].status == validateCard(book.cards[i], book.groupList(), limits, Now));
}

SlimOptions slimOptionsFrom(FuzzedDataProvider &in)
{
    const int level = in.ConsumeIntegralInRange<int>(0, SlimLevelCount - 1);
    if (level != SlimCustomLevel)
        return slimPreset(level);
    SlimOptions o;
    for (SlimLimit *l : {&o.ids, &o.names, &o.profile, &o.mailLog, &o.exchangeRecords,
                         &o.remarkRecords}) {
        l->on = in.ConsumeBool();
        l->count = in.ConsumeIntegralInRange<int>(-1, 4);
    }
    for (bool *b : {&o.profileNone, &o.address, &o.telephone, &o.fax, &o.mobile, &o.pager,
                    &o.memo, &o.groups})
        *b = in.ConsumeBool();
    return o;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const SlimOptions slim = slimOptionsFrom(in);
    CardLimits limits;
    limits.ids = in.ConsumeIntegralInRange<int>(1, 8);
    limits.mailLog = in.ConsumeIntegralInRange<int>(1, 8);
    const std::string image = in.ConsumeRemainingBytesAsString();

    SilentPrompter prompter;
    AddressBook book;
    if (parseNdbImage(QByteArrayView(image.data(), qsizetype(image.size())), book, prompter) != 0)
        return 0;
    // As every read does: card numbers made unique, then every card checked.
    repairCardNumbers(book);
    validateAll(book, limits, Now);

    // Repair at every level; the last ID and the last name always stay.
    for (int level : {RepairBroken, RepairAbnormal, RepairAll}) {
        AddressBook repaired = book;
        const CardRepairResult r = repairFlaggedCards(repaired, level, limits, Now);
        FUZZ_CHECK(!r.interrupted && r.fixes >= r.fixedCards && repaired.cardCount() == book.cardCount());
        for (qsizetype i = 1; i < book.cardCount(); ++i) {
            FUZZ_CHECK(book.cards[i].ids.isEmpty() || !repaired.cards[i].ids.isEmpty());
            FUZZ_CHECK(book.cards[i].names.isEmpty() || !repaired.cards[i].names.isEmpty());
        }
        checkSound(repaired, limits);
    }

    // Slimming, with options the dialog would run.
    if (slimOptionsProblem(slim).isEmpty()) {
        AddressBook slimmed = book;
        const SlimResult r = slimBook(slimmed, slim, limits, Now);
        FUZZ_CHECK(r.sizeBefore == ndbFileSize(book) && r.sizeAfter == ndbFileSize(slimmed));
        FUZZ_CHECK(r.sizeAfter <= r.sizeBefore && slimmed.cardCount() == book.cardCount());
        for (qsizetype i = 1; i < slimmed.cardCount(); ++i) {
            const Card &c = slimmed.cards[i];
            FUZZ_CHECK(slim.ids.limit() < 0 || c.ids.size() <= slim.ids.limit());
            FUZZ_CHECK(slim.names.limit() < 0 || c.names.size() <= slim.names.limit());
            FUZZ_CHECK(!slim.memo || c.memo.isEmpty());
            FUZZ_CHECK(!slim.groups || c.groups.isEmpty());
        }
        FUZZ_CHECK(!slim.groups || slimmed.groupList().isEmpty());
        checkSound(slimmed, limits);
    }

    // Service IDs: every service address becomes the bare ID, once.
    {
        AddressBook converted = book;
        const IdConversionResult r = convertServiceIds(converted, limits, Now);
        FUZZ_CHECK(converted.cardCount() == book.cardCount() && r.convertedIds >= r.changedCards);
        const QStringList domains = serviceMailDomains();
        for (qsizetype i = 1; i < converted.cardCount(); ++i)
            for (const QString &id : converted.cards[i].ids)
                FUZZ_CHECK(serviceLocalPart(id, domains).isNull());
        FUZZ_CHECK(convertServiceIds(converted, limits, Now).convertedIds == 0);
        checkSound(converted, limits);
    }

    // Duplicate IDs: the report changes nothing; after a merge none is left.
    AddressBook merged = book;
    {
        const DuplicateIdResult report = handleDuplicateIds(merged, DuplicateIdMode::Report, limits, Now);
        FUZZ_CHECK(buildNdbImage(merged) == buildNdbImage(book));
        const DuplicateIdResult r = handleDuplicateIds(merged, DuplicateIdMode::Merge, limits, Now);
        FUZZ_CHECK(r.duplicates == report.duplicates && r.lines == report.lines);
        FUZZ_CHECK(merged.cardCount() == book.cardCount() - r.mergedCards);
        FUZZ_CHECK(handleDuplicateIds(merged, DuplicateIdMode::Report, limits, Now).duplicates == 0);
        checkSound(merged, limits);
        // One report line per duplicate, and the closing count after them.
        FUZZ_CHECK(r.lines.count(u"\r\n") == r.duplicates);
        if (r.duplicates > 0)
            FUZZ_CHECK(duplicateIdReport(r, DuplicateIdMode::Merge, NowTime)
                           .endsWith(QString::number(r.duplicates)
                                     + QStringLiteral(" 個のIDが重複していました。")));
    }

    // Comparison: a book equals itself; the report counts what compareBooks finds.
    FUZZ_CHECK(compareBooks(book, book).count() == 0);
    int differences = -1;
    const QString report = compareBooksReport(book, QStringLiteral("/a.ndb"), NowTime, merged,
                                              QStringLiteral("/b.ndb"), NowTime, NowTime, &differences);
    FUZZ_CHECK(differences == compareBooks(book, merged).count());
    FUZZ_CHECK(differences > 0 || report == QStringLiteral("情報の変更はありません。\r\n"));
    return 0;
}
