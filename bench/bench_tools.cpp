// The whole-book tools on a large generated book: slimming, ID conversion,
// repair of flagged cards, and the duplicate-ID merge.
#include <benchmark/benchmark.h>

#include "core/validation.h"
#include "support/generator.h"
#include "tools/idconv.h"
#include "tools/restore.h"
#include "tools/slim.h"

namespace {

const DateValue Now = 45000.5;

const AddressBook &largeBook()
{
    static const AddressBook book = [] {
        GeneratorOptions options;
        options.cards = 10000;
        AddressBook b = generateBook(options);
        validateAll(b, CardLimits{}, Now);
        return b;
    }();
    return book;
}

// The large book with a copy of every other card (IDs in upper case)
// appended: 5,000 cards to merge back.
const AddressBook &bookWithCopies()
{
    static const AddressBook book = [] {
        AddressBook b = largeBook();
        const qsizetype n = b.cardCount();
        for (qsizetype i = 1; i < n; i += 2) {
            Card copy = b.cards[i];
            copy.number = b.cardCounter++;
            for (QString &id : copy.ids)
                id = id.toUpper();
            b.cards.append(copy);
        }
        repairCardNumbers(b);
        validateAll(b, CardLimits{}, Now);
        return b;
    }();
    return book;
}

template <typename Run>
void onCopy(benchmark::State &state, const AddressBook &source, Run run)
{
    for (auto _ : state) {
        state.PauseTiming();
        AddressBook book = source;
        state.ResumeTiming();
        run(book);
        benchmark::DoNotOptimize(book);
    }
}

void BM_SlimExercise(benchmark::State &state)
{
    onCopy(state, largeBook(), [](AddressBook &b) { slimBook(b, slimPreset(0), CardLimits{}, Now); });
}
BENCHMARK(BM_SlimExercise)->Unit(benchmark::kMillisecond);

void BM_ConvertServiceIds(benchmark::State &state)
{
    onCopy(state, largeBook(), [&state](AddressBook &b) {
        const IdConversionResult r = convertServiceIds(b, CardLimits{}, Now);
        state.counters["converted"] = r.convertedIds;
    });
}
BENCHMARK(BM_ConvertServiceIds)->Unit(benchmark::kMillisecond);

void BM_RepairAll(benchmark::State &state)
{
    onCopy(state, largeBook(),
           [](AddressBook &b) { repairFlaggedCards(b, RepairAll, CardLimits{}, Now); });
}
BENCHMARK(BM_RepairAll)->Unit(benchmark::kMillisecond);

void BM_MergeDuplicateIds(benchmark::State &state)
{
    onCopy(state, bookWithCopies(), [&state](AddressBook &b) {
        const DuplicateIdResult r = handleDuplicateIds(b, DuplicateIdMode::Merge, CardLimits{}, Now);
        state.counters["merged"] = r.mergedCards;
    });
}
BENCHMARK(BM_MergeDuplicateIds)->Unit(benchmark::kMillisecond);

// Cards that all share one ID, state.range(1) mail-log lines each: every
// merge lands on the card merged last, whose log grows to state.range(0)
// lines.
void BM_MergeSharedIdLogs(benchmark::State &state)
{
    const int lines = int(state.range(0));
    const int perCard = int(state.range(1));
    AddressBook book = AddressBook::newBook();
    for (int i = 1; i <= lines / perCard; ++i) {
        Card c = Card::newCard();
        c.number = i;
        c.ids = {QStringLiteral("shared@example.jp")};
        c.names = {QStringLiteral("カード%1").arg(i)};
        c.updated = 40000 + i;
        for (int k = 0; k < perCard; ++k)
            c.mailLog << QStringLiteral("2020/01/%1 件名 %2").arg(k % 20 + 10).arg(i * perCard + k);
        book.cards.append(c);
    }
    book.cardCounter = qint32(book.cards.size());
    onCopy(state, book, [](AddressBook &b) {
        handleDuplicateIds(b, DuplicateIdMode::Merge, CardLimits{}, Now);
    });
}
BENCHMARK(BM_MergeSharedIdLogs)
    ->ArgsProduct({{10000, 40000, 160000}, {10, 1000}})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
