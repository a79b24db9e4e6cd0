#pragma once
// A large book is a million small strings. Where the kernel offers
// transparent huge pages on request, glibc's malloc asks for them when its
// tunable glibc.malloc.hugetlb is 1; on machines where every page fault is
// dear (virtual machines) that halves the time to open a large book. glibc
// reads its tunables only when a process starts, so the window program
// starts itself once more with the tunable set; brindle-cli does so when
// it is given a large file.

#include <QByteArrayView>

// Whether to start again: the kernel's setting (the text of
// /sys/kernel/mm/transparent_hugepage/enabled) offers huge pages, nobody set
// GLIBC_TUNABLES (their choice stays), and this is not already the restart.
bool wantsLargePagesRestart(QByteArrayView thpEnabled, const char *tunables, const char *restarted);

// Called first thing in main: starts the program again with the tunable
// set when wantsLargePagesRestart says so (returns only when it does not, or
// when the new start fails), and in the restarted program takes both
// variables out of the environment again, so that programs started from it
// run as they would have.
void restartWithLargePages(char **argv);

// Whether one of the arguments after the program's name is a regular file
// of at least bytes (what makes the restart worth its time in brindle-cli).
bool namesLargeFile(int argc, char **argv, qint64 bytes);

// Asks the kernel for huge pages under a large buffer that is about to be
// filled (the whole 2 MiB pages inside it; nothing for a small one). Every
// 4 KiB page touched for the first time is a fault, and a file of 40 MB read
// into fresh memory is ten thousand of them. Only advice: it changes nothing
// where the kernel offers no huge pages.
void adviseLargePages(void *data, qsizetype bytes);
