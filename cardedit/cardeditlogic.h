#pragma once
// The card editor's rules that need no window: the texts of its date
// displays, the check of IDs against the other cards, profile entries and
// the files they name, and the memo's line ends.

#include <QDate>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QTime>
#include <functional>

#include "common/profilefiles.h"
#include "core/model.h"

// What the editor takes from the settings and the host integration.
struct CardEditOptions
{
    // Initial state of "stamp the update time on save".
    bool autoTimeStamp = true;
    // Limits for the validation of the saved card.
    CardLimits limits;
    // Local path of the host's shared log folder; profile files lie in its
    // "Profile" folder. "" when not set.
    QString sharedLogFolder;
    // Maps a path of the host (Windows style, "C:\...") to a local path;
    // "" when it cannot be mapped.
    std::function<QString(const QString &)> hostToLocalPath = [](const QString &) {
        return QString();
    };
    // The host's name for a local path, for profile files chosen outside the
    // profile folder; "" when there is none (the local path is then kept).
    std::function<QString(const QString &)> localToHostPath = wineDriveZPath;
};


// The pattern with its fields replaced by zero-padded digits: "yyyy" (four
// digits), "yy" (two), "mm" and "dd" for a date; "hh", "mm", "ss" for a time.
QString formatDatePattern(QStringView pattern, QDate date);
QString formatTimePattern(QStringView pattern, QTime time);

// The date and the time of a date value as the editor shows them
// ("yyyy年mm月dd日", "hh時mm分ss秒"); "（不明）" for NoDate and for a value
// outside the showable range.
QString dateDisplayText(DateValue v);
QString timeDisplayText(DateValue v);
// True when the value can be shown (not NoDate, in the showable range).
bool hasShowableDate(DateValue v);

// The age and the days to the next birthday as shown beside the birthday,
// for the given today; "" when there is no birthday or it lies after today.
QString ageText(DateValue birthday, QDate today);

// The index of a card other than skipIndex holding id among its IDs (text
// comparison: letter case and width ignored), or -1. Cards 1 .. count-1.
int otherCardWithId(const AddressBook &book, QStringView id, int skipIndex);

// The shape of the IDs that name profile files: any three characters and
// five decimal digits (the online service's legacy IDs, "ABC12345").
bool hasProfileIdShape(QStringView id);

// The ID whose profile files the add dialog offers: the first ID of legacy
// shape, else the last ID, else "*".
QString profileFileId(const QStringList &ids);

// A profile entry split at its first TAB. Without a TAB, title holds the
// whole entry and value is empty.
struct ProfileEntryParts
{
    bool hasTab = false;
    QString title;
    QString value;
};
ProfileEntryParts splitProfileEntry(const QString &entry);

// The text shown for a profile value: the file's text, or one of the
// notices for "NONE", a missing or unreadable file and a missing shared log
// folder. A bare file name is looked up in the profile folder, a value with
// a backslash is a host path mapped through options.hostToLocalPath.
QString profileValueText(const QString &value, const CardEditOptions &options);

// The value stored for a file the user chose: its name alone when it lies
// directly in the profile folder; otherwise the host's path for it
// (options.localToHostPath), or the local path when there is none.
QString profileValueForFile(const QString &path, const CardEditOptions &options);

// A new profile entry: the date as "yy/mm/dd", a TAB and the value.
QString newProfileEntry(QDate today, const QString &value);

// The characters of the card's text that the address book file cannot hold
// (it writes them as "?"), each once, in the order of the fields in the file.
QStringList unwritableCharacters(const Card &card);

// The question asked on save when the card holds such characters: the
// first 20 of them (invisible ones as "U+00A0"), then whether to save anyway.
QString unwritableCharactersQuestion(const QStringList &characters);

// The memo between the card (lines end in CR LF) and a text box (LF).
QString memoToEditor(const QString &memo);
QString memoFromEditor(const QString &text);
