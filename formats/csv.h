#pragma once
// CSV files: reading with a column mapping, and writing in the program's own
// layout (header record, then one record per card).
//
// Syntax, both ways: CP932 text; a record ends at CR (CR LF counts as one
// line end; a lone LF is an ordinary character of its cell, so a file with
// LF-only line ends is a single record); cells are separated by ","; a cell
// may be enclosed in double quotes, inside which commas and line ends belong
// to the cell and a double quote is doubled. Within a cell, LF separates the
// values of a multi-valued item.
//
// Reading never rejects malformed text: an unterminated quote swallows the
// rest of the file into its cell, and quotes inside an unquoted cell stay.

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <functional>

#include "common/progress.h"
#include "common/prompter.h"
#include "core/model.h"
#include "formats/csvmapping.h"

// ---- Syntax ----------------------------------------------------------------

// Reads the record starting at pos into cells (resized to the record's cell
// count, which is also returned) and moves pos past the record's line end.
// Every cell is unquoted with csvUnquote. An empty line gives 0 cells; a
// line ending in "," gives an empty last cell.
qsizetype csvRecordRead(QStringList &cells, QStringView text, qsizetype &pos);

// A cell that begins and ends with a double quote (and has at least two
// characters) without them, every doubled quote halved and every CR LF
// turned into LF. Any other cell unchanged.
QString csvUnquote(QStringView cell);

// text enclosed in double quotes, its own double quotes doubled.
QString csvQuote(QStringView text);
void appendCsvQuoted(QString &out, QStringView text);

// ---- Reading ---------------------------------------------------------------

// Data records shown beside the header when the mapping is chosen.
inline constexpr int CsvPreviewRecords = 5;

// Chooses the mapping for a file: given the header cells and the first data
// records (at most CsvPreviewRecords), fills mapping (one item per header
// cell) and returns true, or returns false to cancel the read. The GUI shows
// the mapping dialog; the command line uses autoCsvMapper.
using CsvMapper = std::function<bool(const QStringList &header,
                                     const QList<QStringList> &preview, CsvMapping &mapping)>;

// The automatic mapping (autoCsvSelect), never cancels.
bool autoCsvMapper(const QStringList &header, const QList<QStringList> &preview,
                   CsvMapping &mapping);

// The header cells that mapping leaves unused.
QStringList unmappedCsvColumns(const QStringList &header, const CsvMapping &mapping);

// Stores one cell into card as the item says:
//   lists (ID, 名前, グループ, プロフィール, 送受信簿, 交流記録, 発言記録): the
//     cell split at LF, each piece appended (a piece after the last LF only
//     when not empty; an empty cell adds nothing);
//   text items: LFs become spaces, spaces around are trimmed; a non-empty
//     result sets the field, or is appended after a space when the field
//     already has text;
//   dates: a "yyyy/mm/dd" or "yyyy/mm/dd hh:mm:ss" text replaces the date
//     (the birthday keeps the date only); anything else is ignored;
//   memo: a non-empty cell is appended with its line breaks as CR LF and
//     ends with CR LF;
//   flags: 10 when the cell is "true" in any letter case, else 0;
//   CsvItemNone and anything else: nothing.
void storeCsvCell(Card &card, int item, QStringView cell);

// Parses CSV text into book (made a new, empty book first): the first
// record with cells is the header; mapper chooses the mapping; every further
// record with cells becomes a card, numbered with the card counter, created
// and updated at importTime (unless its cells say otherwise). The header
// and preview cells handed to mapper are cut to their first 4096
// characters (they only name and show the columns).
// Cards are numbered 1 .. MaxCardCounter - 1; the records after those are
// left out and the user is told, through prompter, how many cards were read
// and how many left out.
// Returns 0, or -1 when
//   - mapper cancelled (nothing shown),
//   - progress (called once per record) asked to stop; book keeps the cards
//     read so far, for the caller to drop.
// The cards' groups are not registered in the group list here.
int parseCsvText(QStringView text, AddressBook &book, const CsvMapper &mapper,
                 Prompter &prompter, DateValue importTime, const Progress &progress = {});

// Reads a CSV file into book (made a fresh book first) and registers every
// group the cards use in the group list. An empty or unreadable file is
// refused with "ファイルが読めません", a file that cannot be opened with
// "ファイルが使用中です". Returns 0, or -1 (failure, cancel, stop).
int CsvFileRead(const QString &path, AddressBook &book, Prompter &prompter,
                const CsvMapper &mapper, const Progress &progress = {});

// ---- Writing ---------------------------------------------------------------

// The choices of the export dialog; the defaults are what it opens with.
struct CsvExportOptions {
    std::array<bool, CsvCardItemCount> items; // write item i (CsvItem order)
    bool splitColumns = false; // one column per value of a multi-valued item
    bool addDomain = false;    // append the service's mail domain to IDs without "@"

    CsvExportOptions() { items.fill(true); }
    bool operator==(const CsvExportOptions &) const = default;
};

// The header label of item i (0 .. 18): "ID", "名前" ... "更新日時".
QString csvItemLabel(int item);
// True for the items with several values (IDs, names, groups, memo lines,
// profile, mail log, exchange and remark records).
bool csvItemIsMulti(int item);


// The sample shown beside the add-domain option: "(" + a member ID + " → "
// + the same ID + the domain suffix + ")".
QString csvDomainSample(QStringView niftyDomain);

// The whole CSV text of the book's cards (ordered by first ID under text
// comparison; cards with equal first IDs keep their book order). progress
// is called whenever the text builder flushes (done = cards written, total =
// cards); when it returns false the text is abandoned: the result is "" and
// *cancelled (when given) is set. A record without any cell is an empty line.
QString csvFileText(const AddressBook &book, const CsvExportOptions &options,
                    QStringView niftyDomain, const Progress &progress = {},
                    bool *cancelled = nullptr);

// Asks the user for the export options (the GUI shows fomCsvPut); false
// cancels the export.
using CsvExportAsker = std::function<bool(CsvExportOptions &options)>;

// Asks for the options, builds the text and writes it to path (checked by
// the caller with WritePathCheck), replacing an old file only by a complete
// new one (trashOld: the old one goes to the trash). Returns 0, or -1 when
// the user cancelled (no message), the build was stopped through progress,
// or the write failed (the user was told).
int CsvFileWrite(const QString &path, const AddressBook &book, Prompter &prompter,
                 const CsvExportAsker &ask, const QString &niftyDomain,
                 const Progress &progress = {}, bool trashOld = false);
