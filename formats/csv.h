#pragma once
// CSV files: reading with a column mapping, and writing in the program's own
// layout (header record, then one record per card).
//
// Syntax, both ways: cells are separated by ","; a cell may be enclosed in
// double quotes, inside which commas and line ends belong to the cell and a
// double quote is doubled. Within a cell, LF separates the values of a
// multi-valued item. The program writes CP932 text whose records end with
// CR LF. In a file that holds a CR LF anywhere, a record ends at CR (CR LF
// counts as one line end) and a lone LF is an ordinary character of its
// cell; in a file without any CR LF (as other programs write them), LF and
// CR each end a record.
//
// Reading takes CP932, UTF-8 and UTF-16 text (common/textencoding), and
// never rejects malformed text: an unterminated quote swallows the rest of
// the file into its cell, and quotes inside an unquoted cell stay.

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <functional>

#include "common/progress.h"
#include "common/prompter.h"
#include "common/textencoding.h"
#include "core/model.h"
#include "formats/csvmapping.h"

struct ImportReport;

// ---- Syntax ----------------------------------------------------------------

// Where records end.
enum class CsvLineEnds {
    // At CR; CR LF counts as one line end; a lone LF is cell text. The
    // program's own files, and any file holding a CR LF.
    CrLf,
    // At LF and at CR: files without any CR LF.
    Bare,
};
// CrLf when text holds a CR LF anywhere, Bare otherwise.
CsvLineEnds csvLineEndsOf(QStringView text);

// Reads the record starting at pos into cells (resized to the record's cell
// count, which is also returned) and moves pos past the record's line end.
// Every cell is unquoted with csvUnquote. An empty line gives 0 cells; a
// line ending in "," gives an empty last cell.
qsizetype csvRecordRead(QStringList &cells, QStringView text, qsizetype &pos,
                        CsvLineEnds ends = CsvLineEnds::CrLf);

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

// What the mapping is chosen from: the header cells, the first data records
// (at most CsvPreviewRecords) and the encoding they were decoded as. A read
// of a file can decode it again as another encoding: reread returns the
// sample anew (header, preview, encoding, and a reread of its own); it is
// empty when the text came without a file.
struct CsvSample
{
    QStringList header;
    // The header cells as the column recognition reads them (csvHeaderKeys):
    // the automatic mapping and the read after it take them from here.
    CsvHeaderKeys keys;
    QList<QStringList> preview;
    TextEncoding encoding = TextEncoding::Cp932;
    std::function<CsvSample(TextEncoding)> reread;
};

// Chooses the mapping for a file: fills mapping (one item per header cell)
// and returns true, or returns false to cancel the read. It may take the
// sample of another encoding (sample = sample.reread(e)); the file is then
// read as sample.encoding. The GUI shows the mapping dialog; the command
// line uses autoCsvMapper.
using CsvMapper = std::function<bool(CsvSample &sample, CsvMapping &mapping)>;

// The automatic mapping (autoCsvSelect), never cancels.
bool autoCsvMapper(CsvSample &sample, CsvMapping &mapping);

// The header cells that mapping leaves unused (columns that only hold the
// type of a Google phone value are read, not unused), in file order, each
// name once and cut to 41 characters (the import report shows 40 and marks
// the cut). Columns without a header are left out here: a read names them
// by number, "(N列目)", when one of their cells holds text (some programs
// end every line with a comma).
QStringList unmappedCsvColumns(const QStringList &header, const CsvMapping &mapping);
// The same, with the columns' roles already worked out (csvColumnRoles).
QStringList unmappedCsvColumns(const QStringList &header, const CsvMapping &mapping,
                               const QList<CsvColumnRole> &roles);

// A date cell as read: nothing, a date, a month and day without a year, or
// text that is no date.
struct CsvDate
{
    enum Kind { Empty, Date, MonthDay, Unreadable };
    Kind kind = Empty;
    DateValue value = NoDate; // Date
    int month = 0, day = 0;   // MonthDay
};
// Reads a date cell. Dates: "yyyy/m/d", "yyyy-mm-dd", "yyyymmdd",
// "yyyy年m月d日", and with monthFirst (English headers) "m/d/yyyy"; each but
// "yyyymmdd" may carry a time "h:mm[:ss]" after spaces (or "T" after
// "yyyy-mm-dd"). Month and day: "--mm-dd", "--mmdd", "m月d日". Full-width
// digits count as digits. Empty: spaces only, or only zeros ("0/0/00",
// Outlook's empty date).
CsvDate parseCsvDate(QStringView cell, bool monthFirst = false);

