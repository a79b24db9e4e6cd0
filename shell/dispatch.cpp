#include "shell/dispatch.h"

#include <QFileInfo>
#include <type_traits>

#include "common/prompter.h"
#include "core/ndbfile.h"
#include "formats/listtext.h"
#include "shell/host.h"
#include "shell/settings.h"

namespace {

// The formats' own functions in the shape of the table.
template <auto Read>
int readerOf(const QString &path, AddressBook &book, const FileIo &io)
{
    return Read(path, book, io.prompter, io.progress);
}
template <auto Write>
int writerOf(const QString &path, const AddressBook &book, const FileIo &io)
{
    // The trash step belongs to the calling command.
    if constexpr (std::is_invocable_v<decltype(Write), const QString &, const AddressBook &,
                                      Prompter &, const Progress &, bool>)
        return Write(path, book, io.prompter, io.progress, false);
    else
        return Write(path, book, io.prompter, io.progress);
}

FileFormats makeBuiltInFormats()
{
    FileFormats f;
    // One line per format: f.byKind[kind] = {reader, writer};
    f.byKind[FileKindAddressBook] = {readerOf<readNdbFile>, writerOf<writeNdbFile>};
    f.byKind[FileKindListText] = {readerOf<ListFileRead>, writerOf<ListFileWrite>};
    return f;
}

const FileFormats &formatsOf(const FileIo &io)
{
    return io.formats ? *io.formats : builtInFileFormats();
}

bool knownKind(int kind)
{
    return kind >= 0 && kind < FileKindCount;
}

void notSupported(Prompter &prompter, int kind, bool reading)
{
    const QString what = knownKind(kind) ? fileKindName(kind) : QStringLiteral("この形式");
    prompter.notice(what + (reading ? QStringLiteral("の読み込みは未対応です。")
                                    : QStringLiteral("の書き出しは未対応です。")),
                    Prompter::Icon::Warning);
}

} // namespace

const FileFormats &builtInFileFormats()
{
    static const FileFormats formats = makeBuiltInFormats();
    return formats;
}

int readFileByKind(const QString &path, int kind, AddressBook &book, const FileIo &io)
{
    if (path.isEmpty() || guardLiveAddressBook(path, io.settings.homeFolder, io.probe, io.prompter))
        return -1;
    if (!QFileInfo::exists(path)) {
        io.prompter.notice(u'[' + path + QStringLiteral("]は存在しません"));
        return -1;
    }
    const FileReader &read = knownKind(kind) ? formatsOf(io).byKind[kind].read : FileReader();
    if (!read) {
        notSupported(io.prompter, kind, true);
        return -1;
    }
    AddressBook fresh;
    if (read(path, fresh, io) != 0)
        return -1;
    book = std::move(fresh);
    return int(book.cardCount() - 1);
}

int writeFileByKind(const QString &path, int kind, const AddressBook &book, const FileIo &io)
{
    if (!knownKind(kind)) {
        io.prompter.notice(QStringLiteral("この形式の書き出しは未対応です。"), Prompter::Icon::Warning);
        return -1;
    }
    if (path.isEmpty() || guardLiveAddressBook(path, io.settings.homeFolder, io.probe, io.prompter))
        return -1;
    const FileWriter &write = formatsOf(io).byKind[kind].write;
    if (!write) {
        notSupported(io.prompter, kind, false);
        return -1;
    }
    return write(path, book, io) == 0 ? 0 : -1;
}
