#include "cardedit/cardeditlogic.h"

#include "common/likematch.h"

#include <QFileInfo>

#include "cardedit/cardedittexts.h"
#include "common/cp932.h"
#include "common/dateutil.h"
#include "common/oledate.h"
#include "common/paths.h"
#include "common/profilefiles.h"
#include "common/textcompare.h"

namespace {

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// Replaces each field name of fields (longest first) by its value.
QString fillPattern(QStringView pattern, const QList<std::pair<QStringView, QString>> &fields)
{
    QString out;
    qsizetype i = 0;
    while (i < pattern.size()) {
        bool hit = false;
        for (const auto &[name, value] : fields) {
            if (pattern.mid(i).startsWith(name)) {
                out += value;
                i += name.size();
                hit = true;
                break;
            }
        }
        if (!hit)
            out += pattern[i++];
    }
    return out;
}

} // namespace

QString formatDatePattern(QStringView pattern, QDate date)
{
    return fillPattern(pattern, {{u"yyyy", QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'))},
                                 {u"yy", twoDigits(((date.year() % 100) + 100) % 100)},
                                 {u"mm", twoDigits(date.month())},
                                 {u"dd", twoDigits(date.day())}});
}

QString formatTimePattern(QStringView pattern, QTime time)
{
    return fillPattern(pattern, {{u"hh", twoDigits(time.hour())},
                                 {u"mm", twoDigits(time.minute())},
                                 {u"ss", twoDigits(time.second())}});
}

bool hasShowableDate(DateValue v)
{
    return v != NoDate && oleToDateTime(v).isValid();
}

QString dateDisplayText(DateValue v)
{
    if (!hasShowableDate(v))
        return CardEditText::Unknown;
    return formatDatePattern(CardEditText::DateFormat, oleToDate(v));
}

QString timeDisplayText(DateValue v)
{
    if (!hasShowableDate(v))
        return CardEditText::Unknown;
    return formatTimePattern(CardEditText::TimeFormat, oleToDateTime(v).time());
}

QString ageText(DateValue birthday, QDate today)
{
    if (!hasShowableDate(birthday))
        return QString();
    const int years = age(birthday, oleFromDate(today));
    const int days = daysToNextBirthday(birthday, today);
    if (years < 0 || days < 0)
        return QString();
    QString text = CardEditText::AgePrefix + QString::number(years) + CardEditText::AgeSuffix;
    switch (days) {
    case 0: return text + CardEditText::BirthdayToday;
    case 1: return text + CardEditText::BirthdayTomorrow;
    case 2: return text + CardEditText::BirthdayInTwoDays;
    case 7: return text + CardEditText::BirthdayInAWeek;
    default:
        return text + CardEditText::BirthdayInPrefix + QString::number(days)
            + CardEditText::BirthdayInSuffix;
    }
}

int otherCardWithId(const AddressBook &book, QStringView id, int skipIndex)
{
    for (qsizetype i = 1; i < book.cards.size(); ++i) {
        if (i == skipIndex)
            continue;
        for (const QString &own : book.cards[i].ids)
            if (textEqual(own, id))
                return int(i);
    }
    return -1;
}

bool hasProfileIdShape(QStringView id)
{
    return likeMatch(id, u"???#####");
}

QString profileFileId(const QStringList &ids)
{
    for (const QString &id : ids)
        if (hasProfileIdShape(id))
            return id;
    return ids.isEmpty() ? QStringLiteral("*") : ids.last();
}

ProfileEntryParts splitProfileEntry(const QString &entry)
{
    ProfileEntryParts p;
    const qsizetype tab = entry.indexOf(u'\t');
    if (tab < 0) {
        p.title = entry;
        return p;
    }
    p.hasTab = true;
    p.title = entry.left(tab);
    p.value = entry.mid(tab + 1);
    return p;
}

QString profileValueText(const QString &value, const CardEditOptions &options)
{
    if (value.compare(CardEditText::ProfileNone, Qt::CaseInsensitive) == 0)
        return CardEditText::NoProfile;
    QString path;
    if (value.contains(u'\\')) {
        if (options.hostToLocalPath)
            path = options.hostToLocalPath(value);
    } else {
        if (options.sharedLogFolder.isEmpty() || !isFolder(options.sharedLogFolder))
            return CardEditText::NoSharedFolder;
        if (isSinglePathComponent(value))
            path = findEntryIgnoringCase(profileFolderOf(options.sharedLogFolder), value);
    }
    QString text;
    if (path.isEmpty() || !readProfileFile(path, text))
        return CardEditText::NoProfile;
    return text;
}

QString profileValueForFile(const QString &path, const CardEditOptions &options)
{
    const QString folder = profileFolderOf(options.sharedLogFolder);
    const QFileInfo info(path);
    if (!folder.isEmpty()) {
        const QString parent = canonicalPath(info.absolutePath(), PathKind::Folder);
        if (!parent.isEmpty() && parent == canonicalPath(folder, PathKind::Folder))
            return info.fileName();
    }
    if (options.localToHostPath) {
        const QString host = options.localToHostPath(info.absoluteFilePath());
        if (!host.isEmpty())
            return host;
    }
    return path;
}

QString newProfileEntry(QDate today, const QString &value)
{
    return formatDatePattern(CardEditText::NewEntryDateFormat, today) + u'\t' + value;
}

QString memoToEditor(const QString &memo)
{
    QString s = memo;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

QString memoFromEditor(const QString &text)
{
    QString s = text;
    s.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return s;
}

QStringList unwritableCharacters(const Card &card)
{
    QStringList out;
    const auto collect = [&out](const QString &text) {
        if (cp932::firstUnencodable(text) < 0)
            return;
        for (const QString &c : cp932::unencodableCharacters(text))
            if (!out.contains(c))
                out.append(c);
    };
    for (int kind = 0; kind < CardItemKindCount; ++kind) {
        switch (itemTypeOf(kind)) {
        case ItemType::String:
            collect(*card.stringField(kind));
            break;
        case ItemType::StringList:
            for (const QString &s : *card.listField(kind))
                collect(s);
            break;
        default:
            break;
        }
    }
    return out;
}

QString unwritableCharactersQuestion(const QStringList &characters)
{
    constexpr qsizetype Shown = 20;
    QStringList shown;
    for (const QString &c : characters.mid(0, Shown)) {
        const char32_t u = c.size() == 2 ? QChar::surrogateToUcs4(c[0], c[1]) : c[0].unicode();
        const QChar::Category cat = QChar::category(u);
        const bool invisible = QChar::isSpace(u) || cat == QChar::Other_Control
            || cat == QChar::Other_Format || cat == QChar::Other_Surrogate
            || cat == QChar::Other_PrivateUse || cat == QChar::Other_NotAssigned;
        shown << (invisible ? QStringLiteral("U+%1").arg(quint32(u), 4, 16, QLatin1Char('0')).toUpper()
                            : c);
    }
    QString list = shown.join(u' ');
    if (characters.size() > Shown)
        list += QStringLiteral(" … (%1 文字)").arg(characters.size());
    return CardEditText::UnwritableCharacters + u'\n' + list + u'\n' + CardEditText::AskSaveAnyway;
}
