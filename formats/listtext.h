#pragma once
// The list text format: a labelled, human-readable dump of a whole address
// book, one "label：value" line per item (CP932, CR LF), which can be read
// back.
//
//   ============================================================2024/05/01 10:00:00
//   カウンタ：12
//   登録数：2
//   グループ1：友人
//   [000007]------------------------------------------------------------
//   ID1：taro@example.com
//   名前1：山田太郎
//   ...
//
// Values are written unchanged, without quoting; a value holding a line
// break therefore continues on the next line and does not survive a round
// trip. Reading renumbers the cards from 1 in file order.

#include <QDateTime>
#include <QString>
#include <QStringView>

#include "common/progress.h"
#include "common/prompter.h"
#include "core/model.h"

struct ImportReport;

// The text of the whole book, "now" giving the title line's time stamp.
// progress is called at each flush of the text builder (done = cards
// written, total = cards); when it returns false the text is abandoned:
// the result is "" and *cancelled (when given) is set.
QString listFileText(const AddressBook &book, const QDateTime &now, const Progress &progress = {},
                     bool *cancelled = nullptr);

// Writes the book as list text to path (the path was checked by the caller
// with WritePathCheck). An old file is replaced only by a complete new one;
// trashOld moves it to the trash first. Returns 0, or -1 when the write
// failed (the user was told) or was cancelled through progress.
int ListFileWrite(const QString &path, const AddressBook &book, Prompter &prompter,
                  const Progress &progress = {}, bool trashOld = false);

// Parses list text into book, which is first made a new, empty book. Never
// fails on content: lines and keys it does not know are skipped. progress
// is called at each card header (done = characters read, total = text
// length); when it returns false parsing stops, keeping the cards completed
// before the one in progress, and the result is false. Otherwise true.
// The group list gets the "グループ" lines before the first card only; the
// cards' own groups are not registered here.
// Cards are numbered 1 .. MaxCardCounter - 1; the cards after those are
// skipped, lines and all, and *leftOut (when given) receives their number.
// report (when given) receives the cards made and left out, and the lines
// that could not be read: keys the format does not have, dates that are
// none, text without a key (after the title line), and a last line without
// its CR LF.
bool parseListText(QStringView text, AddressBook &book, const Progress &progress = {},
                   int *leftOut = nullptr, ImportReport *report = nullptr);

// Reads a list text file into book (made a fresh book first) and registers
// every group the cards use in the group list. Returns 0, or -1 when the
// file could not be read (the user was told) or the read was cancelled
// through progress (book then holds what was read, for the caller to drop).
// Cards beyond the card counter's limit are left out. After a read the user
// is told, in one message (ImportReport), what was left out or could not be
// read, bytes that are no CP932 included; a clean read says nothing.
int ListFileRead(const QString &path, AddressBook &book, Prompter &prompter,
                 const Progress &progress = {});
