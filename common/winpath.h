#pragma once
// Helpers for Windows-style paths as the host mail client stores them in its
// own data (registry values, global.dat, profile entries): "\" separates
// components, and a path may start with a drive ("C:") or a network share
// ("\\server\share"). These never touch the file system.
//
// Native paths of this program use common/paths.h.

#include <QString>
#include <QStringView>

// "\\server\share" for a network path, "C:" for a drive path, "" otherwise.
QString winDriveOf(QStringView path);

// For a path with a drive or share prefix: that prefix (followed by "\" when
// the path continues with one), then the components before the last "\".
//   "C:\a\b.txt" -> "C:\a", "C:\b.txt" -> "C:\", "C:b.txt" -> "C:",
//   "\\srv\share\a\b" -> "\\srv\share\a"
// "" for a path without a prefix.
QString winFolderOf(QStringView path);

// The file name: the text after the last "\" (after the prefix when there is
// none). "\\srv\share" -> "", "C:b.txt" -> "b.txt", "a\b.txt" -> "b.txt".
QString winFileNameOf(QStringView path);

// The text after the last "." that follows the last "\" or ":"; "" when none.
QString winExtensionOf(QStringView path);

// Trimmed of spaces (U+0020), with "\" appended when not empty and not
// already ending in one.
QString winWithSlash(QStringView folder);

// Trimmed of spaces, with a final "\" removed, except for a drive root
// ("C:\") or a lone "\".
QString winWithoutSlash(QStringView folder);
