#include "bookfiles.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <deque>

#include "common/boundedread.h"
#include "common/paths.h"
#include "console.h"
#include "output.h"
#include "common/prompter.h"
#include "core/ndbfile.h"
#include "core/validation.h"
#include "formats/fileprocs.h"
#include "shell/startup.h"

namespace {

// The settings and the Corvid probe, loaded when a command first touches a
// file.
const ShellSession &session()
{
    static ShellSession s(QCoreApplication::applicationDirPath());
    static const bool loaded = (s.loadSettingsOnly(), true);
    Q_UNUSED(loaded);
    return s;
}

// A file's name for the progress line.
QString fileNameOf(const QString &path)
{
    return QFileInfo(path).fileName();
}

int inputKind = FileKindUnknown;

// Standard input and output pass through a private folder as files, so
// that they are read and written by the same code as any file.
QString spoolPath(const QString &base, int kind)
{
    static QTemporaryDir folder;
    static const char *const extensions[] = {"ndb", "txt", "csv", "vcf", "txt"};
    const char *ext = kind >= 0 && kind < FileKindCount ? extensions[kind] : "dat";
    return folder.isValid() ? folder.filePath(base + u'.' + QLatin1String(ext)) : QString();
}

// Copies standard input to a spool file; "" after telling the user.
QString spoolStdin(Prompter &prompter)
{
    const QString path = spoolPath(QStringLiteral("stdin"), inputKind);
    QFile in;
    QFile out(path);
    if (path.isEmpty() || !in.open(stdin, QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly)) {
        prompter.notice(QStringLiteral("標準入力を読み込めません"));
        return QString();
    }
    // More than the readers take is not kept: they refuse the file by its
    // size all the same.
    qint64 kept = 0;
    while (!in.atEnd() && kept <= MaxBookFileSize) {
        const QByteArray chunk = in.read(1 << 20);
        kept += chunk.size();
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
            break;
        if (out.write(chunk) != chunk.size()) {
            prompter.notice(QStringLiteral("標準入力を読み込めません"));
            return QString();
        }
        if (console::interruptSignal() != 0)
            return QString();
    }
    if (in.error() != QFileDevice::NoError) {
        prompter.notice(QStringLiteral("標準入力を読み込めません"));
        return QString();
    }
    return path;
}

} // namespace

bool isStdio(const QString &path)
{
    return path == QLatin1String("-");
}

QString stdinName()
{
    return QStringLiteral("標準入力");
}

QString stdoutName()
{
    return QStringLiteral("標準出力");
}

void setInputKind(int kind)
{
    inputKind = kind;
}

int kindNamed(const QString &name)
{
    static const struct {
        const char16_t *name;
        int kind;
    } kinds[] = {{u"ndb", FileKindAddressBook}, {u"list", FileKindListText},
                 {u"csv", FileKindCsv},         {u"vcard", FileKindVCard},
                 {u"eudora", FileKindEudora}};
    for (const auto &k : kinds)
        if (name == QStringView(k.name))
            return k.kind;
    return FileKindUnknown;
}

int outputKindOf(const QString &path)
{
    const QString ext = extensionOf(path).toLower();
    if (ext == u"txt" || ext == u"text")
        return FileKindListText;
    if (ext == u"csv" || ext == u"vcf" || ext == u"ndb"
        || (ext >= QStringLiteral("nd0") && ext <= QStringLiteral("nd9")))
        return fileKindOf(path); // decided by the name alone
    return FileKindUnknown;
}

int readBookFile(const QString &path, AddressBook &book, Prompter &prompter,
                 const FileFormats *formats, BookUse use)
{
    const bool fromStdin = isStdio(path);
    const Prompter::FileScope about(prompter, fromStdin ? stdinName() : path);
    const QString source = fromStdin ? spoolStdin(prompter) : path;
    if (source.isEmpty())
        return -1;
    const int kind = inputKind != FileKindUnknown ? inputKind : fileKindOf(path);
    FileIo io = session().fileIo(prompter, console::progress(QStringLiteral("reading ") + fileNameOf(path)));
    io.formats = formats;
    if (readFileByKind(source, kind, book, io) < 0)
        return -1;
    console::verboseMessage(prompter.messageFile(), QStringLiteral("%1を読み込みました（カード %2 枚）")
                                .arg(fileKindName(kind))
                                .arg(book.cardCount() - 1));
    if (book.trailingBytes > 0) {
        const QString text = trailingBytesMessage(book.trailingBytes);
        if (use == BookUse::Written)
            prompter.lossNotice(text);
        else
            prompter.notice(text, Prompter::Icon::Warning);
    }
    return 0;
}

int writeBookFile(const QString &path, const AddressBook &book, Prompter &prompter,
                  const FileFormats *formats, bool noTrash)
{
    return writeBookFileAs(path, outputKindOf(path), book, prompter, formats, noTrash);
}

bool refuseLiveBook(const QString &path, Prompter &prompter)
{
    const Prompter::FileScope about(prompter, path);
    return guardLiveAddressBook(path, session().settings.homeFolder, session().probe, prompter);
}

int writeBookFileAs(const QString &path, int kind, const AddressBook &book, Prompter &prompter,
                    const FileFormats *formats, bool noTrash)
{
    if (isStdio(path)) {
        // Written whole to a spool file first, so that a failed write sends
        // nothing.
        const Prompter::FileScope about(prompter, stdoutName());
        const QString spool = spoolPath(QStringLiteral("stdout"), kind);
        FileIo io = session().fileIo(prompter, console::progress(QStringLiteral("writing")));
        io.formats = formats;
        io.trashOld = false;
        if (spool.isEmpty() || writeFileByKind(spool, kind, book, io) != 0)
            return -1;
        QFile file(spool);
        if (!file.open(QIODevice::ReadOnly))
            return -1;
        console::writeStdout(file.readAll());
        console::verboseMessage(stdoutName(), QStringLiteral("%1を書き出しました").arg(fileKindName(kind)));
        return 0;
    }
    const Prompter::FileScope about(prompter, path);
    if (!ReplacePathCheck(path, prompter))
        return -1;
    FileIo io = session().fileIo(prompter, console::progress(QStringLiteral("writing ") + fileNameOf(path)));
    io.formats = formats;
    io.trashOld = session().settings.trashFlag && !noTrash;
    const int written = writeFileByKind(path, kind, book, io);
    if (written == 0)
        console::verboseMessage(path, QStringLiteral("%1として書き込みました（カード %2 枚）")
                                    .arg(fileKindName(kind))
                                    .arg(book.cardCount() - 1));
    return written;
}

AddressBook &bookKeptUntilExit()
{
    // Held through a pointer that is never deleted, so the books stay
    // reachable (leak checkers do not report them) and no destructor runs at
    // exit. A deque does not move its elements when it grows.
    static auto *const books = new std::deque<AddressBook>;
    return books->emplace_back();
}

int readCheckedBook(const QString &path, AddressBook &book, Prompter &prompter, BookUse use)
{
    const Prompter::FileScope about(prompter, isStdio(path) ? stdinName() : path);
    if (readBookFile(path, book, prompter, nullptr, use) != 0)
        return -1;
    const int repaired = repairCardNumbers(book);
    if (repaired > 0)
        prompter.notice(cardNumberRepairMessage(repaired));
    validateAll(book, cardLimitsOf(session().settings));
    return 0;
}

void printText(const QString &text)
{
    QString unix = text;
    unix.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    console::writeStdout(unix.toUtf8());
}
