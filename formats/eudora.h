#pragma once
// Eudora nickname files. Each card is a nickname with two lines:
//
//   alias "nickname" addr1,addr2
//   note "nickname" <name:Full Name><address:zip address><phone:tel><fax:fax>memo
//
// Inside a note the character with code 3 separates lines. Reading joins an
// alias and the note of the same nickname into one card.

#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>

#include "common/progress.h"
#include "common/prompter.h"
#include "core/model.h"

struct ImportReport;

// The line separator inside a note.
inline constexpr QChar EudoraLineSeparator = QChar(3);

// The line put above the items that the format has no place for.
extern const QString EudoraOtherItemsHeader;

// How cards with several IDs are written.
enum EudoraMode : int {
    EudoraFirstIdOnly = 0, // the first ID only; the others go to the other items
    EudoraAllIds = 1,      // every ID (Eudora treats the nickname as a group)
};

// The export dialog's texts, for the window that asks for the mode.
struct EudoraPutTexts
{
    QString caption;      // window title
    QString frame;        // the frame around the two options
    QStringList options;  // by mode: [0] first ID only, [1] all IDs
    QString ok;
    QString cancel;
    int defaultMode;      // the option selected when the dialog opens
};
const EudoraPutTexts &eudoraPutTexts();

// The mode OK gives: 0 when option 0 is selected, 1 otherwise (also when
// nothing is selected, selectedOption -1).
int eudoraModeFromSelection(int selectedOption);

// Asks the user for the export mode (the window shows fomEudoraPut):
// EudoraFirstIdOnly or EudoraAllIds, or -1 when the user cancelled.
using EudoraModeAsker = std::function<int()>;

struct EudoraWriteOptions
{
    int mode = EudoraAllIds;
    // Write the items that have no tag (mobile, pager, birthday, groups, the
    // IDs and names that do not fit) after the memo.
    bool lostMemoFlag = true;
    // The online service's mail domain ("nifty.com" or "@nifty.com"): an ID
    // without "@" is written as the address ID@domain.
    QString niftyDomain;
};

struct EudoraReadOptions
{
    // The time stamped into created and updated; NoDate: now.
    DateValue now = NoDate;
};

// Parses nickname text into book, which is first made a new book. Cards
// come in nickname order (ignoring letter case); an alias and the note of
// the same nickname make one card, in whichever order the lines stand (with
// several cards under one nickname, the k-th alias takes the k-th note). A
// note without an alias makes a card without addresses. progress
// is called once per card (done = records taken, total = records); when it
// returns false parsing stops and the cards made so far stay. Lines that are
// not alias or note lines are skipped. Returns the number of nicknames that
// were not added because the card counter was full (0 normally). The cards'
// groups are not registered here. report (when given) receives the cards
// made and left out and the lines skipped (blank lines aside).
int parseEudoraText(QStringView text, AddressBook &book, const EudoraReadOptions &options = {},
                    const Progress &progress = {}, ImportReport *report = nullptr);

// The nickname file text of the cards that have a name, in book order.
// progress is called at each flush of the text builder (done = cards
// written); when it returns false the text is abandoned: the result is ""
// and *cancelled (when given) is set.
QString eudoraFileText(const AddressBook &book, const EudoraWriteOptions &options,
                       const Progress &progress = {}, bool *cancelled = nullptr);

// The two lines of one card; "" for a card without names.
QString eudoraCardText(const Card &card, const EudoraWriteOptions &options);

// The quoted nickname written for a name: enclosing double quotes removed,
// the remaining ones turned into apostrophes, the whole in double quotes.
QString eudoraNickname(QStringView name);

// Reads a nickname file into book (made a new book first) by the shared
// read procedure; an empty file reads as no cards. progress as for
// parseEudoraText: stopping keeps the cards made so far and still succeeds.
// Returns 0, or -1 when the file could not be read (the user was told).
// Nicknames beyond the card counter's limit are left out. After a read the
// user is told, in one message (ImportReport), what was left out or could
// not be read, bytes that are no CP932 included; a clean read says nothing.
int EudoraFileRead(const QString &path, AddressBook &book, Prompter &prompter,
                   const EudoraReadOptions &options = {}, const Progress &progress = {});

// Writes the book's cards with names as a nickname file to path (checked by
// the caller with WritePathCheck), in the mode the export dialog gave. An
// old file is replaced only by a complete new one; trashOld moves it to the
// trash first. Returns 0, or -1 when the write failed (the user was told) or
// was cancelled through progress.
int EudoraFileWrite(const QString &path, const AddressBook &book, Prompter &prompter,
                    const EudoraWriteOptions &options, const Progress &progress = {},
                    bool trashOld = false);
