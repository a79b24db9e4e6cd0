#pragma once
// Texts shared by the report window.

#include <QString>

class Prompter;

// The part of a report the report window can show: at most 32768 bytes in
// Shift-JIS (never splitting a character); a longer report is cut after a
// notice. The stored report itself is never cut.
QString Under32(const QString &text, Prompter &prompter);
