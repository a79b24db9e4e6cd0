#include "shell/dispatch.h"

#include <QFileInfo>
#include <new>
#include <stdexcept>
#include <type_traits>

#include "common/boundedread.h"
#include "common/readbudget.h"
#include "common/prompter.h"
#include "core/ndbfile.h"
#include "formats/eudora.h"
#include "formats/listtext.h"
#include "formats/vcard.h"
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
    // The trash step is the writer's: only once the new content is complete.
    if constexpr (std::is_invocable_v<decltype(Write), const QString &, const AddressBook &,
                                      Prompter &, const Progress &, bool>)
        return Write(path, book, io.prompter, io.progress, io.trashOld);
    else
        return Write(path, book, io.prompter, io.progress);
}

// vCard files take their options from the settings.
int readVcard(const QString &path, AddressBook &book, const FileIo &io)
{
    VcardReadOptions options;
    options.lostMemoFlag = io.settings.lostMemoFlag;
    return VcdFileRead(path, book, io.prompter, options);
}

FileFormats makeBuiltInFormats()
{
    FileFormats f;
    // One line per format: f.byKind[kind] = {reader, writer};
    f.byKind[FileKindAddressBook] = {readerOf<readNdbFile>, writerOf<writeNdbFile>};
    f.byKind[FileKindListText] = {readerOf<ListFileRead>, writerOf<ListFileWrite>};
    f.byKind[FileKindCsv] = csvFileFormat(autoCsvMapper, {});
    f.byKind[FileKindVCard] = vcardFileFormat({});
    f.byKind[FileKindEudora] = eudoraFileFormat({});
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

FileFormat csvFileFormat(CsvMapper mapper, CsvExportAsker ask, TextEncoding encoding)
{
    if (!mapper)
        mapper = autoCsvMapper;
    if (!ask)
        ask = [](CsvExportOptions &) { return true; };
    FileFormat f;
    f.read = [mapper, encoding](const QString &path, AddressBook &book, const FileIo &io) {
        return CsvFileRead(path, book, io.prompter, mapper, io.progress, encoding);
    };
    f.write = [ask](const QString &path, const AddressBook &book, const FileIo &io) {
        // The trash step belongs to the calling command.
        return CsvFileWrite(path, book, io.prompter, ask, io.settings.niftyDomain, io.progress,
                            false);
    };
    return f;
}

FileFormat eudoraFileFormat(EudoraModeAsker ask)
{
    FileFormat f;
    f.read = [](const QString &path, AddressBook &book, const FileIo &io) {
        return EudoraFileRead(path, book, io.prompter, {}, io.progress);
    };
    f.write = [ask](const QString &path, const AddressBook &book, const FileIo &io) {
        EudoraWriteOptions options;
        options.mode = ask ? ask() : eudoraPutTexts().defaultMode;
        if (options.mode < 0)
            return -1; // cancelled in the dialog: nothing written, no message
        options.lostMemoFlag = io.settings.lostMemoFlag;
        options.niftyDomain = io.settings.niftyDomain;
        return EudoraFileWrite(path, book, io.prompter, options, io.progress, io.trashOld);
    };
    return f;
}

FileFormat vcardFileFormat(VcardVersionAsker version)
{
    FileFormat f;
    f.read = readVcard;
    f.write = [version](const QString &path, const AddressBook &book, const FileIo &io) {
        VcardWriteOptions options;
        options.niftyDomain = io.settings.niftyDomain;
        if (version && version() == VcardVersion::V30)
            return Vcd3FileWrite(path, book, io.prompter, options, io.progress, io.trashOld);
        return VcdFileWrite(path, book, io.prompter, options, io.progress, io.trashOld);
    };
    return f;
}

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
    // Running out of memory while reading loses nothing: the book the read
    // was meant for is only touched once the read has succeeded.
    try {
        const ReadBudget budget(QFileInfo(path).size());
        AddressBook fresh;
        if (read(path, fresh, io) != 0)
            return -1;
        book = std::move(fresh);
    } catch (const ReadBudgetExceeded &) {
        io.prompter.notice(tooManyValuesMessage(), Prompter::Icon::Warning);
        return -1;
    } catch (const std::bad_alloc &) {
        io.prompter.notice(outOfMemoryMessage());
        return -1;
    } catch (const std::length_error &) {
        io.prompter.notice(outOfMemoryMessage());
        return -1;
    }
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
