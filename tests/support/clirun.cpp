#include "clirun.h"

#include <QProcess>
#include <QTemporaryDir>

CliRun runCli(const QStringList &args, const QString &configHome, const QString &winePrefix,
              const QString &dataHome)
{
    static QTemporaryDir empty;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"),
               configHome.isEmpty() ? empty.filePath(QStringLiteral("config")) : configHome);
    env.insert(QStringLiteral("WINEPREFIX"),
               winePrefix.isEmpty() ? empty.filePath(QStringLiteral("prefix")) : winePrefix);
    env.insert(QStringLiteral("XDG_DATA_HOME"),
               dataHome.isEmpty() ? empty.filePath(QStringLiteral("data")) : dataHome);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(BRINDLE_CLI), args);
    CliRun r;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}
