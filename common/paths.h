#pragma once
// Native (Linux) path helpers: "/" separates components, an absolute path
// starts with the root "/", which plays the part of the drive.
//
// Paths that come from the host mail client's own data (registry values,
// global.dat, profile entries) are Windows-style; see common/winpath.h.

#include <QString>
#include <QStringView>

// "/" for an absolute path, "" otherwise.
QString driveOf(QStringView path);

// The folder part of an absolute path: the components before the last "/",
// or the root "/" for an entry directly under it. "" for a relative path.
//   "/home/u/a.txt" -> "/home/u", "/a.txt" -> "/", "/home/u/" -> "/home/u"
QString folderOf(QStringView path);

// The text after the last "/" (the whole text when there is none).
QString fileNameOf(QStringView path);

// The text after the last "." of the file name; "" when the name has none.
//   "/a.b/c" -> "", "x.tar.gz" -> "gz", "a." -> ""
QString extensionOf(QStringView path);

// Trimmed of spaces (U+0020 only) at both ends, with a "/" appended when the
// result is not empty and does not already end in one.
QString withSlash(QStringView folder);

// Trimmed of spaces, with one final "/" removed unless the text is the root.
QString withoutSlash(QStringView folder);

enum class PathKind { Any, File, Folder };

// The path as it is on disk: absolute, with symbolic links, "." and ".."
// resolved. "" when the path does not exist or is not of the kind asked for
// (File: anything that is not a folder).
QString canonicalPath(const QString &path, PathKind kind = PathKind::Any);

// True when the path exists and is a folder.
bool isFolder(const QString &path);
// True when the path exists and is not a folder.
bool isFile(const QString &path);

// The whole file decoded from code page 932; defaultText when the file cannot
// be opened or read (missing, not a regular file, no permission) or is
// longer than maxBytes.
QString readTextFile(const QString &path, const QString &defaultText = QString(),
                     qint64 maxBytes = qint64(1) << 30);

// Writes text encoded in code page 932 by the safe save (common/safesave.h):
// an existing file is replaced only once the new contents are completely
// written, and trashOld moves its old content to the trash then. Returns the
// number of bytes written, or -1 on failure (the old file, if any, is then
// left as it was).
qint64 writeTextFile(const QString &path, QStringView text, bool trashOld = false);
