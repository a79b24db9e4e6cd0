#include "shell/settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "common/boundedread.h"
#include "common/cp932.h"
#include "common/safesave.h"
#include "shell/filekind.h"
#include "shell/host.h"

namespace {

const QString IniName = QStringLiteral("Brindle.ini");
const QString SectionLine = QStringLiteral("[Settings]");

// The keys in file order.
enum Key {
    KeyLeft, KeyTop, KeyWidth, KeyHeight, KeyState, KeyHomeFolder, KeyGlobalLogFolder,
    KeyTrashFlg, KeyLostMemoFlg, KeyNiftyDomain, KeyOldName, KeyNewName,
    KeyLastName, KeyFileHistory, KeyErrorValue, KeyCount
};
constexpr const char *KeyNames[KeyCount] = {
    "Left=", "Top=", "Width=", "Height=", "State=", "HomeFolder=", "GlobalLogFolder=",
    "TrashFlg=", "LostMemoFlg=", "NiftyDomain=", "OldName=", "NewName=",
    "LastName=", "FileHistory=", "ErrorValue=",
};

bool startsWithKey(QStringView line, const char *key)
{
    const qsizetype n = qsizetype(qstrlen(key));
    if (line.size() < n)
        return false;
    for (qsizetype i = 0; i < n; ++i) {
        char16_t c = line[i].unicode();
        if (c >= u'A' && c <= u'Z')
            c += u'a' - u'A';
        char k = key[i];
        if (k >= 'A' && k <= 'Z')
            k += 'a' - 'A';
        if (c != char16_t(k))
            return false;
    }
    return true;
}

bool parseInt(QStringView text, qint32 &out)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    if (ok)
        out = v;
    return ok;
}

bool parseBool(QStringView text, bool &out)
{
    const QStringView t = text.trimmed();
    if (t.compare(u"true", Qt::CaseInsensitive) == 0) {
        out = true;
        return true;
    }
    if (t.compare(u"false", Qt::CaseInsensitive) == 0) {
        out = false;
        return true;
    }
    qint32 n = 0;
    if (!parseInt(t, n))
        return false;
    out = n != 0;
    return true;
}

// A value must stay on its own line.
QString storable(const QString &value)
{
    for (qsizetype i = 0; i < value.size(); ++i)
        if (value[i] == u'\r' || value[i] == u'\n')
            return value.left(i);
    return value;
}

void appendLine(QString &out, const char *key, const QString &value)
{
    out += QLatin1StringView(key);
    out += storable(value);
    out += u"\r\n";
}

// Marks a settings file written in UTF-8 rather than CP932.
constexpr QByteArrayView Utf8Bom("\xEF\xBB\xBF");

} // namespace

QString settingsFilePath(const QString &programFolder)
{
    if (!programFolder.isEmpty()) {
        const QFileInfo beside(QDir(programFolder).filePath(IniName));
        if (beside.isFile() && beside.isWritable())
            return beside.filePath();
    }
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Brindle/") + IniName;
}

bool parseSettings(const QByteArray &bytes, Settings &s)
{
    s = Settings();
    if (bytes.isEmpty())
        return false;

    const QString text = bytes.startsWith(Utf8Bom) ? QString::fromUtf8(bytes.sliced(Utf8Bom.size()))
                                                   : cp932::decode(bytes);
    QStringList lines = text.split(QStringLiteral("\r\n"));
    lines.removeLast(); // text after the last CR LF does not count

    bool inSection = false;
    int lastNames = 0, histories = 0, errorValues = 0;
    for (const QString &line : std::as_const(lines)) {
        if (line.startsWith(u'[')) {
            inSection = line == SectionLine;
            continue;
        }
        if (!inSection)
            continue;
        int key = 0;
        while (key < KeyCount && !startsWithKey(line, KeyNames[key]))
            ++key;
        if (key == KeyCount)
            continue;
        const QString value = line.mid(qsizetype(qstrlen(KeyNames[key])));
        switch (key) {
        case KeyLeft: parseInt(value, s.left); break;
        case KeyTop: parseInt(value, s.top); break;
        case KeyWidth: parseInt(value, s.width); break;
        case KeyHeight: parseInt(value, s.height); break;
        case KeyState: parseInt(value, s.state); break;
        case KeyHomeFolder: s.homeFolder = value; break;
        case KeyGlobalLogFolder: s.globalLogFolder = value; break;
        case KeyTrashFlg: parseBool(value, s.trashFlag); break;
        case KeyLostMemoFlg: parseBool(value, s.lostMemoFlag); break;
        case KeyNiftyDomain: s.niftyDomain = value; break;
        case KeyOldName: s.compareOldPath = value; break;
        case KeyNewName: s.compareNewPath = value; break;
        case KeyLastName:
            if (lastNames < Settings::LastNameCount)
                s.lastFileName[lastNames++] = value;
            break;
        case KeyFileHistory:
            if (histories < Settings::HistoryCount)
                s.fileHistory[histories++] = value;
            break;
        case KeyErrorValue:
            if (errorValues < Settings::ErrorValueCount) {
                qint32 v = 0;
                if (parseInt(value, v) && v >= 1)
                    s.errorLimits[errorValues] = v;
                ++errorValues;
            }
            break;
        }
    }
    if (s.niftyDomain.isEmpty())
        s.niftyDomain = QString::fromUtf16(DefaultNiftyDomain);
    return true;
}

