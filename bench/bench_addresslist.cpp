// The address list of a large book: building and sorting every line for a
// sort order, and the search that fills the display list.
#include <benchmark/benchmark.h>

#include "core/validation.h"
#include "core/addresslist.h"
#include "core/search.h"
#include "support/generator.h"

namespace {

const AddressBook &largeBook()
{
    static const AddressBook book = [] {
        GeneratorOptions o;
        o.seed = 1;
        o.cards = 32766;
        AddressBook b = generateBook(o);
        validateAll(b, CardLimits());
        return b;
    }();
    return book;
}

void BM_ListRebuild(benchmark::State &state)
{
    const AddressBook &book = largeBook();
    const QList<qint32> all = searchCards(book, SearchAll, QString());
    qint64 lines = 0;
    for (auto _ : state) {
        QList<ListLine> out;
        buildListLines(book, all, int(state.range(0)), out);
        lines = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["lines"] = double(lines);
}
BENCHMARK(BM_ListRebuild)->Arg(SortByName)->Arg(SortById)->Arg(SortByDomain)
    ->Arg(SortByUpdated)->Arg(SortByStatus)->Unit(benchmark::kMillisecond);

void BM_Search(benchmark::State &state)
{
    const AddressBook &book = largeBook();
    const int field = int(state.range(0));
    const QString word = field == SearchIds ? QStringLiteral("nifty")
                         : field == SearchNames ? QStringLiteral("田")
                         : field == SearchMemo ? QStringLiteral("会")
                                               : QString();
    qint64 found = 0;
    for (auto _ : state) {
        const QList<qint32> r = searchCards(book, field, word);
        found = r.size();
        benchmark::DoNotOptimize(r.data());
    }
    state.counters["found"] = double(found);
}
BENCHMARK(BM_Search)->Arg(SearchAll)->Arg(SearchIds)->Arg(SearchNames)->Arg(SearchMemo)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
