#pragma once
// A generator of realistic address books for samples, tests and benchmarks.
//
// The same options always give the same book, on every platform: the random
// numbers come from std::mt19937 and every distribution is computed here.
// Person cards are numbered 1..cards and the counter is cards + 1. All text
// uses characters of code page 932 only (half-width katakana, NEC special
// characters and IBM extensions included), so a book written and read back
// keeps its text exactly.
//
// With badCards, a few cards are planted that break one validation rule each
// (one card per rule, identified by the first memo line), plus one card that
// repeats another card's number and one card that holds another card's ID in
// different letter case. A planted card breaks its rule and no rule tested
// before it. The card planted for code 5 holds a birthday beyond 9999-12-31;
// the reader turns such a value into the empty date, so that one field does
// not survive a write and read.

#include <QList>
#include <QString>
#include <QtGlobal>

#include "core/model.h"

struct GeneratorOptions {
    quint32 seed = 1;
    int cards = 100;          // person cards (excluding the system card)
    int groups = 12;
    bool badCards = true;     // include a few cards that break each validation rule
    double logScale = 1.0;    // scales how many log lines / records cards get
};

AddressBook generateBook(const GeneratorOptions &options);

// Marks of the two planted cards that no validation rule flags.
inline constexpr int PlantedDuplicateNumber = -1; // repeats an earlier card's number
inline constexpr int PlantedDuplicateId = -2;     // an earlier card's ID, other letter case

// The status codes of the validation rules, in the order validation tests
// them; generateBook plants one card for each (code 51 only when the group
// list is not empty).
QList<int> plantedRuleCodes();

// What a card was planted for: a status code, PlantedDuplicateNumber,
// PlantedDuplicateId, or 0 for an ordinary card.
int plantedRule(const Card &card);

// The first memo line of a card planted for `rule`.
QString plantedMark(int rule);
