#include "shell/host.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

#include "common/boundedread.h"
#include "common/cp932.h"
#include "common/paths.h"
#include "common/prompter.h"
#include "shell/settings.h"
#include "shell/winehost.h"

namespace {

// global.dat layout.
constexpr qsizetype HeaderSize = 1034;
constexpr qsizetype UserRecordSize = 265;

// A length byte at offset, then a text field of fieldSize bytes.
QString fieldText(QByteArrayView bytes, qsizetype offset, qsizetype fieldSize)
{
    const qsizetype length = std::min<qsizetype>(quint8(bytes[offset]), fieldSize);
    return cp932::decode(bytes.sliced(offset + 1, length));
}

// The last component of a command's first argument, split at "/" and "\".
QString executableName(QByteArrayView arg)
{
    const qsizetype slash = std::max(arg.lastIndexOf('/'), arg.lastIndexOf('\\'));
    return QString::fromLocal8Bit(arg.sliced(slash + 1));
}

// A registry command line may quote the program and add arguments.
QString programPathOf(const QString &command)
{
    const QString c = command.trimmed();
    if (c.startsWith(u'"')) {
        const qsizetype close = c.indexOf(u'"', 1);
        return close < 0 ? c.mid(1) : c.mid(1, close - 1);
    }
    return c;
}

// The local path of the file a classes-root key's default value names.
QString registeredFile(const WineHost &host, const QString &key)
{
    const QString value = programPathOf(host.classesRootValue(key));
    if (value.isEmpty())
        return QString();
    const QString local = host.localPath(value, QString());
    return QFileInfo(local).isFile() ? local : QString();
}

} // namespace

ProcessHostProbe::ProcessHostProbe(QString programName, QString procRoot)
    : m_programName(std::move(programName)), m_procRoot(std::move(procRoot))
{
}

ProcessHostProbe ProcessHostProbe::forHost(const WineHost &host)
{
    return ProcessHostProbe(corvidProgramName(host));
}

