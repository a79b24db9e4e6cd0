#include "shell/winehost.h"

#include <QDir>
#include <QFileInfo>

#include "common/boundedread.h"
#include "common/textwidth.h"

namespace {

const QString ClassesPrefix = QStringLiteral("software\\classes\\");

// The end of the quoted text starting after position open (a '"'), or -1.
qsizetype closingQuote(QByteArrayView line, qsizetype open)
{
    for (qsizetype i = open + 1; i < line.size(); ++i) {
        if (line[i] == '\\')
            ++i;
        else if (line[i] == '"')
            return i;
    }
    return -1;
}

QByteArrayView lineAt(QByteArrayView text, qsizetype pos, qsizetype &next)
{
    qsizetype end = text.indexOf('\n', pos);
    if (end < 0)
        end = text.size();
    next = end + 1;
    QByteArrayView line = text.sliced(pos, end - pos);
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

// A registry file of the prefix; empty when it is missing, not a regular
// file or implausibly large (a real prefix's files run to tens of MiB).
QByteArray readRegistryFile(const QString &path)
{
    QByteArray bytes;
    if (readRegularFile(path, MaxRegistryFileSize, bytes) != ReadFault::None)
        bytes.clear();
    return bytes;
}

// The entry of folder named name, matched exactly or else ignoring case.
QString resolveComponent(const QString &folder, const QString &name)
{
    const QString exact = folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
    if (QFileInfo::exists(exact))
        return exact;
    const QStringList entries = QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &e : entries)
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            return folder.endsWith(u'/') ? folder + e : folder + u'/' + e;
    return exact;
}

} // namespace

QString unescapeWineString(QByteArrayView text)
{
    const QString s = QString::fromUtf8(text);
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c != u'\\' || i + 1 >= s.size()) {
            out += c;
            continue;
        }
        const char16_t e = s[++i].unicode();
        switch (e) {
        case u'a': out += QChar(7); break;
        case u'b': out += QChar(8); break;
        case u'e': out += QChar(27); break;
        case u'f': out += QChar(12); break;
        case u'n': out += QChar(10); break;
        case u'r': out += QChar(13); break;
        case u't': out += QChar(9); break;
        case u'v': out += QChar(11); break;
        case u'x': {
            char16_t v = 0;
            int n = 0;
            while (n < 4 && i + 1 < s.size() && hexValue(s[i + 1].unicode()) >= 0) {
                v = char16_t(v * 16 + hexValue(s[++i].unicode()));
                ++n;
            }
            out += n ? QChar(v) : QChar(u'x');
            break;
        }
        default:
            if (e >= u'0' && e <= u'7') {
                char16_t v = char16_t(e - u'0');
                for (int n = 1; n < 3 && i + 1 < s.size() && s[i + 1] >= u'0' && s[i + 1] <= u'7';
                     ++n)
                    v = char16_t(v * 8 + (s[++i].unicode() - u'0'));
                out += QChar(v);
            } else {
                out += QChar(e);
            }
        }
    }
    return out;
}

WineRegistryFile::WineRegistryFile(QByteArray text) : m_text(std::move(text))
{
    const QByteArrayView all(m_text);
    qsizetype pos = 0;
    while (pos < all.size()) {
        qsizetype next = 0;
        const QByteArrayView line = lineAt(all, pos, next);
        pos = next;
        // Only keys below Software\Classes; "\" is doubled in the file.
        static constexpr QByteArrayView RawPrefix("[software\\\\classes\\\\");
        if (line.size() < RawPrefix.size()
            || qstrnicmp(line.data(), RawPrefix.data(), size_t(RawPrefix.size())) != 0)
            continue;
        // The key name runs to the first unescaped "]".
        qsizetype end = -1;
        for (qsizetype i = 1; i < line.size(); ++i) {
            if (line[i] == '\\')
                ++i;
            else if (line[i] == ']') {
                end = i;
                break;
            }
        }
        if (end < 0)
            continue;
        const QString key = unescapeWineString(line.sliced(1, end - 1)).toLower();
        if (key.startsWith(ClassesPrefix))
            m_keys.insert(key.mid(ClassesPrefix.size()), std::min(pos, all.size()));
    }
}

