// brindle-cli convert INPUT OUTPUT [OPTIONS]: reads a book and writes it
// anew. OUTPUT is touched only when INPUT was read completely.
//
// A CSV input is mapped automatically from its header; columns that map to
// no item are named on stderr. A CSV output carries the items and layout
// the options choose.
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
    for (const QString &o : options) {
        if (o == u"--csv-split") {
            out.csv.splitColumns = true;
        } else if (o == u"--csv-add-domain") {
            out.csv.addDomain = true;
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

    AddressBook book;
    if (readBookFile(args.at(0), book, prompter, &formats) != 0)
        return ExitFailure;
    return writeBookFile(args.at(1), book, prompter, &formats) == 0 ? ExitOk : ExitFailure;
}