bool ProcessHostProbe::clientRunning() const
{
    const QDir proc(m_procRoot);
    const QStringList entries = proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &pid : entries) {
        if (pid.isEmpty() || !pid[0].isDigit())
            continue;
        QFile f(proc.filePath(pid) + QStringLiteral("/cmdline"));
        if (!f.open(QIODevice::ReadOnly))
            continue; // the process has gone
        const QByteArray cmdline = f.read(4096);
        const QList<QByteArray> args = cmdline.split('\0');
        if (args.isEmpty())
            continue;
        QString name = executableName(args[0]);
        if (name.startsWith(QStringLiteral("wine"), Qt::CaseInsensitive) && args.size() > 1)
            if (executableName(args[1]).compare(m_programName, Qt::CaseInsensitive) == 0)
                return true;
        if (name.compare(m_programName, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

int readGlobalDat(const QString &corvidFolder, HostGlobalInfo &info, const WineHost &host)
{
    info = HostGlobalInfo();
    // The header and at most 255 user records; only from a regular file, so
    // that a FIFO or device in its place cannot hold up the start.
    QByteArray bytes;
    if (readRegularFileHead(QDir(corvidFolder).filePath(QStringLiteral("global.dat")),
                            HeaderSize + UserRecordSize * 255, bytes)
        != ReadFault::None)
        return -1;
    return parseGlobalDat(bytes, corvidFolder, info, host);
}

int parseGlobalDat(QByteArrayView bytes, const QString &corvidFolder, HostGlobalInfo &info,
                   const WineHost &host)
{
    info = HostGlobalInfo();
    if (bytes.size() < HeaderSize || bytes[0] != 2)
        return -1;

    info.globalLogFolder = host.localPath(fieldText(bytes, 2, 255), corvidFolder);
    info.text2 = fieldText(bytes, 258, 512);
    info.text3 = fieldText(bytes, 778, 253);
    const int userCount = quint8(bytes[771]);
    for (int i = 0; i < userCount; ++i) {
        const qsizetype at = HeaderSize + UserRecordSize * i;
        if (at + UserRecordSize > bytes.size())
            break;
        HostUser user;
        user.userId = fieldText(bytes, at, 8);
        user.homeFolder = host.localPath(fieldText(bytes, at + 9, 254), corvidFolder);
        info.users.append(user);
    }
    return 0;
}

QString findCorvidProgram(const WineHost &host)
{
    const QString clsid = host.classesRootValue(QStringLiteral("Corvid.Application\\Clsid"));
    if (clsid.isEmpty())
        return QString();
    return registeredFile(host, QStringLiteral("CLSID\\") + clsid
                                    + QStringLiteral("\\LocalServer32"));
}

QString findCorvidFolder(const WineHost &host)
{
    const QString program = findCorvidProgram(host);
    return program.isEmpty() ? QString() : folderOf(program);
}

QString corvidProgramName(const WineHost &host)
{
    const QString program = findCorvidProgram(host);
    return program.isEmpty() ? QString::fromUtf16(DefaultCorvidProgramName)
                             : QFileInfo(program).fileName();
}

QString findEudoraFolder(const WineHost &host, const QString &fallback)
{
    const QString icon = registeredFile(host, QStringLiteral("Eudora\\DefaultIcon"));
    return icon.isEmpty() ? fallback : folderOf(icon) + u'/';
}

QString canonicalFolder(const QString &folder)
{
    QString c = canonicalPath(folder, PathKind::Folder);
    if (!c.isEmpty() && !c.endsWith(u'/'))
        c += u'/';
    return c;
}

void discoverHostFolders(Settings &settings, const WineHost &host)
{
    const QString corvid = findCorvidFolder(host);
    if (corvid.isEmpty())
        return;
    HostGlobalInfo info;
    if (readGlobalDat(corvid, info, host) != 0)
        return;
    settings.globalLogFolder = canonicalFolder(info.globalLogFolder);
    settings.homeFolder = info.users.isEmpty() ? QString()
                                               : canonicalFolder(info.users.first().homeFolder);
    const QString &home = settings.homeFolder;
    if (home.isEmpty())
        return;
    settings.lastFileName = {home + QStringLiteral("Address.ndb"), home, home, home,
                             findEudoraFolder(host, home) + QStringLiteral("NNdbase.txt")};
}

namespace {

// The path with every symbolic link followed, the last component included,
// even where a link points at something that does not exist (yet).
QString resolvedPath(const QString &path)
{
    QString p = QFileInfo(path).absoluteFilePath();
    for (int hops = 0; hops < 40; ++hops) {
        const QFileInfo info(p);
        if (info.exists())
            return info.canonicalFilePath();
        if (!info.isSymLink()) {
            const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
            return folder.isEmpty() ? p : QDir(folder).filePath(info.fileName());
        }
        p = info.symLinkTarget();
    }
    return p;
}

// The name test alone: "address.nd?" inside the home folder (as on disk),
// or anywhere when the home folder is unknown.
bool hasLiveBookName(const QString &path, const QString &home)
{
    const QFileInfo file(path);
    if (!home.isEmpty()) {
        const QString folder = canonicalFolder(file.absolutePath());
        if (!folder.startsWith(home))
            return false;
    }
    // "address.nd" and exactly one more character.
    const QString name = file.fileName().toLower();
    static const QString stem = QStringLiteral("address.nd");
    if (!name.startsWith(stem))
        return false;
    const QStringView last = QStringView(name).sliced(stem.size());
    return last.size() == 1 || (last.size() == 2 && last[0].isHighSurrogate());
}

bool namesLiveBook(const QString &path, const QString &home)
{
    return hasLiveBookName(path, home) || hasLiveBookName(resolvedPath(path), home);
}

// Whether the file at path is one of the live book's files under another
// name or folder: a hard link, or the same file seen through a bind mount.
// The home folder's tree is searched for "address.nd?" files, within a
// bound so that a home folder with a huge tree cannot stall every open.
bool isSameFileAsLiveBook(const QString &path, const QString &home)
{
    if (home.isEmpty())
        return false;
    struct stat target;
    if (::stat(QFile::encodeName(path).constData(), &target) != 0)
        return false;
    constexpr int MaxEntries = 100000;
    int seen = 0;
    QDirIterator it(home, {QStringLiteral("address.nd?")},
                    QDir::Files | QDir::Hidden | QDir::System | QDir::AllDirs
                        | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext() && ++seen <= MaxEntries) {
        it.next();
        struct stat st;
        if (::stat(QFile::encodeName(it.filePath()).constData(), &st) == 0
            && !S_ISDIR(st.st_mode) && st.st_dev == target.st_dev && st.st_ino == target.st_ino)
            return true;
    }
    return false;
}

} // namespace

bool isLiveAddressBookPath(const QString &path, const QString &homeFolder)
{
    const QString home = canonicalFolder(homeFolder);
    return namesLiveBook(path, home) || isSameFileAsLiveBook(path, home);
}

bool guardLiveAddressBook(const QString &path, const QString &homeFolder, const HostProbe &probe,
                          Prompter &prompter)
{
    const QString home = canonicalFolder(homeFolder);
    // The cheap tests by name first; the search for the same file only for
    // an existing file and only while Corvid runs.
    if (namesLiveBook(path, home)) {
        if (!probe.clientRunning())
            return false;
    } else if (home.isEmpty() || !QFileInfo::exists(path) || !probe.clientRunning()
               || !isSameFileAsLiveBook(path, home)) {
        return false;
    }
    prompter.notice(QStringLiteral("現在 Corvid が起動しているため、アドレス帳の読み書きはできません。") + QStringLiteral("\r\n")
                        + QStringLiteral("Corvid を終了後、再度実行して下さい。"),
                    Prompter::Icon::Warning);
    return true;
}

std::function<bool(const QString &path)> liveBookGuard(const QString &homeFolder,
                                                       const HostProbe &probe, Prompter &prompter)
{
    return [homeFolder, &probe, &prompter](const QString &path) {
        return guardLiveAddressBook(path, homeFolder, probe, prompter);
    };
}

bool warnIfClientRunning(const HostProbe &probe, Prompter &prompter)
{
    if (!probe.clientRunning())
        return false;
    prompter.notice(QStringLiteral("現在 Corvid が起動しているため、使用中のアドレス帳の読み書きはできません。"), Prompter::Icon::Warning);
    return true;
}