// Stores one cell into card as the item says:
//   lists (ID, 名前, グループ, プロフィール, 送受信簿, 交流記録, 発言記録): the
//     cell split at LF, each piece appended (a piece after the last LF only
//     when not empty; an empty cell adds nothing);
//   text items: LFs become spaces, spaces around are trimmed; a non-empty
//     result sets the field, or is appended after a space when the field
//     already has text;
//   dates: a date of parseCsvDate replaces the date (the birthday keeps the
//     date only); a month and day without a year add the memo line
//     "誕生日：m月d日" (birthday only); anything else is ignored;
//   memo: a non-empty cell is appended with its line breaks as CR LF and
//     ends with CR LF;
//   flags: 10 when the cell is "true" in any letter case, else 0;
//   CsvItemNone, the parts (姓 ... 誕生日(日), which take the whole record)
//     and anything else: nothing.
void storeCsvCell(Card &card, int item, QStringView cell);

// Parses CSV text into book (made a new, empty book first): the first
// record with cells is the header; mapper chooses the mapping; every further
// record with cells becomes a card, numbered with the card counter, created
// and updated at importTime (unless its cells say otherwise). The header
// and preview cells handed to mapper are cut to their first 4096
// characters (they only name and show the columns).
// A record's cells are stored by storeCsvCell, and beyond it:
//   - 姓 and 名 join into one name, family name first with one space
//     between ("山田 太郎"); it is the first name when the record has none,
//     else a further one unless the card has it already;
//   - 誕生年, 誕生月, 誕生日(日) together set the birthday (month and day
//     alone add the memo line "誕生日：m月d日");
//   - address parts of other programs join in the order of a Japanese
//     address (CsvColumnRole), after the ordinary 住所 columns;
//   - a Google phone value goes where its type cell says; several values in
//     one cell (" ::: ", Outlook's ";" between categories) are stored one by
//     one.
// Cards are numbered 1 .. MaxCardCounter - 1; the records after those are
// left out. When report is given it receives the cards made and left out,
// the cells that could not be read (dates that are none, non-empty cells
// beyond the header) and the unmapped columns; nothing is told here.
// Returns 0, or -1 when
//   - mapper cancelled,
//   - progress (called once per record) asked to stop; book keeps the cards
//     read so far, for the caller to drop.
// The cards' groups are not registered in the group list here.
int parseCsvText(QStringView text, AddressBook &book, const CsvMapper &mapper,
                 DateValue importTime, const Progress &progress = {},
                 ImportReport *report = nullptr);

// Reads a CSV file into book (made a fresh book first) and registers every
// group the cards use in the group list. The file is decoded as encoding;
// Auto tells it from the bytes (detectTextEncoding), and the mapper may
// choose another. An empty or unreadable file is refused with
// "ファイルが読めません", a file that cannot be opened with
// "ファイルが使用中です". After a read the user is told, in one message
// (ImportReport), how many cards were made, what was left out or could not
// be read (bytes not valid in the encoding among them) and which columns
// were not used. Returns 0, or -1 (failure, cancel, stop).
int CsvFileRead(const QString &path, AddressBook &book, Prompter &prompter,
                const CsvMapper &mapper, const Progress &progress = {},
                TextEncoding encoding = TextEncoding::Auto);

// ---- Writing ---------------------------------------------------------------

// The choices of the export dialog; the defaults are what it opens with.
struct CsvExportOptions {
    std::array<bool, CsvCardItemCount> items; // write item i (CsvItem order)
    bool splitColumns = false; // one column per value of a multi-valued item
    bool addDomain = false;    // append the service's mail domain to IDs without "@"

    CsvExportOptions() { items.fill(true); }
    bool operator==(const CsvExportOptions &) const = default;
};

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
