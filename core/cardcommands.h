#pragma once
// The card commands of the address list that change the book: deleting the
// selected cards and combining them into one.

#include <QList>
#include <QString>

#include "core/model.h"

// The question asked about a selection: "選択された " lines " 項目（" cards,
// then rest (the command's own ending).
QString selectionQuestion(qsizetype lines, qsizetype cards, const QString &rest);
QString deleteQuestion(qsizetype lines, qsizetype cards);
QString combineQuestion(qsizetype lines, qsizetype cards);

// The card the others are combined into: the latest `updated` wins; among
// equal values the lowest number. numbers is ascending; numbers no card has
// are passed over. -1 when none of them is in the book.
qint32 combineTarget(const AddressBook &book, const QList<qint32> &numbers);

// Combines the cards with these numbers (ascending) into the target chosen
// by combineTarget: merges every other card into it in ascending order,
// deletes them, and validates the target again. Returns the target's
// number, or -1 (book untouched) when fewer than two of the numbers are
// cards of the book.
qint32 combineCards(AddressBook &book, const QList<qint32> &numbers, const CardLimits &limits);
