#pragma once
// Running the built brindle-cli as a subprocess in the tests.

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// The exit status brindle-cli documents for a wrong command line (EX_USAGE).
inline constexpr int CliUsageError = 64;

struct CliRun
{
    int exitCode = -1; // -1: did not finish normally
    QByteArray out;
    QByteArray err;

    QString outText() const { return QString::fromUtf8(out); }
    QString errText() const { return QString::fromUtf8(err); }
};

// Runs brindle-cli with args. The command gets its own configuration folder,
// Wine prefix and data folder (empty ones unless given), so that the
// settings, the Corvid and the trash of the machine running the tests play
// no part.
CliRun runCli(const QStringList &args, const QString &configHome = QString(),
              const QString &winePrefix = QString(), const QString &dataHome = QString());