QByteArray serializeSettings(const Settings &s)
{
    QString out = SectionLine;
    out += u"\r\n";
    const auto number = [](qint32 v) { return QString::number(v); };
    const auto flag = [](bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); };
    appendLine(out, KeyNames[KeyLeft], number(s.left));
    appendLine(out, KeyNames[KeyTop], number(s.top));
    appendLine(out, KeyNames[KeyWidth], number(s.width));
    appendLine(out, KeyNames[KeyHeight], number(s.height));
    appendLine(out, KeyNames[KeyState], number(s.state));
    appendLine(out, KeyNames[KeyHomeFolder], s.homeFolder);
    appendLine(out, KeyNames[KeyGlobalLogFolder], s.globalLogFolder);
    appendLine(out, KeyNames[KeyTrashFlg], flag(s.trashFlag));
    appendLine(out, KeyNames[KeyLostMemoFlg], flag(s.lostMemoFlag));
    appendLine(out, KeyNames[KeyNiftyDomain], s.niftyDomain);
    appendLine(out, KeyNames[KeyOldName], s.compareOldPath);
    appendLine(out, KeyNames[KeyNewName], s.compareNewPath);
    // Lists stop at the first entry that would be written empty.
    for (const QString &name : s.lastFileName) {
        if (storable(name).isEmpty())
            break;
        appendLine(out, KeyNames[KeyLastName], name);
    }
    for (const QString &path : s.fileHistory) {
        if (storable(path).isEmpty())
            break;
        appendLine(out, KeyNames[KeyFileHistory], path);
    }
    for (int v : s.errorLimits)
        appendLine(out, KeyNames[KeyErrorValue], number(v));
    // CP932 as always, unless that would turn a path into one with "?" in it.
    qsizetype replaced = 0;
    const QByteArray bytes = cp932::encode(out, &replaced);
    return replaced == 0 ? bytes : Utf8Bom.toByteArray() + out.toUtf8();
}

bool readSettingsFile(const QString &path, Settings &settings)
{
    settings = Settings();
    QByteArray bytes;
    if (readRegularFile(path, MaxSettingsFileSize, bytes) != ReadFault::None)
        return false;
    return parseSettings(bytes, settings);
}

void loadSettings(const QString &path, Settings &settings, const WineHost &host)
{
    if (!readSettingsFile(path, settings))
        discoverHostFolders(settings, host);
}

bool saveSettings(const QString &path, const Settings &settings)
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    return saveFileSafely(path, serializeSettings(settings)) == 0;
}

bool sameHistoryPath(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a[i].unicode(), y = b[i].unicode();
        if (x >= u'A' && x <= u'Z')
            x += u'a' - u'A';
        if (y >= u'A' && y <= u'Z')
            y += u'a' - u'A';
        if (x != y)
            return false;
    }
    return true;
}

void addToFileHistory(Settings &settings, const QString &path)
{
    if (path.isEmpty() || fileKindOf(path) == FileKindUnknown)
        return;
    auto &h = settings.fileHistory;
    QStringList kept;
    for (const QString &entry : h)
        if (!sameHistoryPath(entry, path))
            kept << entry;
    h[0] = path;
    for (int i = 1; i < Settings::HistoryCount; ++i)
        h[i] = i - 1 < kept.size() ? kept[i - 1] : QString();
}

CardLimits cardLimitsOf(const Settings &s)
{
    CardLimits l;
    l.ids = s.errorLimits[0];
    l.names = s.errorLimits[1];
    l.profile = s.errorLimits[2];
    l.mailLog = s.errorLimits[3];
    l.exchangeRecords = s.errorLimits[4];
    l.remarkRecords = s.errorLimits[5];
    l.text = s.errorLimits[6];
    return l;
}

void setErrorLimits(Settings &s, const CardLimits &l)
{
    s.errorLimits = {l.ids, l.names, l.profile, l.mailLog, l.exchangeRecords, l.remarkRecords,
                     l.text};
}
