// brindle-cli convert INPUT OUTPUT [OPTIONS]: reads a book and writes it
// anew. OUTPUT is touched only when INPUT was read completely. A .txt INPUT
// is list text or a nickname file by its first bytes; --kind chooses the
// kind OUTPUT is written as.
//
// A CSV input is mapped automatically from its header; columns that map to
// no item are named on stderr. A CSV output carries the items and layout
// the options choose, a vCard output the version --vcard-version names.
#include <QByteArray>
#include <cstdio>

#include "bookfiles.h"
#include "commands.h"
#include "console.h"
#include "shell/dispatch.h"

namespace {

const char *const ItemKeys[CsvCardItemCount] = {
    "id",      "name",   "postal",   "address", "tel",          "fax",      "mobile",
    "pager",   "birthday", "group",  "memo",    "profile",      "maillog",  "exchangeflag",
    "exchange", "remarkflag", "remark", "created", "updated",
};

// The automatic mapping, telling which columns it leaves unused.
bool reportingAutoMapper(const QStringList &header, const QList<QStringList> &preview,
                         CsvMapping &mapping)
{
    autoCsvMapper(header, preview, mapping);
    for (qsizetype j = 0; j < header.size(); ++j) {
        if (mapping[j] != CsvItemNone)
            continue;
        const QByteArray text = header[j].toLocal8Bit();
        console::clearProgress();
        std::fprintf(stderr, "brindle-cli convert: CSV column %lld \"%s\" matches no item; ignored\n",
                     static_cast<long long>(j + 1), text.constData());
    }
    return true;
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

} // namespace

QStringList csvItemKeys()
{
    QStringList keys;
    for (const char *k : ItemKeys)
        keys << QString::fromLatin1(k);
    return keys;
}

QString parseConvertOptions(const QStringList &options, ConvertOptions &out)
{
    out = ConvertOptions();
    const QString itemsPrefix = QStringLiteral("--csv-items=");
    const QString kindPrefix = QStringLiteral("--kind=");
    const QString modePrefix = QStringLiteral("--eudora-mode=");
    const QString vcardPrefix = QStringLiteral("--vcard-version=");
    for (const QString &o : options) {
        if (o.startsWith(kindPrefix)) {
            const QString kind = o.mid(kindPrefix.size());
            out.kind = kindNamed(kind);
            if (out.kind == FileKindUnknown)
                return QStringLiteral("unknown kind: %1 (kinds: ndb, list, csv, vcard, eudora)")
                    .arg(kind);
        } else if (o.startsWith(modePrefix)) {
            const QString mode = o.mid(modePrefix.size());
            if (mode != u"0" && mode != u"1")
                return QStringLiteral("--eudora-mode takes 0 or 1, not ") + mode;
            out.eudoraMode = mode.toInt();
        } else if (o.startsWith(vcardPrefix)) {
            const QString version = o.mid(vcardPrefix.size());
            if (version == u"2.1")
                out.vcardVersion = VcardVersion::V21;
            else if (version == u"3.0")
                out.vcardVersion = VcardVersion::V30;
            else
                return QStringLiteral("--vcard-version takes 2.1 or 3.0, not ") + version;
        } else if (o == u"--csv-split") {
            out.csv.splitColumns = true;
        } else if (o == u"--csv-add-domain") {
            out.csv.addDomain = true;
        } else if (o == u"--no-trash") {
            out.noTrash = true;
        } else if (o.startsWith(itemsPrefix)) {
            out.csv.items.fill(false);
            const QStringList keys = csvItemKeys();
            const QStringList names = o.mid(itemsPrefix.size()).split(u',', Qt::SkipEmptyParts);
            if (names.isEmpty())
                return QStringLiteral("--csv-items needs at least one item");
            for (const QString &raw : names) {
                const QString name = raw.trimmed().toLower();
                bool isNumber = false;
                const int number = name.toInt(&isNumber);
                const int item = isNumber ? number : int(keys.indexOf(name));
                if (item < 0 || item >= CsvCardItemCount)
                    return QStringLiteral("unknown CSV item: %1 (items: %2, or 0-18)")
                        .arg(raw, keys.join(u','));
                out.csv.items[item] = true;
            }
        } else {
            return QStringLiteral("unknown option: ") + o;
        }
    }
    return QString();
}

int runConvert(const QStringList &args, Prompter &prompter)
{
    ConvertOptions options;
    const QString problem = parseConvertOptions(args.mid(2), options);
    if (!problem.isEmpty())
        return usageError(QStringLiteral("convert"), problem);
    FileFormats formats = builtInFileFormats();
    const CsvExportOptions csv = options.csv;
    formats.byKind[FileKindCsv] = csvFileFormat(reportingAutoMapper, [csv](CsvExportOptions &o) {
        o = csv;
        return true;
    });
    const int mode = options.eudoraMode;
    formats.byKind[FileKindEudora] = eudoraFileFormat([mode] { return mode; });
    const VcardVersion version = options.vcardVersion;
    formats.byKind[FileKindVCard] = vcardFileFormat([version] { return version; });

    console::planProgress(2); // reading, writing
    AddressBook book;
    if (readBookFile(args.at(0), book, prompter, &formats, BookUse::Written) != 0)
        return ExitFailure;
    const int written =
        options.kind != FileKindUnknown
            ? writeBookFileAs(args.at(1), options.kind, book, prompter, &formats, options.noTrash)
            : writeBookFile(args.at(1), book, prompter, &formats, options.noTrash);
    return written == 0 ? ExitOk : ExitFailure;
}
