// brindle-cli convert INPUT OUTPUT [OPTIONS]: reads a book and writes it
// anew. OUTPUT is touched only when INPUT was read completely. A .txt INPUT
// is list text or a nickname file by its first bytes; --kind chooses the
// kind OUTPUT is written as.
//
// A CSV input is read in the encoding its bytes suggest (or --encoding) and
// mapped automatically from its header, with --csv-map overriding columns;
// --verbose prints the mapping on stderr. What the read left out (columns
// included) is told by the reader's import report. A CSV output carries the
// items and layout the options choose, a vCard output the version
// --vcard-version names.
#include <QByteArray>
#include <cstdio>

#include "bookfiles.h"
#include "commands.h"
#include "console.h"
#include "common/prompter.h"
#include "shell/dispatch.h"
#include "tooloptions.h"

namespace {

const char *const ItemKeys[CsvCardItemCount] = {
    "id",      "name",   "postal",   "address", "tel",          "fax",      "mobile",
    "pager",   "birthday", "group",  "memo",    "profile",      "maillog",  "exchangeflag",
    "exchange", "remarkflag", "remark", "created", "updated",
};
// After the card items: "( なし )" and the parts that are only read.
const char *const ReadOnlyItemKeys[] = {
    "none", "familyname", "givenname", "birthyear", "birthmonth", "birthdayofmonth",
};

// A header as shown on stderr: cut to 40 characters.
QString shownHeader(const QString &header)
{
    return header.size() > 40 ? header.left(40) + QStringLiteral("…") : header;
}

void printLine(const QString &text)
{
    console::clearProgress();
    std::fprintf(stderr, "brindle-cli convert: %s\n", text.toLocal8Bit().constData());
}

// The columns a --csv-map entry names: by header text (spaces around
// ignored) or by number.
QList<qsizetype> columnsNamed(const QStringList &header, const QString &name)
{
    QList<qsizetype> columns;
    if (name.startsWith(u'#')) {
        bool ok = false;
        const qsizetype number = name.mid(1).toLongLong(&ok);
        if (ok && number >= 1 && number <= header.size())
            columns.append(number - 1);
        return columns;
    }
    const QString wanted = name.trimmed();
    for (qsizetype j = 0; j < header.size(); ++j)
        if (header[j].trimmed() == wanted)
            columns.append(j);
    return columns;
}

// The automatic mapping with the command line's overrides; --verbose
// prints the outcome.
CsvMapper commandLineMapper(const ConvertOptions &options, Prompter &prompter)
{
    return [options, &prompter](CsvSample &sample, CsvMapping &mapping) {
        autoCsvMapper(sample, mapping);
        for (const CsvMapOverride &o : options.csvMap) {
            const QList<qsizetype> columns = columnsNamed(sample.header, o.header);
            if (columns.isEmpty()) {
                prompter.notice(QStringLiteral("CSVファイルに「%1」の列がありません").arg(shownHeader(o.header)));
                return false;
            }
            for (qsizetype j : columns)
                mapping[j] = o.item;
        }
        if (!options.verbose)
            return true;
        const QStringList keys = csvMapItemKeys();
        const QList<CsvColumnRole> roles = csvColumnRoles(sample.header, mapping);
        printLine(QStringLiteral("CSV encoding: %1").arg(textEncodingName(sample.encoding)));
        for (qsizetype j = 0; j < sample.header.size(); ++j) {
            QString line = QStringLiteral("CSV column %1 \"%2\" -> %3")
                               .arg(j + 1)
                               .arg(shownHeader(sample.header[j]), keys.value(mapping[j]));
            if (mapping[j] != CsvItemNone)
                line += QStringLiteral(" (%1)").arg(csvItemCaption(mapping[j]));
            if (roles[j].typeColumn >= 0)
                line += QStringLiteral(", routed by the type in column %1").arg(roles[j].typeColumn + 1);
            if (roles[j].isTypeColumn)
                line += QStringLiteral(" (the type of a phone number)");
            printLine(line);
        }
        return true;
    };
}

} // namespace

QStringList csvItemKeys()
{
    QStringList keys;
    for (const char *k : ItemKeys)
        keys << QString::fromLatin1(k);
    return keys;
}

QStringList csvMapItemKeys()
{
    QStringList keys = csvItemKeys();
    for (const char *k : ReadOnlyItemKeys)
        keys << QString::fromLatin1(k);
    return keys;
}

