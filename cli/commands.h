#pragma once
// The commands of brindle-cli. Each takes its arguments (without the command
// name) and returns the exit status: 0 success, 1 failure. Failures have been
// reported on stderr through the prompter.

#include <QStringList>

class Prompter;

int runNew(const QStringList &args, Prompter &prompter);
int runConvert(const QStringList &args, Prompter &prompter);
int runInfo(const QStringList &args, Prompter &prompter);
// Exit status 0 when every card is normal, 2 when some card is not, 1 when
// the file cannot be read.
int runCheck(const QStringList &args, Prompter &prompter);

// Exit status of compare when the books differ.
inline constexpr int CompareDifferences = 3;
int runCompare(const QStringList &args, Prompter &prompter);
