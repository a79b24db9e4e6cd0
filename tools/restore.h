#pragma once
// Card restoration: fixing the cards validation flagged, up to a chosen
// severity, and finding IDs that occur more than once (within one card or
// on several cards), either reporting them or removing and merging them.

#include <QDateTime>
#include <QString>

#include "common/progress.h"
#include "core/model.h"

struct SeverityCounts
{
    int cards = 0;      // cards 1 .. cardCount()-1
    int broken = 0;     // severity 3
    int abnormal = 0;   // severity 2
    int suspicious = 0; // severity 1
};

// Counts the cards by the severity of their stored status.
SeverityCounts countBySeverity(const AddressBook &book);

struct CardRepairResult
{
    int fixedCards = 0;
    int fixes = 0;
    bool interrupted = false; // progress asked to stop; cards done so far stay
};

// Repairs every card whose status is not normal at level (RepairBroken,
// RepairAbnormal, RepairAll; core/validation.h) and stores its status
// again. progress is called once per card.
CardRepairResult repairFlaggedCards(AddressBook &book, int level, const CardLimits &limits,
                                    DateValue now, const Progress &progress = {});

// "n 枚のｶｰﾄﾞ（m 個所）を修復しました。" or that nothing needed fixing.
QString cardRepairMessage(const CardRepairResult &result);

enum class DuplicateIdMode {
    Merge,  // remove a repeat within a card, merge cards sharing an ID
    Report, // change nothing
};

struct DuplicateIdResult
{
    int duplicates = 0;   // neighbouring pairs with equal IDs
    QString lines;        // one report line per pair, each ending in CR LF
    int mergedCards = 0;  // cards merged into another and removed
    int removedIds = 0;   // repeats removed from within a card
    bool interrupted = false;
};

// Looks for IDs (compared in lower case, exactly) that occur more than once
// among cards 1 .. cardCount()-1. An ID that is empty or only blanks is never
// a duplicate of anything. In merge mode a card holding an ID twice
// keeps its first occurrence, and two cards sharing an ID become one: the
// card updated later absorbs the other (on equal dates, the second of the
// pair in sorted order), which is then removed. A card merged away is never
// looked at again: later pairs naming it act on the card it went into, and
// a pair whose cards have become one card merges nothing more. Each pair is
// reported by the cards its two entries came from, before any merge, so the
// report reads the same in both modes.
// Cards changed by a merge get their validation status stored again.
// progress is called once per neighbouring pair.
DuplicateIdResult handleDuplicateIds(AddressBook &book, DuplicateIdMode mode,
                                     const CardLimits &limits, DateValue now,
                                     const Progress &progress = {});

// The message when no duplicate was found.
QString noDuplicateIdMessage();

// The report of a search that found duplicates: the banner stamped with
// `stamp`, the pairs found, and the count.
QString duplicateIdReport(const DuplicateIdResult &result, DuplicateIdMode mode,
                          const QDateTime &stamp);
QString duplicateIdReportTitle(DuplicateIdMode mode);
QString duplicateIdReportFileName();