QString parseConvertOptions(const QStringList &options, ConvertOptions &out)
{
    out = ConvertOptions();
    const QString itemsPrefix = QStringLiteral("--csv-items=");
    const QString kindPrefix = QStringLiteral("--kind=");
    const QString modePrefix = QStringLiteral("--eudora-mode=");
    const QString encodingPrefix = QStringLiteral("--encoding=");
    const QString mapPrefix = QStringLiteral("--csv-map=");
    const QString vcardPrefix = QStringLiteral("--vcard-version=");
    const QString fromPrefix = QStringLiteral("--from=");
    for (const QString &o : options) {
        if (o.startsWith(kindPrefix)) {
            const QString kind = o.mid(kindPrefix.size());
            out.kind = kindNamed(kind);
            if (out.kind == FileKindUnknown)
                return QStringLiteral("unknown kind: %1 (kinds: ndb, list, csv, vcard, eudora)")
                    .arg(kind);
        } else if (o.startsWith(fromPrefix)) {
            out.from = o.mid(fromPrefix.size());
            if (kindNamed(out.from) == FileKindUnknown)
                return QStringLiteral("unknown kind: %1 (kinds: ndb, list, csv, vcard, eudora)")
                    .arg(out.from);
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
        } else if (o == u"--verbose") {
            out.verbose = true;
        } else if (o.startsWith(encodingPrefix)) {
            const QString name = o.mid(encodingPrefix.size());
            if (!textEncodingFromName(name, out.encoding))
                return QStringLiteral("unknown encoding: %1 (encodings: cp932, utf-8, utf-16)").arg(name);
        } else if (o.startsWith(mapPrefix)) {
            const QStringList keys = csvMapItemKeys();
            const QStringList pairs = o.mid(mapPrefix.size()).split(u',', Qt::SkipEmptyParts);
            if (pairs.isEmpty())
                return QStringLiteral("--csv-map needs at least one HEADER=ITEM");
            for (const QString &pair : pairs) {
                const qsizetype eq = pair.lastIndexOf(u'=');
                const QString header = eq < 0 ? QString() : pair.left(eq).trimmed();
                if (header.isEmpty())
                    return QStringLiteral("--csv-map takes HEADER=ITEM, not ") + pair;
                const QString name = pair.mid(eq + 1).trimmed().toLower();
                bool isNumber = false;
                const int number = name.toInt(&isNumber);
                const int item = isNumber ? number : int(keys.indexOf(name));
                if (item < 0 || item >= CsvItemChoiceCount)
                    return QStringLiteral("unknown CSV item: %1 (items: %2, or 0-24)")
                        .arg(pair.mid(eq + 1), keys.join(u','));
                out.csvMap.append({header, item});
            }
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
    if (const QString kindProblem = inputKindProblem(options.from, args.at(0)); !kindProblem.isEmpty())
        return usageError(QStringLiteral("convert"), kindProblem);
    if (isStdio(args.at(1)) && options.kind == FileKindUnknown)
        return usageError(QStringLiteral("convert"),
                          QStringLiteral("writing standard output needs --kind KIND (ndb, list, csv, vcard, eudora)"));
    options.verbose = options.verbose || console::verbosity() == console::Verbosity::Verbose;
    const int inputKind = options.from.isEmpty() ? fileKindOf(args.at(0)) : kindNamed(options.from);
    if ((options.encoding != TextEncoding::Auto || !options.csvMap.isEmpty())
        && inputKind != FileKindCsv)
        return usageError(QStringLiteral("convert"),
                          QStringLiteral("--encoding and --csv-map apply to a CSV INPUT only"));
    FileFormats formats = builtInFileFormats();
    const CsvExportOptions csv = options.csv;
    formats.byKind[FileKindCsv] = csvFileFormat(
        commandLineMapper(options, prompter),
        [csv](CsvExportOptions &o) {
            o = csv;
            return true;
        },
        options.encoding);
    const int mode = options.eudoraMode;
    formats.byKind[FileKindEudora] = eudoraFileFormat([mode] { return mode; });
    const VcardVersion version = options.vcardVersion;
    formats.byKind[FileKindVCard] = vcardFileFormat([version] { return version; });

    console::planProgress(2); // reading, writing
    AddressBook &book = bookKeptUntilExit();
    if (readBookFile(args.at(0), book, prompter, &formats, BookUse::Written) != 0)
        return ExitFailure;
    const int written =
        options.kind != FileKindUnknown
            ? writeBookFileAs(args.at(1), options.kind, book, prompter, &formats, options.noTrash)
            : writeBookFile(args.at(1), book, prompter, &formats, options.noTrash);
    return written == 0 ? ExitOk : ExitFailure;
}
