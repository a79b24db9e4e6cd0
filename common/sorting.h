#pragma once
// Sorting and binary search of keyed records.
//
// Text keys are ordered by text comparison (common/textcompare.h): records
// are ascending by primary key, then secondary key, both compared with
// textCompare. Records whose keys are equal under that comparison end up next
// to each other, ordered by the exact keys, so the result does not depend on
// the input order. findEntry relies on exactly this order.

#include <QList>
#include <QString>

struct SortEntry {
    QString primary;
    QString secondary;
    qint32 a = 0; // carried along, typically an index
    qint32 b = 0; // carried along, typically a value
};

struct NumberSortEntry {
    qint32 primary = 0;
    qint32 secondary = 0;
    qint32 value = 0;
};

// Sorts the first count entries (clamped to the list's size); the rest stay
// where they are. Counts below 2 do nothing.
void sortEntries(QList<SortEntry> &entries, qsizetype count);

// Sorts the first count entries ascending by primary, then secondary.
void sortNumbers(QList<NumberSortEntry> &entries, qsizetype count);

// Binary search among the first count entries of a list sorted by
// sortEntries, comparing both keys with textCompare. Returns the index of an
// entry equal to probe, or -1.
qsizetype findEntry(const SortEntry &probe, const QList<SortEntry> &entries, qsizetype count);
