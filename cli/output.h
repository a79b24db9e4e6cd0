#pragma once
// What brindle-cli writes for the user: results on stdout, messages on
// stderr. Every result goes through writeStdout, and finishStdout at the end
// tells whether all of it arrived, so that a command whose output was lost
// (a full disk, a closed pipe) does not report success.

#include <QByteArrayView>
#include <QString>

namespace console {

// Writes bytes to stdout, after erasing the progress line.
void writeStdout(QByteArrayView bytes);
// Flushes and closes stdout. False, after saying so on stderr, when
// something written there was lost.
bool finishStdout();

// A message as brindle-cli prints it: "brindle-cli: FILE: text" for a
// message about a file, "brindle-cli: text" otherwise; each line of a text
// of several lines starts so.
QString messageLine(const QString &file, const QString &text);
// Prints messageLine(file, text) on stderr, after erasing the progress line.
void printMessage(const QString &file, const QString &text);

} // namespace console
