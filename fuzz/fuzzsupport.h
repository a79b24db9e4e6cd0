#pragma once
// Shared by the fuzz targets: a prompter that answers every question with
// its default and counts what it was told, a scratch folder for the targets
// that need real folders, and the check that stops a run.

#include <QString>
#include <QTemporaryDir>

#include "common/prompter.h"

class SilentPrompter : public Prompter
{
public:
    Button ask(const Message &m) override
    {
        ++told;
        return m.defaultButton ? m.defaultButton : Ok;
    }
    bool input(const QString &, const QString &, QString &) override { return false; }
    FileAnswer openFile(const FileRequest &) override { return {}; }
    FileAnswer saveFile(const FileRequest &) override { return {}; }
    QString chooseFolder(const QString &, const QString &) override { return {}; }

    int told = 0;
};

// A folder made once per run and removed at its end; path() is its
// canonical form.
QTemporaryDir &scratchFolder();

// Stops the run with a message when a property does not hold (libFuzzer
// then saves the input as a crash).
#define FUZZ_CHECK(cond)                                                                      \
    do {                                                                                      \
        if (!(cond))                                                                          \
            fuzzCheckFailed(#cond, __FILE__, __LINE__);                                       \
    } while (false)
[[noreturn]] void fuzzCheckFailed(const char *what, const char *file, int line);
