#pragma once
// Profile files of the host: short texts it fetched from the online service
// and keeps in the "Profile" folder below its shared log folder. Their names
// come from address book files, which may have been written by anyone, so
// every name is checked before it touches the file system and only small
// regular files are read.

#include <QByteArray>
#include <QString>
#include <QStringView>

// The largest profile file that is read; anything longer is not shown.
inline constexpr qint64 MaxProfileFileSize = 1024 * 1024;

// The folder below the shared log folder that holds the profile files.
inline constexpr char16_t ProfileFolderName[] = u"Profile";

// True for a name that stays inside the folder it is looked up in: not
// empty, no "/" and no NUL character, and neither "." nor "..".
bool isSinglePathComponent(QStringView name);

// The path of the entry called name directly inside folder. When no entry is
// spelled exactly so, an entry whose name differs only in letter case is
// taken, as the host's file system would. "" when name is not a single path
// component, the folder cannot be listed or nothing matches.
QString findEntryIgnoringCase(const QString &folder, const QString &name);

// The local profile folder below the shared log folder, "" when the shared
// log folder is empty or either folder does not exist.
QString profileFolderOf(const QString &sharedLogFolder);

// Reads a regular file of at most maxSize bytes whole. Refuses, without
// blocking, anything else: folders, devices, pipes, sockets, missing or
// unreadable files and files longer than maxSize.
bool readSmallRegularFile(const QString &path, QByteArray &out,
                          qint64 maxSize = MaxProfileFileSize);

// The text of a profile file (code page 932, line ends as stored); false
// when readSmallRegularFile refuses it.
bool readProfileFile(const QString &path, QString &text);

// The host's name of a local absolute path under the usual Wine setup,
// where drive Z: is the root folder: "/home/u/a.txt" -> "Z:\home\u\a.txt".
// "" for a relative path.
QString wineDriveZPath(const QString &localPath);
