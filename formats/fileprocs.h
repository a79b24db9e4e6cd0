#pragma once
// File procedures shared by every interchange format (list text, CSV, vCard,
// Eudora) and by the report window: the output path check, the date texts,
// safe file names, the text builder, and the whole-file read and write with
// their messages.

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <functional>

#include "common/progress.h"
#include "common/prompter.h"
#include "common/textencoding.h"
#include "core/model.h"

// Decides whether path may be written, telling the user why not. First
// match wins:
//   the folder part does not exist          -> "パスが見つかりません。", false
//   nothing exists at path                  -> true
//   path is a folder                        -> "[path]はディレクトリです。", false
//   path is not a regular file (a device,
//   FIFO, socket, or links that loop)       -> "[path]は通常のファイルではありません。", false
//   path is read-only                       -> "[path]は読取専用ファイルです。", false
//   path is hidden (name starts with ".")   -> "[path]は隠しファイルです。", false
//   overwriteSilently                       -> true
//   otherwise asks "[path]は既に存在します。上書きしますか？" (Yes/No, No
//   preselected); true unless the answer is No.
// A symbolic link is judged by what it points at (the save writes there)
// and named as given. A file counts as read-only when we may not write it;
// when running as the superuser (who may write anything) a file without any
// write permission bit counts as read-only, so such files are still
// protected.
bool WritePathCheck(const QString &path, bool overwriteSilently, Prompter &prompter);
// The steps of WritePathCheck that protect an existing file at path from
// being replaced (something that is not a regular file, a read-only file),
// with the same messages, for callers that never ask before replacing a
// file (the command line). A folder passes: the writers refuse it with
// their own message. True when nothing there is in the way.
bool ReplacePathCheck(const QString &path, Prompter &prompter);

// "yyyy/mm/dd", or "" for NoDate and any value that has no such text.
QString DateText(DateValue value);
// "yyyy/mm/dd hh:mm:ss" (24-hour), or "" as DateText.
QString DateTimeText(DateValue value);

// Reads "yyyy/mm/dd" or "yyyy/mm/dd hh:mm[:ss]", the month, day and time
// fields with one or two digits, surrounded by optional spaces. Returns
// false (value untouched) for anything else, for impossible dates and for
// dates outside 0100-01-01 .. 9999-12-31.
bool parseDateText(QStringView text, DateValue &value);

// A file name made from text: control characters (0-31), the double quote
// and \ / : * ? < > | become "."; leading and trailing spaces are removed;
// the result is cut to at most 251 bytes in CP932 without splitting a
// two-byte character, and trailing spaces are removed again.
QString SafeFileName(QStringView text);

// Builds long texts for the exporters. Appending is cheap at any size; the
// accumulator tracks the two flush levels of the exporters (a small buffer
// that moves on after 10000 characters, a middle one after 200000) so that
// an exporter knows when to report progress: append returns true each time
// the small buffer passed SmallLimit characters, and the exporter then calls
// its Progress and stops when that returns false.
class TextAccumulator
{
public:
    static constexpr qsizetype SmallLimit = 10000;
    static constexpr qsizetype MiddleLimit = 200000;

    explicit TextAccumulator(qsizetype expectedSize = 0);

    // Returns true when this append flushed the small buffer.
    bool append(QStringView text);
    bool append(const QString &text) { return append(QStringView(text)); }

    // Number of small-buffer flushes so far.
    qint64 flushes() const { return m_flushes; }
    qsizetype size() const { return m_text.size(); }

    // The whole text (large + middle + small); the accumulator is emptied.
    QString take();

private:
    QString m_text;
    qsizetype m_small = 0;  // characters in the small buffer
    qsizetype m_middle = 0; // characters in the middle buffer
    qint64 m_flushes = 0;
};

