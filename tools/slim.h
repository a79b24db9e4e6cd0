#pragma once
// Slimming an address book: removing surplus IDs and names, old profile
// entries, old log lines and records, chosen contact fields, the memo and
// the group memberships from every card in one pass.

#include <QString>
#include <QStringList>

#include "common/progress.h"
#include "core/model.h"

// One "keep at most N" option: a check box and its count box.
struct SlimLimit
{
    bool on = false;
    int count = 100;

    // The limit applied to a list: the count when the option is on, else
    // -1 (no limit). A negative count on an enabled option limits nothing.
    int limit() const { return on ? count : -1; }
    bool operator==(const SlimLimit &) const = default;
};

struct SlimOptions
{
    SlimLimit ids;
    SlimLimit names;
    SlimLimit profile;
    bool profileNone = false; // remove profile entries whose value is "NONE"
    SlimLimit mailLog;
    SlimLimit exchangeRecords;
    SlimLimit remarkRecords;
    bool address = false; // postal code and address
    bool telephone = false;
    bool fax = false;
    bool mobile = false;
    bool pager = false;
    bool memo = false;
    bool groups = false; // every card's groups and the group list

    bool operator==(const SlimOptions &) const = default;
};

// The preset levels: 0 "運動" (old history only), 1 "断食" (all history),
// 2 "ﾐｲﾗ化" (one ID and one name, nothing else). Level 3 "ｶｽﾀﾑ" has no
// preset.
inline constexpr int SlimLevelCount = 4;
inline constexpr int SlimCustomLevel = 3;

// The caption and the description of a level 0..3.
QString slimLevelCaption(int level);
QString slimLevelDescription(int level);

// Applies the preset of level 0..2 to options; the count of an option the
// level switches off is left as it is. Level 3 (or any other) changes
// nothing.
void applySlimPreset(SlimOptions &options, int level);
SlimOptions slimPreset(int level);

// Why options cannot run, or "" when they can: nothing chosen (the "NONE"
// option alone does not count), or an ID or name limit below 1.
QString slimOptionsProblem(const SlimOptions &options);

// The number in a count box: a whole number, surrounding spaces allowed.
// False when the text holds none (an empty box included).
bool parseSlimCount(const QString &text, int &value);

struct SlimResult
{
    int changedCards = 0;
    int removed = 0;         // removed entries and cleared fields
    bool groupListCleared = false;
    qint64 sizeBefore = 0;   // the book's file size before and after
    qint64 sizeAfter = 0;
    // progress asked to stop: the cards done so far stay changed, the group
    // list is kept (callers that must not keep half a run work on a copy)
    bool interrupted = false;
};

// Runs options over cards 1 .. cardCount()-1 (and the group list), storing
// each changed card's validation status. Does not check the options (see
// slimOptionsProblem). progress is called once per card.
SlimResult slimBook(AddressBook &book, const SlimOptions &options, const CardLimits &limits,
                    DateValue now, const Progress &progress = {});

// The message after a run: what was removed and how many bytes it saved, or
// that nothing was found to remove.
QString slimResultMessage(const SlimResult &result);

// Keeps the `limit` newest lines of a log whose lines begin with a two-digit
// year (yy/mm/dd): years below 70 count as 20yy, the others as 19yy. The
// kept lines stay in their previous order; of lines with equal dates the
// earlier ones in the list count as older. A limit of 0 empties the log; a
// negative limit, or one not below the count, keeps everything. Returns the
// number of lines dropped.
int keepNewestLines(QStringList &lines, int limit);
