#pragma once
// vCard files: every BEGIN:VCARD ... END:VCARD object becomes a card, and
// a book is written as one vCard 2.1 object per card.
//
// Reading understands what other programs write, vCard 2.1 as well as 3.0
// and 4.0: folded lines, quoted-printable values with soft line breaks,
// parameters with or without TYPE= / ENCODING=, TYPE lists and quoted
// parameter values, grouped names (item1.EMAIL), several N, FN, TEL and
// EMAIL properties, cards nested inside cards. What has no card field (ORG,
// TITLE, URL, X-...) can be kept, as raw lines, at the end of the card's
// memo; binary values (photos, sounds, keys) are never copied, only named.
//
// Text encoding, decided for each property: its CHARSET parameter (UTF-8,
// Shift-JIS / CP932, ISO-8859-1) when it names one; else UTF-8 in a card of
// VERSION 3.0 or 4.0; else the file's: UTF-8 when the file starts with the
// byte order mark or its bytes are valid UTF-8 with non-ASCII characters in
// them, CP932 otherwise. Quoted-printable is decoded to bytes first, then
// the encoding applies.
//
// The 2.1 rules stay as they always were for 2.1 files (every leading blank
// of a continuation line goes, no "\n" escapes, addresses in the order of
// their components from the last). vCard 3.0 and 4.0 cards unfold by
// exactly one blank, read "\n" as a line break, take tel: and mailto:
// values without their scheme, write the address in Japanese order and
// read birthdays without a year into the memo.
//
// Writing produces exactly what reading maps back to the same fields:
//   BEGIN:VCARD / VERSION:2.1 / N, FN per name / NOTE (quoted-printable) /
//   TEL lines / ADR (quoted-printable) / EMAIL per ID / BDAY / REV (UTC) /
//   END:VCARD

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include "common/progress.h"
#include "common/prompter.h"
#include "core/model.h"
#include "formats/importreport.h"

// The offset of local standard time from UTC in seconds (+32400 for a zone
// nine hours ahead of UTC), daylight saving time not applied. REV times are
// converted with it in both directions.
int localStandardUtcOffset();

// The line put in the memo above the items that have no card field.
extern const QString VcardOtherItemsHeader;

// The encoding of vCard 2.1 properties without a CHARSET parameter.
enum class VcardEncoding {
    Auto,  // decided by the file's bytes (see above)
    Cp932, // always CP932 (as the program writes its own files)
    Utf8,
};

struct VcardReadOptions
{
    // Keep the properties that have no card field at the end of the memo.
    bool lostMemoFlag = true;
    // Offset of local standard time from UTC, for REV values in UTC.
    int utcOffsetSeconds = localStandardUtcOffset();
    // The import time stamped into created and updated; NoDate: now.
    DateValue now = NoDate;
    VcardEncoding encoding = VcardEncoding::Auto;
};

struct VcardWriteOptions
{
    // The online service's mail domain ("nifty.com" or "@nifty.com"): an ID
    // without "@" is written as the address ID@domain.
    QString niftyDomain;
    // Offset of local standard time from UTC, for the REV line.
    int utcOffsetSeconds = localStandardUtcOffset();
};

// Parses a vCard file's bytes into book, which is first made a new book.
// The parse never fails; malformed properties end up as other items. Lines
// may end in CR LF, LF or CR (and CR CR LF). Nested cards follow their
// outer card and are read without recursion, so any depth of nesting is
// safe; a card left open at the end of the text keeps what was read.
// Returns the number of cards that were not added because the card counter
// was full (0 normally). The cards' groups are not registered here.
// report (when given) gets the cards made and left out, the bytes that
// were not valid in their encoding (each read as U+FFFD) and the binary
// values left out.
int parseVcardBytes(QByteArrayView bytes, AddressBook &book,
                    const VcardReadOptions &options = {}, ImportReport *report = nullptr);

// The same for text that is decoded already: values are taken as they
// stand; the bytes of quoted-printable values are read in their CHARSET,
// else UTF-8 in 3.0/4.0 cards, else CP932 (UTF-8 when options.encoding
// says so).
int parseVcardText(QStringView text, AddressBook &book, const VcardReadOptions &options = {},
                   ImportReport *report = nullptr);