// Writes text to path in CP932, replacing any file there. The new file is
// written beside the old one and renamed over it only when it is complete,
// so a failed or cancelled write leaves the old file as it was.
//   - An existing file we may not replace (read-only, not a regular file):
//     "書き込みに失敗しました。[path]は使用中です。", -1.
//   - The folder does not exist, or may not be written: the message of
//     saveRefusedMessage (safesave.h) naming the cause and path, -1.
//   - Other failures: "[path]の書き込みに失敗しました。", -1.
//   - progress is called while the bytes are written; false cancels the
//     write without a message, -1. A writer that built the text with the
//     same callback hands over the rest of its scale (progressPart).
//   - trashOld: the old file is moved to the trash just before the new one
//     takes its place (failures to trash are ignored; the old file is then
//     simply replaced).
//   - replaced: when given, the number of characters written as "?" (no
//     CP932 form) is added to it; the caller tells the user.
// Returns 0 on success.
int writeTextFileSafely(const QString &path, const QString &text, Prompter &prompter,
                        const Progress &progress = {}, bool trashOld = false,
                        qsizetype *replaced = nullptr);
// The same for a text encoded already (UTF-8 files): its bytes are written
// as they are, with the same steps and messages.
int writeBytesFileSafely(const QString &path, QByteArrayView bytes, Prompter &prompter,
                         const Progress &progress = {}, bool trashOld = false);

// After a format wrote the book's text and the encoder replaced `replaced`
// characters (0: nothing happens): finds the cards whose text held them,
// replacedIn(index) counting them in the text written for cards[index] (0
// the system card, the group list), and tells the user with a loss notice
// (CharacterLoss). Runs only when something was replaced.
void reportReplacedCharacters(const AddressBook &book, qsizetype replaced,
                              const std::function<qsizetype(qsizetype index)> &replacedIn,
                              Prompter &prompter);
// How much of a text writer's progress scale building the text takes (with
// progressPart); saving it with writeTextFileSafely takes the rest.
inline constexpr int TextBuildPercent = 90;

// How readTextFileForImport decodes a file, and what it met.
struct ImportDecoding
{
    // In: the file's encoding; Auto tells it from the bytes. Out: the
    // encoding the text was decoded as.
    TextEncoding encoding = TextEncoding::Cp932;
    // Out: bytes (sequences) not valid in that encoding, each read as U+FFFD.
    qsizetype replaced = 0;
    // In: keep the file's bytes in `bytes`, to decode them again as another
    // encoding (decodeText).
    bool keepBytes = false;
    QByteArray bytes;
    // In, with keepBytes: a CP932 or UTF-8 file is left undecoded (text
    // stays empty, replaced 0) for a reader that decodes the bytes piece by
    // piece as it goes; a UTF-16 file is decoded as usual. Out: whether the
    // file was left undecoded.
    bool decodeLater = false;
};

// Reads a whole text file into text, in CP932 unless decoding says
// otherwise (see ImportDecoding).
//   - The file's length cannot be taken (missing, not a regular file: a
//     folder, FIFO or device), or refuseEmpty and the file is empty:
//     "ファイルが読めません", -1.
//   - The file cannot be opened or read: "ファイルが使用中です", -1.
//   - Longer than MaxBookFileSize: refused before reading with
//     fileTooLargeMessage(), -1; no memory for it: outOfMemoryMessage(), -1.
// Returns 0 on success.
int readTextFileForImport(const QString &path, QString &text, Prompter &prompter,
                          bool refuseEmpty = false, ImportDecoding *decoding = nullptr);
// The same checks and messages, giving the file's bytes undecoded (for the
// readers that decide the text encoding themselves).
int readFileForImport(const QString &path, QByteArray &bytes, Prompter &prompter,
                      bool refuseEmpty = false);

// What is appended to a bare service ID to make it a mail address: the
// domain setting with a leading "@" (added when the setting lacks it; an
// empty setting appends nothing).
QString mailDomainSuffix(QStringView niftyDomain);

// An ID as a mail address: unchanged when it has an "@", otherwise the ID at
// the service's mail domain (the setting may be given with or without "@").
QString serviceMailAddress(const QString &id, QStringView niftyDomain);

// An import reads at most MaxCardCounter - 1 cards into a new book: the
// text that tells how many of the file's total cards were read and how many
// were left out.
QString cardsLeftOutMessage(int total, int read);
// Tells the user, as a loss, that an import read `read` cards and left
// `leftOut` more out at the card limit (nothing when leftOut is 0).
void reportDroppedCards(int read, int leftOut, Prompter &prompter);
