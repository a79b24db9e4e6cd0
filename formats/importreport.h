#pragma once
// What an import did with the file it read, told to the user in one message
// once the import is over. Every reader fills in what it met; the shared
// read procedure tells it.
//
// A loss (cards left out at the card limit, records or properties that
// could not be read, characters that had to be replaced) goes out as a loss
// notice, which brindle-cli turns into its "not everything was kept" exit
// status. Things left out that the user never asked for (binary values such
// as photos, CSV columns that map to no item) go out as a plain notice. A
// clean import says nothing.

#include <QString>
#include <QStringList>

#include "common/prompter.h"

struct ImportReport
{
    // Cards added to the book.
    qsizetype cardsMade = 0;
    // Cards of the file not added because the book was full.
    qsizetype cardsLeftOut = 0;
    // Records (CSV) or properties (vCard, list text, Eudora) that could not
    // be read into any card field and were dropped.
    qsizetype recordsSkipped = 0;
    // Bytes or characters of the file that could not be decoded and were
    // replaced (by U+FFFD or "?").
    qsizetype charactersReplaced = 0;
    // Binary values left out, one short text each, such as
    // "PHOTO (画像 12,345 Byte)".
    QStringList binaryValuesLeftOut;
    // CSV header cells mapped to nothing, in file order.
    QStringList unmappedColumns;

    // Something the user asked for was not kept.
    bool lost() const { return cardsLeftOut > 0 || recordsSkipped > 0 || charactersReplaced > 0; }
    // There is something to tell at all.
    bool worthTelling() const
    {
        return lost() || !binaryValuesLeftOut.isEmpty() || !unmappedColumns.isEmpty();
    }

    // The whole message, one line per kind of event ("" for a clean
    // import). Long lists are shortened: at most ten entries are named, and
    // each column name is cut to 40 characters.
    QString message() const;

    // Tells message(): a loss notice when lost(), else a notice with the
    // information icon when worthTelling(), else nothing.
    void tell(Prompter &prompter) const;
};
