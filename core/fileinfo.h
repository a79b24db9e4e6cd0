#pragma once
// The file information report: which file the open book came from, how large
// it is as an address book file, how many cards, bad cards, IDs and names it
// holds, and its oldest creation and latest update time.

#include <QDateTime>
#include <QString>

#include "core/model.h"

// The figures of the report, gathered over cards 1 .. cardCount()-1.
struct FileInfoFigures
{
    qint64 cardCount = 0;
    qint64 size = 0;       // bytes as an address book file
    qint64 broken = 0;     // cards by the severity of their stored status
    qint64 abnormal = 0;
    qint64 suspicious = 0;
    qint64 idCount = 0;
    qint64 nameCount = 0;
    DateValue oldestCreated = NoDate; // NoDate: no card has a creation date
    DateValue latestUpdated = NoDate; // NoDate: no card has an update date
};

FileInfoFigures fileInfoFigures(const AddressBook &book);

// The report text (lines end in CR LF). fileName is the book's file, "" for
// a new book; now is the time shown in the banner. Card statuses must have
// been stored (validateAll) beforehand.
QString fileInfoReport(const AddressBook &book, const QString &fileName, const QDateTime &now);

// The report's title, also its default output file name.
QString fileInfoTitle();

// "#,##0": decimal with a comma between groups of three digits.
QString withThousands(qint64 value);

// "yyyy年mm月dd日(aaa) hh時mm分ss秒", aaa the short Japanese weekday; "" for a
// value that is not a showable date.
QString japaneseDateTimeText(DateValue value);