// The vCard text of cards 1 .. cardCount()-1 in book order. progress is
// called at each flush of the text builder (done = cards written); when it
// returns false the text is abandoned: the result is "" and *cancelled (when
// given) is set. Quoted-printable values are encoded to CP932 here: the
// characters they write as "?" are added to *replaced (when given); the
// rest of the text is encoded when it is written.
QString vcardFileText(const AddressBook &book, const VcardWriteOptions &options,
                      const Progress &progress = {}, bool *cancelled = nullptr,
                      qsizetype *replaced = nullptr);

// The text of one card (BEGIN:VCARD .. END:VCARD, lines ending in CR LF);
// replaced as for vcardFileText.
QString vcardCardText(const Card &card, const VcardWriteOptions &options,
                      qsizetype *replaced = nullptr);

// Escapes ";", "\" and "," with a backslash.
QString vcardEscape(QStringView value);

// Reads a vCard file into book (made a new book first) by the shared read
// procedure; an empty file reads as no cards. Returns 0, or -1 when the
// file could not be read (the user was told). Cards beyond the card
// counter's limit are left out. Once the file is read the user is told, in
// one message, of cards left out and bytes that could not be decoded (a
// loss) and of binary values left out (a notice); a clean file says
// nothing.
int VcdFileRead(const QString &path, AddressBook &book, Prompter &prompter,
                const VcardReadOptions &options = {});

// Writes the book's cards as vCard to path (checked by the caller with
// WritePathCheck). An old file is replaced only by a complete new one;
// trashOld moves it to the trash first. Returns 0, or -1 when the write
// failed (the user was told) or was cancelled through progress.
int VcdFileWrite(const QString &path, const AddressBook &book, Prompter &prompter,
                 const VcardWriteOptions &options, const Progress &progress = {},
                 bool trashOld = false);

// ---- vCard 3.0 in UTF-8 -----------------------------------------------------
//
// The second way of writing a book, for today's phones and address books:
// vCard 3.0 in UTF-8, which holds every character, so that nothing is
// replaced and nothing is reported. The reader maps it back to the same
// fields. Per card, in this order (a line is left out when its field is
// empty):
//   BEGIN:VCARD / VERSION:3.0
//   N      the first name as family;given;;; split at its first half-width
//          space (else its first full-width space, else its first TAB);
//          whole as the family name when it has none; ";;;;" without names
//   FN     the first name as it is; a card without names gives its first ID
//          as EMAIL writes it (the reader does not take that for a name)
//   NICKNAME  the further names, separated by ","
//   NOTE / TEL;TYPE=VOICE, CELL, PAGER, FAX / ADR:;;address;;;postal code;
//   EMAIL;TYPE=INTERNET per ID (",PREF" on the first of several; an ID
//          without "@" gets the mail domain, as in vCard 2.1)
//   BDAY:yyyy-mm-dd / REV:yyyy-mm-ddThh:mm:ssZ (UTC) / END:VCARD
// Text values have "\", "," and ";" escaped with a backslash and their line
// breaks (CR LF, CR or LF) written as "\n". A line longer than 75 octets is
// folded: CR LF and one space go before the octet that would pass the
// limit, never inside a character's UTF-8 sequence. Lines end in CR LF.

#include <QByteArray>

// The vCard versions a book can be written in.
enum class VcardVersion {
    V21, // vCard 2.1 in CP932, the program's own format (the default)
    V30, // vCard 3.0 in UTF-8
};

// Appends the vCard 3.0 object of one card (BEGIN:VCARD .. END:VCARD) to out.
void appendVcard3Card(QByteArray &out, const Card &card, const VcardWriteOptions &options);

// The vCard 3.0 file of cards 1 .. cardCount()-1 in book order. progress is
// called each time another 16 KiB are built (done = cards written); when it
// returns false the result is empty and *cancelled (when given) is set.
QByteArray vcard3FileBytes(const AddressBook &book, const VcardWriteOptions &options,
                           const Progress &progress = {}, bool *cancelled = nullptr);

// Writes the book's cards as vCard 3.0 to path, as VcdFileWrite does (the
// caller checked the path; trashOld; a complete new file or none). Returns
// 0, or -1 when the write failed (the user was told) or was cancelled.
int Vcd3FileWrite(const QString &path, const AddressBook &book, Prompter &prompter,
                  const VcardWriteOptions &options, const Progress &progress = {},
                  bool trashOld = false);
