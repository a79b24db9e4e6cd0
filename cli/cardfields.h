#pragma once
// Cards as the commands that print them show them to scripts: dates in ISO
// form, fields under fixed names in JSON and in "name: value" lines.

#include <QJsonObject>
#include <QString>

#include "core/model.h"

// The output formats of list and show.
enum class PrintFormat { Text, Tsv, Json };
// "text", "tsv", "json" -> format; false for any other name.
bool printFormatNamed(const QString &name, PrintFormat &format);

// "yyyy-MM-dd", or "" for NoDate and dates that have no calendar day.
QString isoDate(DateValue value);
// "yyyy-MM-ddTHH:mm:ss" (the wall-clock time, no zone), or "".
QString isoDateTime(DateValue value);

// The fields a list row carries: card number, the name and ID its line
// shows, every name and ID, telephone, mobile, birthday, groups, status
// code and message. Dates that are not set are null.
QJsonObject listRowJson(const Card &card, const QString &name, const QString &id);
// Every field of a card.
QJsonObject cardJson(const Card &card);
// Every field of a card as "name: value" lines, a line per value of a
// field of several values (and per line of the memo); fields without a
// value are left out, number, status and message are always there.
QString cardText(const Card &card);
