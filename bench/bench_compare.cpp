// Comparing two large address books: the earlier one generated, the later
// one with every hundredth card changed, every two-hundredth deleted and
// as many new cards added.
#include <benchmark/benchmark.h>

#include "core/ndbfile.h"
#include "support/generator.h"
#include "support/scriptedprompter.h"
#include "tools/compare.h"

namespace {

struct Pair
{
    AddressBook earlier;
    AddressBook later;
};

const Pair &pairOf(int cards)
{
    static QMap<int, Pair> cache;
    if (!cache.contains(cards)) {
        GeneratorOptions o;
        o.cards = cards;
        o.badCards = false;
        Pair p;
        p.earlier = generateBook(o);
        // The later book as read from its own file: no text shared with the
        // earlier one.
        ScriptedPrompter prompter;
        parseNdbImage(*buildNdbImage(p.earlier), p.later, prompter);
        for (qsizetype i = p.later.cardCount() - 1; i >= 1; --i) {
            if (i % 200 == 0)
                p.later.cards.removeAt(i);
            else if (i % 100 == 0)
                p.later.cards[i].memo += QStringLiteral("\r\nchanged");
        }
        o.seed = 2;
        o.cards = cards / 200;
        const AddressBook extra = generateBook(o);
        for (qsizetype i = 1; i < extra.cardCount(); ++i) {
            Card c = extra.cards[i];
            for (QString &id : c.ids)
                id.prepend(QStringLiteral("new."));
            p.later.cards.append(c);
        }
        cache.insert(cards, p);
    }
    return cache[cards];
}

void BM_CompareBooksReport(benchmark::State &state)
{
    const Pair &p = pairOf(int(state.range(0)));
    const QDateTime t = QDateTime::currentDateTime();
    int differences = 0;
    for (auto _ : state) {
        const QString r = compareBooksReport(p.earlier, QStringLiteral("a"), t, p.later,
                                             QStringLiteral("b"), t, t, &differences);
        benchmark::DoNotOptimize(r.size());
    }
    state.counters["differences"] = differences;
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CompareBooksReport)->Arg(3000)->Arg(30000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
