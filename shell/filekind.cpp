#include "shell/filekind.h"

#include <QDir>
#include <QFileInfo>

#include "common/boundedread.h"
#include "common/cp932.h"
#include "common/paths.h"
#include "formats/fileprocs.h"

namespace {

// The filters as "caption|pattern|caption|pattern". "*.*" stands for every
// file, which on this platform is "*" (a name need not hold a dot).
const char16_t *const KindFilters[] = {
    u"Address帳ﾌｧｲﾙ(*.ndb)|*.nd?|全てのﾌｧｲﾙ(*.*)|*.*",
    u"一覧形式ﾌｧｲﾙ(*.txt)|*.txt|全てのﾌｧｲﾙ(*.*)|*.*",
    u"CSV形式ﾌｧｲﾙ(*.csv)|*.csv|全てのﾌｧｲﾙ(*.*)|*.*",
    u"vCard形式ﾌｧｲﾙ(*.vcf)|*.vcf|全てのﾌｧｲﾙ(*.*)|*.*",
    u"Eudora形式ﾌｧｲﾙ(*.txt)|*.txt|全てのﾌｧｲﾙ(*.*)|*.*",
};
// The formats a save dialog offers beside the kind's own, in the order of
// their format numbers (filekind.h).
const char16_t *const VcardFormat30Filter = u"vCard 3.0 UTF-8 (*.vcf)|*.vcf";
const char16_t *const AllFilesFilter = u"全てのﾌｧｲﾙ(*.*)|*.*";
const char16_t *const TextFilter = u"ﾃｷｽﾄﾌｧｲﾙ(*.txt)|*.txt|全てのﾌｧｲﾙ(*.*)|*.*";

const char16_t *const FileKindNames[] = {
    u"ｱﾄﾞﾚｽ帳形式", u"一覧形式", u"CSV形式", u"VCard形式", u"Eudora形式",
};
const char16_t *const DefaultExtensions[] = {u"ndb", u"txt", u"csv", u"vcf", u"txt"};

const char16_t *const OpenTitle = u"入力ﾌｧｲﾙの選択";
const char16_t *const SaveTitle = u"出力ﾌｧｲﾙの選択";

QList<Prompter::FileFilter> parseFilters(const char16_t *text)
{
    const QStringList parts = QString::fromUtf16(text).split(u'|');
    QList<Prompter::FileFilter> out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString pattern = parts[i + 1] == u"*.*" ? QStringLiteral("*") : parts[i + 1];
        out.append({parts[i], {pattern}});
    }
    return out;
}

bool validKind(int kind)
{
    return kind >= 0 && kind < FileKindCount;
}

// Whether the (lower-cased) extension fits the kind's own filter.
bool extensionFits(int kind, const QString &ext)
{
    if (kind == FileKindAddressBook)
        return ext.size() == 3 && ext.startsWith(u"nd");
    return ext == QStringView(DefaultExtensions[kind]);
}

QString appendExtension(const QString &name, QStringView ext)
{
    return (name.endsWith(u'.') ? name : name + u'.') + ext.toString();
}

// The first bytes of a file, enough to tell a text file's kind; "" when the
// file cannot be read. Only a regular file is looked into: a FIFO or device
// named like a text file is never waited on.
QByteArray leadingBytes(const QString &path)
{
    QByteArray head;
    if (readRegularFileHead(path, TextKindHeadSize, head) != ReadFault::None)
        return QByteArray();
    return head;
}

bool isBlankByte(char c)
{
    return c == ' ' || c == '\t';
}

// Where the first line that is not blank (spaces and TABs only) starts;
// head.size() when there is none. Lines end at CR, LF or CR LF.
qsizetype firstNonBlankLine(QByteArrayView head)
{
    qsizetype start = 0;
    for (;;) {
        qsizetype i = start;
        while (i < head.size() && isBlankByte(head[i]))
            ++i;
        if (i == head.size())
            return head.size();
        if (head[i] != '\r' && head[i] != '\n')
            return start;
        start = i + 1;
    }
}

// The initial name of a dialog: a name that begins with a double quote is
// the text up to the next one.
QString unquotedInitialName(const QString &name)
{
    if (!name.startsWith(u'"'))
        return name;
    const qsizetype close = name.indexOf(u'"', 1);
    return close < 0 ? name.mid(1) : name.mid(1, close - 1);
}

} // namespace

int fileKindOf(const QString &path)
{
    const QString ext = extensionOf(path).toLower();
    if (ext == u"ndb" || (ext >= QStringLiteral("nd0") && ext <= QStringLiteral("nd9")))
        return FileKindAddressBook;
    if (ext == u"txt" || ext == u"text")
        return textFileKindOf(leadingBytes(path));
    if (ext == u"csv")
        return FileKindCsv;
    if (ext == u"vcf")
        return FileKindVCard;
    return FileKindUnknown;
}

