#include "bookfiles.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

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

} // namespace

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
    const Prompter::FileScope about(prompter, path);
    FileIo io = session().fileIo(prompter, console::progress(QStringLiteral("reading ") + fileNameOf(path)));
    io.formats = formats;
    if (readFileByKind(path, fileKindOf(path), book, io) < 0)
        return -1;
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
    const Prompter::FileScope about(prompter, path);
    if (!ReplacePathCheck(path, prompter))
        return -1;
    FileIo io = session().fileIo(prompter, console::progress(QStringLiteral("writing ") + fileNameOf(path)));
    io.formats = formats;
    io.trashOld = session().settings.trashFlag && !noTrash;
    return writeFileByKind(path, outputKindOf(path), book, io);
}

bool refuseLiveBook(const QString &path, Prompter &prompter)
{
    const Prompter::FileScope about(prompter, path);
    return guardLiveAddressBook(path, session().settings.homeFolder, session().probe, prompter);
}

int writeBookFileAs(const QString &path, int kind, const AddressBook &book, Prompter &prompter,
                    const FileFormats *formats, bool noTrash)
{
    const Prompter::FileScope about(prompter, path);
    if (!ReplacePathCheck(path, prompter))
        return -1;
    FileIo io = session().fileIo(prompter, console::progress(QStringLiteral("writing ") + fileNameOf(path)));
    io.formats = formats;
    io.trashOld = session().settings.trashFlag && !noTrash;
    return writeFileByKind(path, kind, book, io);
}

int readCheckedBook(const QString &path, AddressBook &book, Prompter &prompter, BookUse use)
{
    const Prompter::FileScope about(prompter, path);
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
