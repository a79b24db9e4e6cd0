#include "tools/idconv.h"
#include "common/textwidth.h"

#include <QHash>

#include "common/likematch.h"
#include "common/textcompare.h"
#include "core/reportbanner.h"
#include "core/validation.h"

namespace {

// IDs shorter than this are never mail addresses of the service.
constexpr qsizetype ShortestServiceAddress = 9;


// Whether the card holds id (text comparison) at a position other than skip.
bool holdsId(const Card &card, QStringView id, qsizetype skip)
{
    for (qsizetype k = 0; k < card.ids.size(); ++k)
        if (k != skip && equalUnder(Comparison::Text, card.ids[k], id))
            return true;
    return false;
}

int setFlags(AddressBook &book, int kind, quint8 value, const CardLimits &limits, DateValue now,
             const Progress &progress)
{
    int changed = 0;
    const qsizetype count = book.cardCount();
    for (qsizetype i = 1; i < count; ++i) {
        if (!keepGoing(progress, i - 1, count - 1))
            return -1;
        Card &c = book.cards[i];
        quint8 &flag = *c.flagField(kind);
        if (flag == value)
            continue;
        flag = value;
        c.status = validateCard(c, std::as_const(book).groupList(), limits, now);
        ++changed;
    }
    return changed;
}

} // namespace

QStringList serviceMailDomains()
{
    return {QStringLiteral("nifty.com"), QStringLiteral("niftyserve.or.jp"),
            QStringLiteral("nifty.ne.jp")};
}

bool isLegacyServiceId(QStringView id)
{
    return likeMatch(id, u"[A-Za-z][A-Za-z][A-Za-z]#####");
}

QString normalisedServiceId(QStringView local)
{
    const QString id = trimmedSpaces(local);
    return isLegacyServiceId(id) ? id.toUpper() : id.toLower();
}

QString serviceLocalPart(const QString &id, const QStringList &domains)
{
    if (id.size() < ShortestServiceAddress)
        return QString();
    const QString u = trimmedSpaces(id).toUpper();
    const qsizetype at = u.indexOf(u'@');
    if (at < 1)
        return QString();
    const QStringView domain = QStringView(u).mid(at + 1);
    for (const QString &d : domains)
        if (domain == d.toUpper())
            return u.left(at);
    return QString();
}

IdConversionResult convertServiceIds(AddressBook &book, const CardLimits &limits, DateValue now,
                                     const QStringList &domains, const Progress &progress)
{
    IdConversionResult r;
    const qsizetype count = book.cardCount();
    // The first card holding each ID without "@" (the only IDs a local part
    // can equal), by folded key: the lookup a linear search by text
    // comparison would do, kept up to date as IDs are converted.
    QHash<QString, qsizetype> firstHolder;
    for (qsizetype i = 1; i < count; ++i)
        for (const QString &id : book.cards[i].ids)
            if (!id.contains(u'@')) {
                const QString key = textKey(id);
                if (!firstHolder.contains(key))
                    firstHolder.insert(key, i);
            }
    for (qsizetype j = 1; j < count; ++j) {
        if (!keepGoing(progress, j - 1, count - 1)) {
            r.interrupted = true;
            break;
        }
        bool changed = false;
        qsizetype k = 0;
        while (k < book.cards[j].ids.size()) {
            const QString local = serviceLocalPart(book.cards[j].ids[k], domains);
            if (local.isNull()) {
                ++k;
                continue;
            }
            // The card itself already holding the bare ID comes first, even
            // when an earlier card holds it too: the card must not end up
            // with the same ID twice.
            Card &card = book.cards[j];
            ++r.convertedIds;
            changed = true;
            if (holdsId(card, local, k)) {
                card.ids.removeAt(k);
                continue;
            }
            const QString bare = normalisedServiceId(local);
            const QString key = textKey(local);
            const auto holder = firstHolder.constFind(key);
            card.ids[k] = bare;
            // The list names the local part as the address gave it, in
            // upper case, whatever form the converted ID takes.
            if (holder != firstHolder.cend() && holder.value() != j)
                r.duplicates.append(local);
            if (holder == firstHolder.cend() || holder.value() > j)
                firstHolder.insert(key, j);
            ++k;
        }
        if (changed) {
            ++r.changedCards;
            Card &card = book.cards[j];
            card.status = validateCard(card, std::as_const(book).groupList(), limits, now);
        }
    }
    return r;
}

QString idConversionMessage(const IdConversionResult &r)
{
    if (r.changedCards < 1 && r.convertedIds < 1)
        return QStringLiteral("変換するIDはみつかりませんでした。");
    return QString::number(r.changedCards) + QStringLiteral(" 枚のｶｰﾄﾞに含まれる、")
        + QString::number(r.convertedIds) + QStringLiteral(" 個のIDを変換しました。");
}

QString idConversionDuplicateReport(const IdConversionResult &r)
{
    if (r.duplicates.isEmpty())
        return QString();
    const QString crlf = QStringLiteral("\r\n");
    QString text = QStringLiteral("IDの変換処理により、以下の ")
        + QString::number(r.duplicates.size()) + QStringLiteral("個のIDが重複します。") + crlf
        + reportRule() + crlf;
    for (const QString &id : r.duplicates)
        text += id + crlf;
    text += reportRule() + crlf + QStringLiteral("カードの修復をお勧めします。");
    return text;
}

QString idConversionReportTitle()
{
    return QStringLiteral("ID変換による重複リスト");
}

QString idConversionReportFileName()
{
    return QStringLiteral("重複IDリスト");
}

int setExchangeAutoRecord(AddressBook &book, quint8 value, const CardLimits &limits,
                          DateValue now, const Progress &progress)
{
    return setFlags(book, KindExchangeAutoRecord, value, limits, now, progress);
}

int setRemarkAutoRecord(AddressBook &book, quint8 value, const CardLimits &limits, DateValue now,
                        const Progress &progress)
{
    return setFlags(book, KindRemarkAutoRecord, value, limits, now, progress);
}

QString exchangeFlagsMessage(int changedCards)
{
    if (changedCards < 1)
        return QStringLiteral("交流記録を変更するｶｰﾄﾞはありませんでした。");
    return QString::number(changedCards) + QStringLiteral(" 枚のｶｰﾄﾞの交流記録の設定を変更しました。");
}

QString remarkFlagsMessage(int changedCards)
{
    if (changedCards < 1)
        return QStringLiteral("発言記録を変更するｶｰﾄﾞはありませんでした。");
    return QString::number(changedCards) + QStringLiteral(" 枚のｶｰﾄﾞの発言記録の設定を変更しました。");
}
