#include "common/sorting.h"

#include <algorithm>
#include <vector>

#include "common/textcompare.h"

namespace {

qsizetype clampCount(qsizetype count, qsizetype size)
{
    return std::clamp<qsizetype>(count, 0, size);
}

// An entry's folded keys, computed once so that the sort compares plain
// strings by code unit instead of folding both sides of every comparison.
struct Keyed {
    QString primaryKey;
    QString secondaryKey;
    qsizetype index;
};

} // namespace

void sortEntries(QList<SortEntry> &entries, qsizetype count)
{
    const qsizetype n = clampCount(count, entries.size());
    if (n < 2)
        return;

    std::vector<Keyed> keyed;
    keyed.reserve(size_t(n));
    for (qsizetype i = 0; i < n; ++i)
        keyed.push_back({textKey(entries[i].primary), textKey(entries[i].secondary), i});

    // Folded primary, folded secondary, then the exact keys as tie-breaks.
    // The folded keys must come first for both fields: a binary search that
    // compares primary and then secondary under text comparison needs the
    // entries ordered by that pair.
    const auto less = [&entries](const Keyed &x, const Keyed &y) {
        int c = QStringView(x.primaryKey).compare(QStringView(y.primaryKey));
        if (c == 0)
            c = QStringView(x.secondaryKey).compare(QStringView(y.secondaryKey));
        if (c == 0)
            c = QStringView(entries[x.index].primary).compare(entries[y.index].primary);
        if (c == 0)
            c = QStringView(entries[x.index].secondary).compare(entries[y.index].secondary);
        return c < 0;
    };
    std::sort(keyed.begin(), keyed.end(), less);

    QList<SortEntry> sorted;
    sorted.reserve(n);
    for (const Keyed &k : keyed)
        sorted.append(std::move(entries[k.index]));
    std::move(sorted.begin(), sorted.end(), entries.begin());
}

void sortNumbers(QList<NumberSortEntry> &entries, qsizetype count)
{
    const qsizetype n = clampCount(count, entries.size());
    if (n < 2)
        return;
    std::sort(entries.begin(), entries.begin() + n,
              [](const NumberSortEntry &x, const NumberSortEntry &y) {
                  if (x.primary != y.primary)
                      return x.primary < y.primary;
                  if (x.secondary != y.secondary)
                      return x.secondary < y.secondary;
                  return x.value < y.value;
              });
}

qsizetype findEntry(const SortEntry &probe, const QList<SortEntry> &entries, qsizetype count)
{
    qsizetype lo = 0;
    qsizetype hi = clampCount(count, entries.size()) - 1;
    while (lo <= hi) {
        const qsizetype mid = lo + (hi - lo) / 2;
        const SortEntry &e = entries[mid];
        int c = textCompare(probe.primary, e.primary);
        if (c == 0)
            c = textCompare(probe.secondary, e.secondary);
        if (c == 0)
            return mid;
        if (c < 0)
            hi = mid - 1;
        else
            lo = mid + 1;
    }
    return -1;
}
