#pragma once
// Reading and writing a file by its kind through the matching format.
//
// Each format plugs into the table of builtInFileFormats() (dispatch.cpp)
// with one line: its kind, its reader and its writer. A kind without a
// reader or writer yet fails with a message instead of pretending.

#include <QString>
#include <array>
#include <functional>

#include "common/progress.h"
#include "core/model.h"
#include "formats/csv.h"
#include "formats/eudora.h"
#include "formats/vcard.h"
#include "shell/filekind.h"

class HostProbe;
class Prompter;
struct Settings;

struct FileFormats;

// What a reader or writer may need besides the path and the book.
struct FileIo
{
    Prompter &prompter;
    const Settings &settings; // homeFolder for the guard; the format options
    const HostProbe &probe;   // whether Corvid runs
    Progress progress = {};
    const FileFormats *formats = nullptr; // nullptr: builtInFileFormats()
    // Writers move the file they replace to the trash (the trashFlag option),
    // after the new content is complete.
    bool trashOld = false;
};

// A reader fills a fresh book and returns 0, or -1 after telling the user
// why it failed (or silently when progress asked to stop). A writer returns
// 0 when the file is written, -1 on failure or cancel.
using FileReader = std::function<int(const QString &path, AddressBook &book, const FileIo &io)>;
using FileWriter =
    std::function<int(const QString &path, const AddressBook &book, const FileIo &io)>;

struct FileFormat
{
    FileReader read;
    FileWriter write;
};

struct FileFormats
{
    std::array<FileFormat, FileKindCount> byKind;
};

const FileFormats &builtInFileFormats();

// The CSV entry of the table. The column mapping comes from mapper (the
// window: the mapping dialog), the export options from ask (the window: the
// export dialog); the built-in entry maps automatically and writes with the
// dialog's defaults. The mail domain is the settings' niftyDomain. A file
// read is decoded as encoding (Auto: told from its bytes).
FileFormat csvFileFormat(CsvMapper mapper, CsvExportAsker ask,
                         TextEncoding encoding = TextEncoding::Auto);

// The nickname file entry of the table. The export mode (0 the first ID
// only, 1 every ID, -1 cancel) comes from ask (the window: the export
// dialog); the built-in entry writes every ID, the dialog's default. The
// mail domain and the other-items option are the settings'.
FileFormat eudoraFileFormat(EudoraModeAsker ask);

// The vCard entry of the table. Each write asks version which vCard to
// write (the window: the filter chosen in the save dialog; the command
// line: its option); without it, and in the built-in entry, vCard 2.1.
// Reading keeps other items by the settings' option; writing appends the
// settings' mail domain to IDs without "@".
using VcardVersionAsker = std::function<VcardVersion()>;
FileFormat vcardFileFormat(VcardVersionAsker version);

// Reads path as a file of the kind into book. Refuses Corvid's live address
// book while Corvid runs, reports a missing file, and fails for a kind
// without a reader. Returns the number of cards read (the system card not
// counted), or -1; on failure book is unchanged. Running out of memory while
// reading is such a failure, reported with outOfMemoryMessage().
int readFileByKind(const QString &path, int kind, AddressBook &book, const FileIo &io);

// Writes book as a file of the kind. Returns 0 when written, -1 when the
// kind has no writer, the path is the live address book while Corvid runs,
// or the writer failed or was cancelled. The overwrite question and the
// trash step belong to the caller.
int writeFileByKind(const QString &path, int kind, const AddressBook &book, const FileIo &io);
