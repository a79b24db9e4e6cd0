#pragma once
// The options dialog without its widgets: what its controls show for the
// settings, the checks of its OK button and how it stores what they hold.

#include <QString>
#include <QStringList>
#include <array>

#include "core/model.h"
#include "shell/settings.h"

class Prompter;
class WineHost;

// The contents of the options dialog's controls.
struct SetupForm
{
    QString homeFolder;      // as shown: no trailing "/" (the root "/" kept)
    QString globalLogFolder;
    std::array<QString, Settings::ErrorValueCount> limits;
    QString niftyDomain;     // the combo box's text
    bool trashFlag = true;
    bool lostMemoFlag = true;
};

// The controls the OK checks can point at.
enum class SetupControl {
    None = -1,
    HomeFolder,
    GlobalLogFolder,
    Limit0, // Limit0 + i: the i-th limit box
};

struct SetupProblem
{
    SetupControl control = SetupControl::None;
    QString message;
};

// A stored folder as the folder boxes show it: trimmed of spaces, without
// its trailing "/" unless it is the root "/".
QString folderForDisplay(const QString &folder);

// The two entries of the domain combo box: the service's current and its
// legacy mail domain.
QStringList niftyDomainChoices();

// What the dialog shows when it opens.
SetupForm setupFormFor(const Settings &settings);

// The "再取得" button: the first-run discovery into scratch settings; the
// folders it found in display form ("" for each one not found).
void rediscoverFolders(SetupForm &form, const WineHost &host);

// The default limits in the seven boxes; nothing else changes.
void resetLimits(SetupForm &form);

// A limit box's value: an integer of at least 1 (spaces around it and
// full-width digits allowed). False for anything else: below 1, empty,
// not a number, or too large for a limit.
bool parseLimit(const QString &text, int &value);

// The OK checks in order: a folder box that is not empty and names no
// existing folder, then the first limit box without a valid limit.
// control None when everything is in order.
SetupProblem checkSetupForm(const SetupForm &form);

// Stores a form that passed the checks: folders with a trailing "/" (empty
// stays empty; a relative folder is made absolute), the limits, the two
// options and the domain (an empty domain stores the default one).
void storeSetupForm(const SetupForm &form, Settings &settings);

// The OK button: on a failed check, shows its message, tells which control
// to focus and returns -1 with nothing stored. Otherwise stores the form,
// validates every card of the book again with the new limits and returns 0.
int applySetupForm(const SetupForm &form, Settings &settings, AddressBook &book,
                   Prompter &prompter, SetupControl *focus = nullptr);
