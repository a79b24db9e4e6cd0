#include "fakehost.h"

#include <QDir>
#include <QFile>
#include <QUuid>

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

} // namespace

QString absentCorvidProgramName()
{
    return QStringLiteral("CorvidAway-%1.exe")
        .arg(QUuid::createUuid().toString(QUuid::Id128));
}

QString writeCorvidPrefix(const QString &folder, const QString &program)
{
    const QString driveC = folder + QStringLiteral("/drive_c");
    QDir().mkpath(driveC + QStringLiteral("/Corvid"));
    QDir().mkpath(folder + QStringLiteral("/dosdevices"));
    QFile::link(driveC, folder + QStringLiteral("/dosdevices/c:"));
    writeFile(driveC + QStringLiteral("/Corvid/") + program, "MZ");
    writeFile(folder + QStringLiteral("/system.reg"),
              "[Software\\\\Classes\\\\Corvid.Application\\\\Clsid] 1\n@=\"{C0}\"\n"
              "[Software\\\\Classes\\\\CLSID\\\\{C0}\\\\LocalServer32] 1\n"
              "@=\"C:\\\\Corvid\\\\" + program.toUtf8() + "\"\n");
    return folder;
}

HermeticEnvironment::HermeticEnvironment()
    : m_dir(QDir::tempPath() + QStringLiteral("/brindle-test-XXXXXX"))
{
    const QString home = m_dir.filePath(QStringLiteral("home"));
    const QString config = home + QStringLiteral("/.config");
    const QString data = home + QStringLiteral("/.local/share");
    for (const QString &folder : {config, data})
        QDir().mkpath(folder);
    const QString prefix =
        writeCorvidPrefix(home + QStringLiteral("/.wine"), absentCorvidProgramName());
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    qputenv("XDG_DATA_HOME", QFile::encodeName(data));
    qputenv("WINEPREFIX", QFile::encodeName(prefix));
}

HermeticEnvironment::~HermeticEnvironment() = default;