bool WineRegistryFile::value(const QString &key, const QString &name, QString &out) const
{
    QString k = key.toLower();
    k.replace(u'/', u'\\');
    while (k.endsWith(u'\\'))
        k.chop(1);
    const auto it = m_keys.constFind(k);
    if (it == m_keys.constEnd())
        return false;
    const QByteArrayView all(m_text);
    qsizetype pos = *it;
    while (pos < all.size()) {
        qsizetype next = 0;
        const QByteArrayView line = lineAt(all, pos, next);
        pos = next;
        if (line.startsWith('['))
            break;
        qsizetype eq = -1;
        QString valueName;
        if (line.startsWith("@=")) {
            eq = 1;
        } else if (line.startsWith('"')) {
            const qsizetype close = closingQuote(line, 0);
            if (close < 0 || close + 1 >= line.size() || line[close + 1] != '=')
                continue;
            valueName = unescapeWineString(line.sliced(1, close - 1));
            eq = close + 1;
        } else {
            continue; // comments (#time=...), continuation lines
        }
        if (valueName.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        // Only plain strings; str(2):"...", dword:, hex: are other types.
        if (eq + 1 >= line.size() || line[eq + 1] != '"')
            return false;
        const qsizetype close = closingQuote(line, eq + 1);
        if (close < 0)
            return false;
        out = unescapeWineString(line.sliced(eq + 2, close - eq - 2));
        return true;
    }
    return false;
}

struct WineHost::Registry
{
    WineRegistryFile system;
    WineRegistryFile user;
};

WineHost WineHost::fromEnvironment()
{
    QString prefix = qEnvironmentVariable("WINEPREFIX");
    if (prefix.isEmpty())
        prefix = QDir::homePath() + QStringLiteral("/.wine");
    return WineHost(prefix);
}

WineHost::WineHost(QString prefix)
    : m_prefix(prefix.isEmpty() ? prefix : QFileInfo(prefix).absoluteFilePath())
{
}
WineHost::~WineHost() = default;
WineHost::WineHost(WineHost &&) noexcept = default;
WineHost &WineHost::operator=(WineHost &&) noexcept = default;

const WineHost::Registry &WineHost::registry() const
{
    if (!m_registry) {
        m_registry = std::make_unique<Registry>();
        if (!m_prefix.isEmpty()) {
            m_registry->system = WineRegistryFile(readRegistryFile(m_prefix + QStringLiteral("/system.reg")));
            m_registry->user = WineRegistryFile(readRegistryFile(m_prefix + QStringLiteral("/user.reg")));
        }
    }
    return *m_registry;
}

QString WineHost::classesRootValue(const QString &key, const QString &name) const
{
    const Registry &r = registry();
    QString v;
    if (!r.user.value(key, name, v) && !r.system.value(key, name, v))
        return QString();
    const qsizetype nul = v.indexOf(QChar(0));
    if (nul >= 0)
        v.truncate(nul);
    return v.left(255);
}

QString WineHost::localPath(const QString &windowsPath, const QString &baseFolder) const
{
    const QString &w = windowsPath;
    const auto isSep = [](QChar c) { return c == u'\\' || c == u'/'; };
    if (w.isEmpty() || (w.size() >= 2 && isSep(w[0]) && isSep(w[1])))
        return QString(); // UNC names have no local form
    QString path;
    QStringView rest;
    if (w.size() >= 2 && w[1] == u':') {
        if (w.size() < 3 || !isSep(w[2]) || !w[0].isLetter() || w[0].unicode() > 0x7f)
            return QString(); // drive-relative or not a drive
        const QChar drive = w[0].toLower();
        if (!m_prefix.isEmpty())
            path = m_prefix + QStringLiteral("/dosdevices/") + drive + u':';
        if (path.isEmpty() || !QFileInfo::exists(path)) {
            // Wine maps Z: to the root of the file system unless the prefix
            // says otherwise; Brindle itself stores paths outside Corvid's
            // folders that way.
            if (drive != u'z')
                return QString();
            path = QStringLiteral("/");
        }
        rest = QStringView(w).mid(3);
    } else {
        if (baseFolder.isEmpty())
            return QString();
        path = baseFolder;
        while (path.size() > 1 && path.endsWith(u'/'))
            path.chop(1);
        rest = w;
    }
    const qsizetype rootLength = path.size();
    for (const QStringView part : rest.tokenize(u'\\', Qt::SkipEmptyParts)) {
        for (const QStringView comp : part.tokenize(u'/', Qt::SkipEmptyParts)) {
            if (comp == u".")
                continue;
            if (comp == u"..") {
                const qsizetype slash = path.lastIndexOf(u'/');
                if (slash >= rootLength)
                    path.truncate(slash);
                else if (slash == rootLength - 1 && path.size() > rootLength)
                    path.truncate(rootLength); // back to a root ending in "/"
                continue;
            }
            path = resolveComponent(path, comp.toString());
        }
    }
    return path;
}
