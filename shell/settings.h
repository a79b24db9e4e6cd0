#pragma once
// Everything Brindle remembers between runs, and its file Brindle.ini.
//
// The file is CP932 text with CR LF line ends, one section "[Settings]",
// one "Key=value" line per single-valued key, then the LastName=,
// FileHistory= and ErrorValue= lines. Keys are found regardless of letter
// case; values run to the end of their line, without quoting or escapes.
//
// Folders are kept as local paths ending in "/".
//
// When a value has no CP932 form (a path with "é" or "𠮷"), the file is
// written in UTF-8 after a byte-order mark instead, so that no path comes
// back with "?" in it; the reader takes either.

#include <QByteArray>
#include <QString>
#include <array>

#include "core/model.h"

class WineHost;

// The online service's mail domain, appended to bare service IDs; the
// current one is the default, the legacy one is offered by the options.
inline constexpr const char16_t *DefaultNiftyDomain = u"nifty.com";
inline constexpr const char16_t *LegacyNiftyDomain = u"nifty.ne.jp";

struct Settings
{
    static constexpr int LastNameCount = 5;   // one per file kind 0..4
    static constexpr int HistoryCount = 5;
    static constexpr int ErrorValueCount = 7; // the CardLimits, in order

    // Main window placement in twips; width below 1: nothing saved.
    qint32 left = -1;
    qint32 top = -1;
    qint32 width = -1;
    qint32 height = -1;
    qint32 state = 0; // 0 normal, 1 minimised, 2 maximised

    QString homeFolder;      // holds the live Address.ndb
    QString globalLogFolder; // profiles are looked up under it
    bool trashFlag = true;   // move an overwritten file to the trash first
    bool lostMemoFlag = true;
    QString niftyDomain = QString::fromUtf16(DefaultNiftyDomain);
    QString compareOldPath;
    QString compareNewPath;
    std::array<QString, LastNameCount> lastFileName;
    std::array<QString, HistoryCount> fileHistory; // most recent first
    std::array<int, ErrorValueCount> errorLimits = defaultErrorLimits();

    static constexpr std::array<int, ErrorValueCount> defaultErrorLimits()
    {
        return {100, 100, 100, 1000, 1000, 1000, 10000};
    }

    bool operator==(const Settings &) const = default;
};

// Where the settings live: Brindle.ini in programFolder when that file
// exists and is writable (portable use), otherwise
// $XDG_CONFIG_HOME/Brindle/Brindle.ini (~/.config/Brindle/Brindle.ini).
QString settingsFilePath(const QString &programFolder);

// Fills settings from the text of a settings file (defaults first).
// Returns false when the text is empty, so nothing was read.
bool parseSettings(const QByteArray &bytes, Settings &settings);
// The text of the settings file.
QByteArray serializeSettings(const Settings &settings);

// Defaults, then the file's values. Returns false when the file is missing,
// unreadable or empty (the caller then runs the first-run discovery).
bool readSettingsFile(const QString &path, Settings &settings);
// Defaults and the file, or, when there is no file, the folders found by the
// first-run discovery through the host.
void loadSettings(const QString &path, Settings &settings, const WineHost &host);
// Replaces the file safely (the old one stays when writing fails); creates
// its folder. Returns false on failure, which callers do not report.
bool saveSettings(const QString &path, const Settings &settings);

// Puts path first in the file history, removing its other occurrences
// (paths compared with only the ASCII letters folded). Empty paths and paths
// of no known file kind are ignored.
void addToFileHistory(Settings &settings, const QString &path);

// Two paths name the same history entry: ASCII letters folded, the rest exact.
bool sameHistoryPath(const QString &a, const QString &b);

CardLimits cardLimitsOf(const Settings &settings);
void setErrorLimits(Settings &settings, const CardLimits &limits);
