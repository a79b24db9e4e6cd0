#pragma once
// Comparing two address books, an earlier and a later one: groups removed
// and added, cards deleted, modified and added.
//
// Cards are matched by their IDs (text comparison: letter case and the
// other folds of common/textcompare.h do not count). A card of the earlier
// book one of whose IDs the later book lacks is listed as deleted; a card of
// the later book one of whose IDs the earlier book lacks, as added; a pair
// of cards sharing an ID whose contents differ (list order and the creation
// and update times aside), as modified. A card can therefore be both added
// and modified, for instance when it gained a second ID and also changed.

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

#include "common/progress.h"
#include "core/model.h"

class Prompter;

struct BookDifferences
{
    QStringList removedGroups; // in the earlier group list's order
    QStringList addedGroups;   // in the later group list's order
    QList<int> deletedCards;   // indices into the earlier book, ascending
    QList<int> modifiedCards;  // indices into the later book, ascending
    QList<int> addedCards;     // indices into the later book, ascending

    // The number of differences: cards only (groups do not count).
    int count() const
    {
        return int(deletedCards.size() + modifiedCards.size() + addedCards.size());
    }
};

BookDifferences compareBooks(const AddressBook &oldBook, const AddressBook &newBook);

// The report text (CR LF line ends). When no card differs, it is only
// "情報の変更はありません。" and a line end, even when the group lists
// differ. Otherwise: the report banner of "アドレス帳比較レポート" with the
// time now, a rule, both paths with their modification times, the group
// differences and the card differences, and a closing rule.
// *differences, when given, receives BookDifferences::count().
QString compareBooksReport(const AddressBook &oldBook, const QString &oldPath,
                           const QDateTime &oldModified, const AddressBook &newBook,
                           const QString &newPath, const QDateTime &newModified,
                           const QDateTime &now, int *differences = nullptr);

// Refuses a path (returns true after telling the user), e.g. the host's live
// address book while the host runs (the host layer makes that one:
// liveBookGuard in shell/host.h).
using LiveBookGuard = std::function<bool(const QString &path)>;

// Checks both paths, reads both files and returns the report; an empty text
// when a check failed or a file could not be read (the user has been told,
// OK button, in this order): a path empty, both paths equal (exact text), the
// earlier then the later file missing, the guard refusing the earlier then
// the later path, the earlier then the later file unreadable.
// *differences receives the count of differences, or -1 on failure.
QString compareBookFiles(const QString &oldPath, const QString &newPath, Prompter &prompter,
                         const QDateTime &now, const LiveBookGuard &guard = {},
                         int *differences = nullptr, const Progress &progress = {});
