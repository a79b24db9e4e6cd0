#pragma once
// The five kinds of file Brindle reads and writes, how a file's kind is told
// from its name (and, for .txt files, its first bytes), and the open and
// save dialogs with the filter of each kind.

#include <QByteArrayView>
#include <QList>
#include <QString>

#include "common/prompter.h"

enum FileKind : int {
    FileKindUnknown = -1,
    FileKindAddressBook = 0, // .ndb, .nd0 - .nd9
    FileKindListText = 1,    // .txt starting with "====="
    FileKindCsv = 2,
    FileKindVCard = 3,
    FileKindEudora = 4,      // .txt starting with "alias" or "note "
};
inline constexpr int FileKindCount = 5;
// Passed to the dialogs: every file, no kind of its own.
inline constexpr int FileKindAll = 5;

// The kind of path: by its extension (lower-cased), and for "txt" and
// "text" by the first TextKindHeadSize bytes (textFileKindOf).
// FileKindUnknown when none fits.
int fileKindOf(const QString &path);
// The kind of a ".txt" file by its first bytes (head): list text when they
// are "=====", Eudora when its first line that is not blank (spaces and TABs
// only, lines ending at CR, LF or CR LF) starts with "alias" or "note " (in
// any letter case); either needs six bytes from where it starts.
// FileKindUnknown otherwise, also when head holds only blank lines.
int textFileKindOf(QByteArrayView head);
// How much of a ".txt" file fileKindOf reads to tell its kind.
inline constexpr qint64 TextKindHeadSize = 64 * 1024;

// The Japanese name of a kind, as the menus call it ("一覧形式").
QString fileKindName(int kind);

// The dialog filters of a kind: the kind's own first, then all files; kinds
// 5 and above (and unknown ones) have all files only. The dialogs match the
// patterns without regard to letter case.
QList<Prompter::FileFilter> fileFiltersOf(int kind);

enum class FileDialogMode { Open, Save };

// A save dialog may offer more than one format of its kind, one filter
// each, before all files: the kind's own format first (0), then the others.
// vCard offers vCard 3.0 in UTF-8 second.
inline constexpr int VcardFormat30 = 1;
// The filters of a kind's save dialog.
QList<Prompter::FileFilter> saveFileFiltersOf(int kind);

// Splits a proposed name into the dialog's folder and file name; a name
// that begins with a double quote is the text up to the next double quote.
Prompter::FileRequest fileRequestFor(const QString &initialName, const QString &title,
                                     const QList<Prompter::FileFilter> &filters);

// The rules for a name returned by a file dialog: cut at the first NUL;
// when the first filter (the kind's own) is still selected and the name's
// extension does not fit the kind, "." (unless the name ends with one) and
// the kind's default extension are appended. Empty stays empty.
QString finishChosenName(const QString &name, int kind, int filterIndex);

// The open or save dialog for a kind. Returns the chosen path or "".
QString chooseFile(Prompter &prompter, FileDialogMode mode, const QString &initialName, int kind);

// What a save dialog answered: the path ("" when cancelled), finished as
// finishChosenName does for the kind's own filter when one of the kind's
// formats is selected, and that format (0 with all files selected).
struct SaveChoice
{
    QString path;
    int format = 0;
};
// The save dialog for a kind (chooseFile's save mode), telling the format.
SaveChoice chooseSaveFile(Prompter &prompter, const QString &initialName, int kind);

// The dialog for report text files (filter "*.txt" or all files).
QString chooseTextFile(Prompter &prompter, FileDialogMode mode, const QString &initialName);

// Saves a report's text (CR LF line ends as given) under a name the user
// chooses in the report text dialog, starting from initialName. The path
// passes WritePathCheck without a second overwrite question (the dialog
// asked); trashOld moves a replaced file's old content to the trash. False
// when cancelled, refused or failed (the user has been told).
bool saveTextAs(Prompter &prompter, const QString &initialName, const QString &text,
                bool trashOld);

// The folder browser; an empty start folder means the current directory.
QString chooseFolderPath(Prompter &prompter, const QString &prompt, const QString &startFolder);
