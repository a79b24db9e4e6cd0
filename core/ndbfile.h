#pragma once
// The address book file (Address.ndb and its .nd0 to .nd9 copies): reading
// the binary image into an AddressBook and writing one back in exactly the
// same layout.
//
// Layout, all integers little-endian, no padding:
//   header  signature (2: 35 12), cardCounter (2, signed), cardCount (4)
//   card    number (2), itemCount (4), then itemCount items
//   item    data type (1), kind (4), payload:
//             1 string  L (4) then L bytes: Shift-JIS text and a 0 byte
//             2 list    N (4) then N string payloads
//             3 date    8-byte double
//             5 byte    1 byte
//
// Every message goes through the prompter (OK button, no icon).

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

#include "common/progress.h"
#include "common/prompter.h"
#include "core/characterloss.h"
#include "core/model.h"

// Exact byte length of the book's image.
qint64 ndbFileSize(const AddressBook &book);

// The image; std::nullopt when progress returned false (cancelled).
// Characters without a CP932 form are written as "?"; when replaced is
// given, they are counted into it card by card.
std::optional<QByteArray> buildNdbImage(const AddressBook &book, const Progress &progress = {},
                                        CharacterLoss *replaced = nullptr);

// Parses an image into book. On any failure the book is left exactly as it
// was. Messages through prompter. 0 / -1. A cardCount above 65,536 (more
// cards than there are card numbers) is refused as damaged before anything
// is allocated for the cards; running out of memory is a message, not an
// exception. The cards may take at most three times the image's size and
// 48 MiB in memory (estimated as they are read); a file that would need more
// (millions of tiny texts) is refused with outOfMemoryMessage().
// Bytes after the last of the cardCount cards (a header that declares fewer
// cards than the file holds, or anything appended) are not read; their
// number goes to book.trailingBytes, for the caller to tell the user
// (trailingBytesMessage), since writing the book does not keep them.
int parseNdbImage(QByteArrayView image, AddressBook &book, Prompter &prompter,
                  const Progress &progress = {});

// The text telling the user that the file read had this many bytes after
// its last card, which the book does not keep.
QString trailingBytesMessage(qint64 bytes);

// Reads the whole file then parses. 0 / -1. Only a regular file of at most
// MaxBookFileSize bytes is read (common/boundedread.h): a missing file or
// anything else (folder, FIFO, device) is "ファイルが読めません", a file
// that cannot be opened or read "ファイルが使用中です", a longer one
// fileTooLargeMessage().
int readNdbFile(const QString &path, AddressBook &book, Prompter &prompter,
                const Progress &progress = {});

// Builds the image, then stores it safely: a temporary file in the same
// folder renamed over the target, so the old file is never destroyed before
// the new one is complete. 0 on success, -1 on any failure or cancel.
// Failures are told as saveRefusedMessage (safesave.h) words them, others as
// "path の書き込みに失敗しました。"; a cancel has no message. Once written,
// characters replaced by "?" are reported (CharacterLoss).
// trashOld: move the file being replaced to the trash, once the new content
// is complete and just before it takes the old file's place.
int writeNdbFile(const QString &path, const AddressBook &book, Prompter &prompter,
                 const Progress &progress = {}, bool trashOld = false);
