#include "clirun.h"

#include <QProcess>
#include <QTemporaryDir>

#include "fakehost.h"

QProcessEnvironment cliEnvironment(const QString &configHome, const QString &winePrefix,
                                   const QString &dataHome)
{
    static QTemporaryDir empty;
    static const QString absentPrefix =
        writeCorvidPrefix(empty.filePath(QStringLiteral("prefix")), absentCorvidProgramName());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"),
               configHome.isEmpty() ? empty.filePath(QStringLiteral("config")) : configHome);
    env.insert(QStringLiteral("XDG_DATA_HOME"),
               dataHome.isEmpty() ? empty.filePath(QStringLiteral("data")) : dataHome);
    env.insert(QStringLiteral("WINEPREFIX"), winePrefix.isEmpty() ? absentPrefix : winePrefix);
    return env;
}

namespace {

CliRun finish(QProcess &p)
{
    CliRun r;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

} // namespace

CliRun runCli(const QStringList &args, const QString &configHome, const QString &winePrefix,
              const QString &dataHome)
{
    QProcess p;
    p.setProcessEnvironment(cliEnvironment(configHome, winePrefix, dataHome));
    p.start(QStringLiteral(BRINDLE_CLI), args);
    return finish(p);
}

CliRun runCliWithInput(const QStringList &args, const QByteArray &input)
{
    QProcess p;
    p.setProcessEnvironment(cliEnvironment());
    p.start(QStringLiteral(BRINDLE_CLI), args);
    p.write(input);
    p.closeWriteChannel();
    return finish(p);
}
