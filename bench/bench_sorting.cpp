// Sorting and searching the address list's keys: 60,000 entries with
// Japanese names (kanji, hiragana, full- and half-width katakana) and mail
// addresses, as a large address book gives them.
#include <QList>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <random>

#include "common/sorting.h"
#include "common/textcompare.h"

namespace {

const QStringList Surnames = {u"佐藤"_qs, u"鈴木"_qs, u"高橋"_qs, u"田中"_qs, u"伊藤"_qs,
                              u"渡辺"_qs, u"山本"_qs, u"中村"_qs, u"小林"_qs, u"加藤"_qs,
                              u"吉田"_qs, u"山田"_qs, u"佐々木"_qs, u"松本"_qs, u"井上"_qs};
const QStringList Given = {u"太郎"_qs, u"花子"_qs, u"一郎"_qs, u"美咲"_qs, u"健太"_qs,
                           u"さくら"_qs, u"ゆうき"_qs, u"翔太"_qs, u"陽菜"_qs, u"大輔"_qs};
const QStringList Kana = {u"ヤマダ"_qs, u"ｽｽﾞｷ"_qs, u"たなか"_qs, u"サトウ"_qs, u"ﾀｶﾊｼ"_qs,
                          u"いとう"_qs, u"ワタナベ"_qs, u"ｺﾊﾞﾔｼ"_qs};
const QStringList Latin = {u"taro"_qs, u"Hanako"_qs, u"ichiro"_qs, u"Misaki"_qs, u"KENTA"_qs,
                           u"sakura"_qs, u"yuki"_qs, u"shota"_qs, u"hina"_qs, u"daisuke"_qs};
const QStringList Domains = {u"example.jp"_qs, u"Example.co.jp"_qs, u"mail.example.ne.jp"_qs,
                             u"EXAMPLE.COM"_qs, u"docomo.example.jp"_qs};

QList<SortEntry> makeEntries(int n)
{
    std::mt19937 rng(2024);
    const auto pick = [&rng](const QStringList &l) { return l[rng() % l.size()]; };
    QList<SortEntry> list;
    list.reserve(n);
    for (int i = 0; i < n; ++i) {
        const QString id = pick(Latin) + u'.' + QString::number(rng() % 100000) + u'@' + pick(Domains);
        QString name;
        switch (rng() % 10) {
        case 0: case 1: case 2: case 3: case 4:
            name = pick(Surnames) + u'\u3000' + pick(Given);
            break;
        case 5: case 6:
            name = pick(Kana) + u' ' + pick(Kana);
            break;
        default:
            name = id; // a card without a name is listed by its ID
        }
        list.append(SortEntry{name, id, i, qint32(rng())});
    }
    return list;
}

const QList<SortEntry> &entries()
{
    static const QList<SortEntry> list = makeEntries(60000);
    return list;
}

void BM_SortEntries(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        QList<SortEntry> list = entries();
        list.detach();
        state.ResumeTiming();
        sortEntries(list, list.size());
        benchmark::DoNotOptimize(list.data());
    }
    state.SetItemsProcessed(state.iterations() * entries().size());
}
BENCHMARK(BM_SortEntries)->Unit(benchmark::kMillisecond);

// The same order, folding both sides inside every comparison: what
// precomputed keys save.
void BM_SortEntriesFoldingEachComparison(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        QList<SortEntry> list = entries();
        list.detach();
        state.ResumeTiming();
        std::sort(list.begin(), list.end(), [](const SortEntry &x, const SortEntry &y) {
            int c = textCompare(x.primary, y.primary);
            if (c == 0)
                c = textCompare(x.secondary, y.secondary);
            if (c == 0)
                c = x.primary.compare(y.primary);
            if (c == 0)
                c = x.secondary.compare(y.secondary);
            return c < 0;
        });
        benchmark::DoNotOptimize(list.data());
    }
    state.SetItemsProcessed(state.iterations() * entries().size());
}
BENCHMARK(BM_SortEntriesFoldingEachComparison)->Unit(benchmark::kMillisecond);

void BM_TextKeys(benchmark::State &state)
{
    for (auto _ : state) {
        for (const SortEntry &e : entries()) {
            benchmark::DoNotOptimize(textKey(e.primary));
            benchmark::DoNotOptimize(textKey(e.secondary));
        }
    }
    state.SetItemsProcessed(state.iterations() * entries().size());
}
BENCHMARK(BM_TextKeys)->Unit(benchmark::kMillisecond);

void BM_FindEntry(benchmark::State &state)
{
    QList<SortEntry> list = entries();
    sortEntries(list, list.size());
    QList<SortEntry> probes = entries();
    std::shuffle(probes.begin(), probes.end(), std::mt19937(1));
    qsizetype i = 0, found = 0;
    for (auto _ : state) {
        found += findEntry(probes[i], list, list.size()) >= 0;
        i = (i + 1) % probes.size();
    }
    if (found != state.iterations())
        state.SkipWithError("an entry was not found");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FindEntry);

} // namespace

BENCHMARK_MAIN();
