#pragma once
// Reading and writing a whole address book by file name for the commands.
// Only the address book file kind is known so far; the choice of a reader or
// writer by file kind belongs here, so the commands stay as they are when
// more kinds arrive.

#include <QString>

#include "core/model.h"

class Prompter;

// 0 / -1; the failure has been reported through prompter.
int readBookFile(const QString &path, AddressBook &book, Prompter &prompter);
int writeBookFile(const QString &path, const AddressBook &book, Prompter &prompter);

// Reads a book and prepares it as the main window does after loading an
// address book: repairs duplicate card numbers (reporting how many through
// prompter) and stores every card's validation status (default limits).
// 0 / -1.
int readCheckedBook(const QString &path, AddressBook &book, Prompter &prompter);

// Writes text to stdout in UTF-8 with LF line ends (reports use CR LF).
void printText(const QString &text);
