#pragma once
// The search behind the address list: which cards the address list shows.
// The result is the display list: card numbers in the book's card order.

#include <QList>
#include <QSet>
#include <QString>

#include "core/model.h"

enum SearchField {
    SearchAll = 0,
    SearchBadCards = 1,
    SearchIds = 2,
    SearchNames = 3,
    SearchGroups = 4,
    SearchPhones = 5,
    SearchAddress = 6,
    SearchBirthYear = 7,
    SearchBirthMonth = 8,
    SearchBirthDay = 9,
    SearchMemo = 10,
};

// The word that means "any value"; always the first item of the word box.
QString anyValueWord();

// Runs the search. The word is compared exactly (letter case and width
// significant) as a substring. The memo field searches the memo like the
// other text fields.
QList<qint32> searchCards(const AddressBook &book, int field, const QString &word);

// Display list upkeep when cards are added or deleted without a new search.
void displayListAdd(QList<qint32> &list, qint32 number);
void displayListRemove(QList<qint32> &list, qint32 number);
void displayListRemove(QList<qint32> &list, const QSet<qint32> &numbers);
// Keeps, in order, only the numbers whose card still exists.
void displayListDropVanished(QList<qint32> &list, const AddressBook &book);