int textFileKindOf(QByteArrayView head)
{
    if (head.size() < 6)
        return FileKindUnknown;
    if (head.first(5) == QByteArrayView("====="))
        return FileKindListText;
    // A nickname file may begin with blank lines.
    const qsizetype start = firstNonBlankLine(head);
    if (head.size() - start < 6)
        return FileKindUnknown;
    const QString text = cp932::decode(head.sliced(start, 5)).toLower();
    if (text == u"alias" || text == u"note ")
        return FileKindEudora;
    return FileKindUnknown;
}

QString fileKindName(int kind)
{
    return validKind(kind) ? QString::fromUtf16(FileKindNames[kind]) : QString();
}

QList<Prompter::FileFilter> fileFiltersOf(int kind)
{
    return parseFilters(validKind(kind) ? KindFilters[kind] : AllFilesFilter);
}

QList<Prompter::FileFilter> saveFileFiltersOf(int kind)
{
    QList<Prompter::FileFilter> filters = fileFiltersOf(kind);
    if (kind == FileKindVCard)
        filters.insert(VcardFormat30, parseFilters(VcardFormat30Filter).first());
    return filters;
}

Prompter::FileRequest fileRequestFor(const QString &initialName, const QString &title,
                                     const QList<Prompter::FileFilter> &filters)
{
    Prompter::FileRequest r;
    r.title = title;
    r.filters = filters;
    r.filterIndex = 0;
    if (initialName.isEmpty())
        return r;
    if (initialName.endsWith(u'/') || QFileInfo(initialName).isDir()) {
        r.folder = initialName;
        return r;
    }
    const qsizetype slash = initialName.lastIndexOf(u'/');
    if (slash >= 0) {
        r.folder = initialName.left(slash + 1);
        r.fileName = initialName.mid(slash + 1);
    } else {
        r.fileName = initialName;
    }
    return r;
}

QString finishChosenName(const QString &name, int kind, int filterIndex)
{
    QString n = name;
    const qsizetype nul = n.indexOf(QChar(0));
    if (nul >= 0)
        n.truncate(nul);
    if (n.isEmpty() || filterIndex != 0 || !validKind(kind))
        return n;
    if (!extensionFits(kind, extensionOf(n).toLower()))
        n = appendExtension(n, DefaultExtensions[kind]);
    return n;
}

QString chooseFile(Prompter &prompter, FileDialogMode mode, const QString &initialName, int kind)
{
    if (mode == FileDialogMode::Save)
        return chooseSaveFile(prompter, initialName, kind).path;
    const Prompter::FileRequest request = fileRequestFor(
        unquotedInitialName(initialName), QString::fromUtf16(OpenTitle), fileFiltersOf(kind));
    const Prompter::FileAnswer a = prompter.openFile(request);
    return finishChosenName(a.path, kind, a.filterIndex);
}

SaveChoice chooseSaveFile(Prompter &prompter, const QString &initialName, int kind)
{
    const QList<Prompter::FileFilter> filters = saveFileFiltersOf(kind);
    const Prompter::FileAnswer a = prompter.saveFile(
        fileRequestFor(unquotedInitialName(initialName), QString::fromUtf16(SaveTitle), filters));
    // Every filter but the last (all files) is one of the kind's formats;
    // a kind without a format of its own has all files alone.
    const bool ownFormat = validKind(kind) && a.filterIndex >= 0
        && a.filterIndex < filters.size() - 1;
    SaveChoice choice;
    choice.path = finishChosenName(a.path, kind, ownFormat ? 0 : 1);
    choice.format = ownFormat ? a.filterIndex : 0;
    return choice;
}

QString chooseTextFile(Prompter &prompter, FileDialogMode mode, const QString &initialName)
{
    const bool open = mode == FileDialogMode::Open;
    const Prompter::FileRequest request = fileRequestFor(
        initialName, QString::fromUtf16(open ? OpenTitle : SaveTitle), parseFilters(TextFilter));
    const Prompter::FileAnswer a = open ? prompter.openFile(request) : prompter.saveFile(request);
    QString n = a.path;
    const qsizetype nul = n.indexOf(QChar(0));
    if (nul >= 0)
        n.truncate(nul);
    if (!n.isEmpty() && a.filterIndex == 0 && extensionOf(n).toLower() != u"txt")
        n = appendExtension(n, u"txt");
    return n;
}

bool saveTextAs(Prompter &prompter, const QString &initialName, const QString &text,
                bool trashOld)
{
    const QString path = chooseTextFile(prompter, FileDialogMode::Save, initialName);
    if (path.isEmpty() || !WritePathCheck(path, true, prompter))
        return false;
    if (writeTextFile(path, text, trashOld) < 0) {
        prompter.ask({path + QStringLiteral(" の書き込みに失敗しました。"), QString(),
                      Prompter::Ok, Prompter::Icon::Warning, Prompter::Ok});
        return false;
    }
    return true;
}

QString chooseFolderPath(Prompter &prompter, const QString &prompt, const QString &startFolder)
{
    QString folder = prompter.chooseFolder(
        prompt, startFolder.isEmpty() ? QDir::currentPath() : startFolder);
    const qsizetype nul = folder.indexOf(QChar(0));
    if (nul >= 0)
        folder.truncate(nul);
    return folder;
}
