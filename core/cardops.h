#pragma once
// Operations on an AddressBook: finding, adding (with the ID-based merge),
// merging, deleting, group bookkeeping, appending a whole book, comparing.
//
// Every search, count and bulk operation works on indices 1 .. cardCount()-1;
// the system card (index 0) is only touched by the group-list operations.
// IDs are compared with text comparison (common/textcompare.h); names, group
// names and every other string exactly.

#include <QList>
#include <QString>
#include <QStringList>

#include "common/progress.h"
#include "core/model.h"

class Prompter;

// The largest value the card counter can hold: it is stored in 16 bits
// (signed) in the file. A book whose counter has reached it takes no further
// cards, so no card ever receives a duplicate or negative number.
inline constexpr qint32 MaxCardCounter = 32767;

// The separator line put between two memos when cards are merged.
extern const QString MemoMergeSeparator;

// ---- Lookups: a card index, or -1; the first match from index 1 on. -------

int findCardByNumber(const AddressBook &book, qint32 number);
// The first card having an ID equal to id under text comparison.
int findCardById(const AddressBook &book, QStringView id);
// The first card whose groups contain name (exact comparison).
int findCardByGroup(const AddressBook &book, QStringView name);

// For each number, the index of the card with that number (the first one,
// as findCardByNumber) or -1, in the order of numbers. Returns how many
// numbers were not found.
int mapNumbersToIndices(const AddressBook &book, const QList<qint32> &numbers,
                        QList<int> &indices);

// ---- Changes -------------------------------------------------------------

// Adds card to the book. When one of its IDs (in order) is already held by a
// card, the new card is merged into the first such card and 1 is returned.
// Otherwise the card is completed (flags 255 -> 10 / 0, missing dates set to
// now), numbered with the card counter, appended, and 0 is returned.
// When the counter has reached MaxCardCounter the append is refused: the
// prompter shows why, the book and card stay unchanged, and -1 is returned.
// now: the date-time stamped into a card without dates.
int addCard(Card &card, AddressBook &book, Prompter &prompter);
int addCard(Card &card, AddressBook &book, Prompter &prompter, DateValue now);

// The text shown when the card counter is exhausted.
QString cardCounterFullMessage();
// The text shown when appending a book is refused: newCards cards would be
// added (not counting those merged into cards with the same ID), but only
// room fit under the counter's limit.
QString appendRefusedMessage(int newCards, int room);

// Merges source into target field by field; target keeps its number,
// itemCount and status. source is not changed.
void mergeCards(Card &target, const Card &source);
// The memo and list parts of the merge, on their own.
QString mergeMemos(const QString &target, const QString &source);
QStringList mergeLists(const QStringList &target, const QStringList &source);

// Merging many cards into one, or one card many times: the record lists
// (profile, mail log, exchange and remark records) are only gathered while
// the cards merge and put in order once at the end, so that a run of merges
// costs no more than one sort of everything it gathered. The result is
// exactly that of the same mergeCards calls one after the other.
struct PendingRecordLists
{
    // Per list: true once it holds the entries of two or more non-empty
    // lists and needs sorting (and repeats removed) at the end.
    bool mixed[4] = {false, false, false, false};
};
// mergeCards, with the record lists gathered into target's pending state;
// sourcePending is the state of source when source had cards merged into it
// earlier in the same run (nullptr: none).
void mergeCardsPending(Card &target, const Card &source, PendingRecordLists &targetPending,
                       const PendingRecordLists *sourcePending = nullptr);
// The same for a source that is dropped after the merge: its record lists
// may be taken over instead of copied (the larger list keeps its storage),
// so that a chain of merges, each into a new card, stays n log n.
void mergeCardsPending(Card &target, Card &&source, PendingRecordLists &targetPending,
                       const PendingRecordLists *sourcePending = nullptr);
// Puts the gathered record lists of card in order; pending is reset.
void finishRecordLists(Card &card, PendingRecordLists &pending);

// Merges the card numbered sourceNumber into the card numbered targetNumber.
// Returns 0, or -1 when either is not found or both numbers are the same
// (a card is never merged into itself, since callers delete the source).
int mergeCardsByNumber(qint32 targetNumber, qint32 sourceNumber, AddressBook &book);
// Merges the cards numbered sourceNumbers, in that order, into the card
// numbered targetNumber, as mergeCardsByNumber would one by one; numbers
// that are not found and the target's own number are passed over. Returns
// the number of cards merged, or -1 when the target is not found.
int mergeCardsIntoOne(qint32 targetNumber, const QList<qint32> &sourceNumbers, AddressBook &book);

// Removes the card with that number; nothing happens when there is none.
void deleteCardByNumber(qint32 number, AddressBook &book);
// Removes every card whose number is listed, in one pass; the remaining
// cards keep their order and the system card stays first. Numbers that no
// card has, and repeats, are ignored. Returns the number of cards removed.
int deleteCards(const QList<qint32> &numbers, AddressBook &book);

// Appends name to the group list unless it is there (exact comparison).
// Returns 1 when it was already there, 0 when it was added.
int registerGroup(const QString &name, AddressBook &book);
// Registers every group any card belongs to; returns how many were added.
int registerUsedGroups(AddressBook &book);
// Replaces oldName by newName in every card's groups; a card that already
// has newName loses oldName instead. Returns the number of entries changed.
// The caller renames the entry of the group list.
int renameGroupInCards(const QString &newName, const QString &oldName, AddressBook &book);
// Removes every occurrence of name from every card's groups; returns the
// number removed. The caller removes the entry of the group list.
int removeGroupFromCards(const QString &name, AddressBook &book);

// Registers the source's groups in target, then adds every card of source
// (index 1 on, in order) with addCard. All or nothing: the append runs on a
// copy of target, which target becomes only when it completed and every
// card that was not merged into a card with the same ID got a number under
// MaxCardCounter. progress is called once per card; when it returns false
// the append stops.
// Returns 0 when every card was taken; -1, with target unchanged, when
// progress asked to stop or the new cards do not fit (the prompter then
// shows appendRefusedMessage with both counts).
// *taken, when given, receives the number of source cards taken in
// (appended or merged): all of them, or 0.
int appendBook(AddressBook &target, const AddressBook &source, Prompter &prompter,
               const Progress &progress = {}, int *taken = nullptr);

// The number of cards of other (index 1 on) having at least one ID that some
// card of reference has.
int countCardsSharingIds(const AddressBook &reference, const AddressBook &other);

// ---- Comparisons ---------------------------------------------------------

// 0 when a and b hold the same information regardless of list order (the
// creation and update dates are not compared), -1 otherwise.
int cardsEquivalent(const Card &a, const Card &b);

// The names and, in full-width parentheses, the IDs on one line: at most
// three of each, or two and "..." when there are four or more.
QString cardSummaryText(const Card &card);
