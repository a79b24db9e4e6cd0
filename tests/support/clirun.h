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

// The environment brindle-cli runs in: its own configuration and data
// folders and Wine prefix, so that the settings, the trash and the Corvid of
// the machine running the tests play no part. Unless given, the
// configuration and data folders are empty and the prefix's Corvid is a
// program that is not running.
QProcessEnvironment cliEnvironment(const QString &configHome = QString(),
                                   const QString &winePrefix = QString(),
                                   const QString &dataHome = QString());

// Runs brindle-cli with args in cliEnvironment(configHome, winePrefix, dataHome).
CliRun runCli(const QStringList &args, const QString &configHome = QString(),
              const QString &winePrefix = QString(), const QString &dataHome = QString());
// Runs brindle-cli with args and input on its standard input (closed after
// it), in cliEnvironment().
CliRun runCliWithInput(const QStringList &args, const QByteArray &input);
