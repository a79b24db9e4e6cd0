#pragma once
// Corvid, the mail client whose address book Brindle edits: whether it runs,
// where its folders are (registry and global.dat), and the guard that keeps
// Brindle away from the live address book while Corvid runs.
//
// Corvid runs under Wine. It counts as running while a process whose
// executable name is Corvid's program file name exists.

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <functional>

class Prompter;
class WineHost;
struct Settings;

// The program file name used when the registry names none.
inline constexpr const char16_t *DefaultCorvidProgramName = u"Corvid.exe";

class HostProbe
{
public:
    virtual ~HostProbe() = default;
    virtual bool clientRunning() const = 0;
};

// Looks through procRoot/*/cmdline for a process whose executable name (the
// last component of its first argument, split at "/" and "\") equals
// programName, ignoring letter case. A process started as "wine X.exe" counts
// by its second argument.
class ProcessHostProbe : public HostProbe
{
public:
    explicit ProcessHostProbe(QString programName, QString procRoot = QStringLiteral("/proc"));
    // The probe for the Corvid that the host's registry names.
    static ProcessHostProbe forHost(const WineHost &host);

    bool clientRunning() const override;
    QString programName() const { return m_programName; }

private:
    QString m_programName;
    QString m_procRoot;
};

// What global.dat tells: the shared log folder and the users. Folders are
// local paths ("" when the Windows path has no local form).
struct HostUser
{
    QString userId;
    QString homeFolder;
};
struct HostGlobalInfo
{
    QString globalLogFolder; // text 1
    QString text2;
    QString text3;
    QList<HostUser> users;
};

// Reads folder/global.dat. Returns 0, or -1 when the file is missing,
// shorter than its 1034-byte header or not of version 2. Records beyond the
// end of the file are not read; a length byte larger than its field is cut
// to the field.
int readGlobalDat(const QString &corvidFolder, HostGlobalInfo &info, const WineHost &host);
// The same from the file's bytes; relative folders are taken from
// corvidFolder.
int parseGlobalDat(QByteArrayView bytes, const QString &corvidFolder, HostGlobalInfo &info,
                   const WineHost &host);

// The local path of Corvid's program file as the registry names it, "" when
// the registry names none or the file does not exist.
QString findCorvidProgram(const WineHost &host);
// Its folder, without a trailing "/"; "" when not found.
QString findCorvidFolder(const WineHost &host);
// Corvid's program file name: the registry's, else "Corvid.exe".
QString corvidProgramName(const WineHost &host);
// Eudora's program folder with a trailing "/", or fallback when not found.
QString findEudoraFolder(const WineHost &host, const QString &fallback);

// The canonical form of an existing folder, with a trailing "/"; "" when
// the folder does not exist.
QString canonicalFolder(const QString &folder);

// First-run discovery: Corvid's shared log folder and the first user's home
// folder from global.dat, and from the home folder the first file names per
// kind. Leaves settings alone when Corvid is not found.
void discoverHostFolders(Settings &settings, const WineHost &host);

// True when path may be Corvid's live address book: a file named
// "address.nd?" (any letter case, exactly one character after "nd") inside
// the home folder or one of its subfolders, or anywhere when the home folder
// is not set or cannot be found. The test holds for the path as given and
// for the path with every symbolic link followed (the file itself
// included), and an existing file also counts when it is the very file (same
// device and inode) of one of the "address.nd?" files under the home folder:
// hard links and bind mounts lead to the live book too.
bool isLiveAddressBookPath(const QString &path, const QString &homeFolder);

// Refuses (returns true, after telling the user) to touch the live address
// book while Corvid runs. The file system is searched for the same file
// only while Corvid runs.
bool guardLiveAddressBook(const QString &path, const QString &homeFolder, const HostProbe &probe,
                          Prompter &prompter);
// guardLiveAddressBook as a function of the path alone, for the tools
// (LiveBookGuard in tools/compare.h). probe and prompter must outlive it.
std::function<bool(const QString &path)> liveBookGuard(const QString &homeFolder,
                                                       const HostProbe &probe, Prompter &prompter);

// Start-up: tells the user that the live address book is off limits while
// Corvid runs. Returns whether it runs.
bool warnIfClientRunning(const HostProbe &probe, Prompter &prompter);
