#pragma once
// The host's rules for a card: the status code of the first rule a card
// breaks, its message and severity, the repair of a card up to a severity
// level, and the repair of duplicate card numbers.
//
// Dates are valid between 0100-01-01 00:00:00 and 9999-12-31 23:59:59;
// NoDate is outside that range. "now" is the local date-time; the functions
// take it as a parameter so that a whole run uses one instant.

#include <QString>
#include <QStringList>

#include "common/oledate.h"
#include "core/model.h"

// Status codes, in the order validation tests them.
inline constexpr int StatusNormal = 0; // none of the below
inline constexpr int StatusNoIds = 1; // ids is empty
inline constexpr int StatusNoNames = 2; // names is empty
inline constexpr int StatusCreatedBroken = 3; // created is NoDate or not a valid date
inline constexpr int StatusUpdatedBroken = 4; // updated is NoDate or not a valid date
inline constexpr int StatusBirthdayBroken = 5; // birthday is neither NoDate nor a valid date
inline constexpr int StatusCardBroken = 6; // itemCount is not 19
inline constexpr int StatusBadProfile = 10; // a profile entry does not match its pattern (has no TAB)
inline constexpr int StatusBadMailLog = 11; // a mailLog line does not match its pattern
inline constexpr int StatusBadExchangeFlag = 20; // exchangeAutoRecord is neither 10 nor 0
inline constexpr int StatusBadExchangeRecord = 21; // an exchangeRecords line does not match its pattern
inline constexpr int StatusBadRemarkFlag = 30; // remarkAutoRecord is neither 10 nor 0
inline constexpr int StatusBadRemarkRecord = 31; // a remarkRecords line does not match its pattern
inline constexpr int StatusBadId = 40; // an ID is shorter than 2 characters after trimming spaces
inline constexpr int StatusUnregisteredGroup = 50; // a name in groups is not in the group list (exact comparison)
inline constexpr int StatusDuplicateGroups = 51; // the card has more groups entries than the group list has names
inline constexpr int StatusUpdatedBeforeCreated = 60; // created is later than updated
inline constexpr int StatusBlankName = 100; // a name is empty after trimming spaces
inline constexpr int StatusOddCreated = 101; // created is later than now or earlier than 1900-01-01 (value 2.0)
inline constexpr int StatusOddUpdated = 102; // updated is later than now
inline constexpr int StatusOddBirthday = 103; // birthday is not NoDate and is later than now or earlier than 1850-01-01 (value -18260.0)
inline constexpr int StatusTooManyIds = 200; // ids count ≥ the IDs limit
inline constexpr int StatusTooManyNames = 300; // names count ≥ the names limit
inline constexpr int StatusTooManyProfile = 500; // profile count ≥ the profile limit
inline constexpr int StatusTooManyMailLog = 600; // mailLog count ≥ the mail log limit
inline constexpr int StatusTooManyExchangeRecords = 700; // exchangeRecords count ≥ the exchange limit
inline constexpr int StatusTooManyRemarkRecords = 800; // remarkRecords count ≥ the remark limit
inline constexpr int StatusTooMuchText = 900; // summed length of the seven text fields ≥ the text limit

// Any other code is unknown ("未知のエラー", severity 0).

// Severity classes.
inline constexpr int SeverityNormal = 0;
inline constexpr int SeveritySuspicious = 1; // codes 100-999: unnatural values, too much data
inline constexpr int SeverityAbnormal = 2;   // codes 10-99
inline constexpr int SeverityBroken = 3;     // codes 1-9

// The mark shown beside a bad card: "？" suspicious, "！" abnormal, "×"
// broken; a space for severity 0.
QChar severityMark(int severity);

// Line patterns of the record lists (common/likematch.h).
extern const QString MailLogPattern;
extern const QString ExchangeRecordPattern;
extern const QString RemarkRecordPattern;

bool isValidMailLogLine(QStringView line);
bool isValidExchangeRecord(QStringView line);
bool isValidRemarkRecord(QStringView line);
bool isValidProfileEntry(QStringView entry); // a title, a TAB, a value

// 1900-01-01 and 1850-01-01 as date values: earlier creation, update and
// birth dates are unnatural.
inline constexpr DateValue EarliestNaturalDate = 2.0;
inline constexpr DateValue EarliestNaturalBirthday = -18260.0;

// The code of the first rule card breaks, or StatusNormal. groupList is the
// book's group list (the system card's names).
int validateCard(const Card &card, const QStringList &groupList, const CardLimits &limits,
                 DateValue now = oleNow());

// Validates cards 1 .. cardCount()-1 and stores each code in the card's
// status. Returns the number of cards whose status is not normal.
int validateAll(AddressBook &book, const CardLimits &limits, DateValue now = oleNow());

QString statusMessage(int code);
int statusSeverity(int code);

// Repair levels: what a repair fixes.
inline constexpr int RepairBroken = 3;     // only the broken class
inline constexpr int RepairAbnormal = 2;   // broken and abnormal
inline constexpr int RepairAll = 1;        // every class that can be fixed (any other value too)

// Fixes what can be fixed up to level and returns the number of fixes (a
// removal of several entries counts one per entry). May append groups the
// card uses to groupList. Never removes the last ID or the last name. The
// size limits (codes 200-900) are never repaired.
int repairCard(Card &card, QStringList &groupList, int level, DateValue now = oleNow());

// Makes the card numbers distinct and the counter ahead of them; run after
// every load. Returns the number of fixes (the counter raised counts one,
// each renumbered card one).
//  - A counter below 1 is raised to the largest number + 1 (at least 1).
//  - A counter at or below the largest number becomes the largest + 1.
//  - Of a run of equal numbers, all but the last card in book order get the
//    counter's value, the counter growing by one each time.
// The counter never goes above 32767, the largest value its 16-bit field
// holds; a duplicate that cannot be numbered from the counter gets the
// lowest positive number no card has. Numbers above 32767 (written by
// foreign tools; the host reads them as negative) are kept as they are and
// do not move the counter: the counter can never reach them.
int repairCardNumbers(AddressBook &book);

// The notice shown after a load that repaired n card numbers.
QString cardNumberRepairMessage(int n);
