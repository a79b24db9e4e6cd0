#include "core/addresslist.h"

#include <QHash>
#include <algorithm>

#include "common/oledate.h"
#include "common/textcompare.h"
#include "common/textwidth.h"
#include "core/validation.h"

namespace {

constexpr int NameColumns = 20;
constexpr int IdColumns = 30;

QString sortDateText(DateValue v)
{
    const QDateTime dt = oleToDateTime(v);
    return v == NoDate || !dt.isValid() ? QString()
                                        : dt.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

QString statusSuffix(qint32 status)
{
    if (status == 0)
        return {};
    return severityMark(statusSeverity(status)) + QLatin1Char(' ') + statusMessage(status);
}

QString lineText(const QString &name, const QString &id, qint32 status)
{
    return fitWidth(name, NameColumns) + QLatin1Char(' ') + fitWidth(id, IdColumns)
        + QLatin1Char(' ') + statusSuffix(status);
}

} // namespace

QString DomainGet(QStringView id)
{
    const qsizetype at = id.indexOf(u'@');
    return at < 0 ? QString() : id.mid(at + 1).toString();
}

QList<ListLine> cardListLines(const Card &card, int sortOrder)
{
    QList<ListLine> out;
    const bool perId = sortOrder == SortById || sortOrder == SortByDomain;
    const QString firstName = card.names.value(0);
    const QString firstId = card.ids.value(0);

    auto keyFor = [&](const QString &entry) -> QString {
        switch (sortOrder) {
        case SortById: return entry;
        case SortByDomain: return DomainGet(entry) + QLatin1Char(' ') + entry;
        case SortByCreated: return sortDateText(card.created);
        case SortByUpdated: return sortDateText(card.updated);
        case SortByStatus:
            return (card.status == 0 ? QStringLiteral("9999")
                                     : QStringLiteral("%1").arg(card.status, 4, 10, QLatin1Char('0')))
                + entry;
        default: return entry;
        }
    };

    const QStringList &entries = perId ? card.ids : card.names;
    if (entries.isEmpty()) {
        // One line with a blank column; its key has no entry part.
        QString key;
        if (sortOrder == SortByCreated || sortOrder == SortByUpdated || sortOrder == SortByStatus)
            key = keyFor(QString());
        out.append({key, perId ? lineText(firstName, QString(), card.status)
                               : lineText(QString(), firstId, card.status),
                    card.number, card.status, perId ? firstName : QString(),
                    perId ? QString() : firstId});
        return out;
    }
    out.reserve(entries.size());
    for (const QString &e : entries)
        out.append({keyFor(e), perId ? lineText(firstName, e, card.status)
                                     : lineText(e, firstId, card.status),
                    card.number, card.status, perId ? firstName : e, perId ? e : firstId});
    return out;
}

void sortListLines(QList<ListLine> &lines)
{
    if (lines.size() < 2)
        return;
    // Fold once per line instead of once per comparison.
    struct Keyed { QString key; QString text; qsizetype index; };
    QList<Keyed> keyed;
    keyed.reserve(lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i)
        keyed.append({textKey(lines[i].key), textKey(lines[i].text), i});
    std::sort(keyed.begin(), keyed.end(), [&](const Keyed &a, const Keyed &b) {
        if (int c = QStringView(a.key).compare(QStringView(b.key)))
            return c < 0;
        if (int c = QStringView(a.text).compare(QStringView(b.text)))
            return c < 0;
        const ListLine &x = lines[a.index];
        const ListLine &y = lines[b.index];
        if (int c = QStringView(x.key).compare(QStringView(y.key)))
            return c < 0;
        if (int c = QStringView(x.text).compare(QStringView(y.text)))
            return c < 0;
        return a.index < b.index;
    });
    QList<ListLine> sorted;
    sorted.reserve(lines.size());
    for (const Keyed &k : keyed)
        sorted.append(std::move(lines[k.index]));
    lines = std::move(sorted);
}

BuildResult buildListLines(const AddressBook &book, const QList<qint32> &displayList,
                           int sortOrder, QList<ListLine> &out, const Progress &progress)
{
    QHash<qint32, qsizetype> indexOf;
    indexOf.reserve(book.cardCount());
    for (qsizetype i = book.cardCount() - 1; i >= 1; --i)
        indexOf.insert(book.cards[i].number, i); // the first card of a number wins
    QList<qsizetype> indices;
    indices.reserve(displayList.size());
    for (qint32 n : displayList) {
        const auto it = indexOf.constFind(n);
        if (it == indexOf.constEnd())
            return BuildResult::MissingCard;
        indices.append(*it);
    }
    QList<ListLine> lines;
    lines.reserve(displayList.size() + 100);
    for (qsizetype i = 0; i < indices.size(); ++i) {
        if (!keepGoing(progress, i, indices.size()))
            return BuildResult::Interrupted;
        lines.append(cardListLines(book.cards[indices[i]], sortOrder));
    }
    sortListLines(lines);
    out = std::move(lines);
    return BuildResult::Done;
}

int AddressListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

QVariant AddressListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_lines.size())
        return {};
    const ListLine &l = m_lines[index.row()];
    switch (role) {
    case Qt::DisplayRole: return l.text;
    case CardNumberRole: return l.cardNumber;
    case StatusRole: return l.status;
    default: return {};
    }
}

void AddressListModel::setLines(QList<ListLine> lines)
{
    beginResetModel();
    m_lines = std::move(lines);
    endResetModel();
}

void AddressListModel::appendLines(const QList<ListLine> &lines)
{
    if (lines.isEmpty())
        return;
    beginInsertRows({}, int(m_lines.size()), int(m_lines.size() + lines.size() - 1));
    m_lines.append(lines);
    endInsertRows();
}

void AddressListModel::removeRowsOfCard(qint32 cardNumber)
{
    for (int row = int(m_lines.size()) - 1; row >= 0; --row) {
        if (m_lines[row].cardNumber != cardNumber)
            continue;
        int first = row;
        while (first > 0 && m_lines[first - 1].cardNumber == cardNumber)
            --first;
        beginRemoveRows({}, first, row);
        m_lines.remove(first, row - first + 1);
        endRemoveRows();
        row = first;
    }
}

void AddressListModel::removeRowsOfCards(const QSet<qint32> &cardNumbers)
{
    QList<ListLine> kept;
    kept.reserve(m_lines.size());
    for (const ListLine &line : std::as_const(m_lines))
        if (!cardNumbers.contains(line.cardNumber))
            kept.append(line);
    if (kept.size() != m_lines.size())
        setLines(std::move(kept));
}

int AddressListModel::firstRowOfCard(qint32 cardNumber) const
{
    for (int row = 0; row < m_lines.size(); ++row)
        if (m_lines[row].cardNumber == cardNumber)
            return row;
    return -1;
}
