// Generating address books: a full-size book must take well under a second
// or two, so that tests and benchmarks can make their data on the fly.
#include <benchmark/benchmark.h>

#include "support/generator.h"

static void BM_GenerateBook(benchmark::State &state)
{
    GeneratorOptions options;
    options.cards = int(state.range(0));
    qint64 lines = 0;
    for (auto _ : state) {
        const AddressBook book = generateBook(options);
        lines = 0;
        for (const Card &c : book.cards)
            lines += c.mailLog.size() + c.exchangeRecords.size() + c.remarkRecords.size();
        benchmark::DoNotOptimize(lines);
    }
    state.counters["cards"] = double(options.cards);
    state.counters["lines"] = double(lines);
    state.SetItemsProcessed(state.iterations() * options.cards);
}
BENCHMARK(BM_GenerateBook)->Arg(300)->Arg(32767)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
