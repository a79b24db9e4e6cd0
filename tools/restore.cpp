#include "tools/restore.h"

#include <QList>
#include <algorithm>
#include <vector>

#include "common/textcompare.h"
#include "core/cardops.h"
#include "core/reportbanner.h"
#include "core/validation.h"

namespace {

struct IdEntry
{
    QString key;     // the ID in lower case
    QString summary; // the card summary text
    qsizetype card;  // the card's index when the search started
};

// True for an ID that names nobody: empty, or nothing but blanks
// (half-width or full-width spaces, tabs). Repair gives a card without any
// ID an empty one, so such IDs must never make cards duplicates.
bool isBlankId(QStringView id)
{
    for (const QChar c : id) {
        if (c != u' ' && c != u'\u3000' && c != u'\t')
            return false;
    }
    return true;
}

} // namespace

SeverityCounts countBySeverity(const AddressBook &book)
{
    SeverityCounts counts;
    for (qsizetype i = 1; i < book.cardCount(); ++i) {
        ++counts.cards;
        switch (statusSeverity(book.cards[i].status)) {
        case SeverityBroken:
            ++counts.broken;
            break;
        case SeverityAbnormal:
            ++counts.abnormal;
            break;
        case SeveritySuspicious:
            ++counts.suspicious;
            break;
        default:
            break;
        }
    }
    return counts;
}

CardRepairResult repairFlaggedCards(AddressBook &book, int level, const CardLimits &limits,
                                    DateValue now, const Progress &progress)
{
    CardRepairResult r;
    const qsizetype count = book.cardCount();
    for (qsizetype i = 1; i < count; ++i) {
        if (!keepGoing(progress, i - 1, count - 1)) {
            r.interrupted = true;
            break;
        }
        if (book.cards[i].status == StatusNormal)
            continue;
        Card &card = book.cards[i];
        QStringList &groups = book.cards[0].names;
        const int fixes = repairCard(card, groups, level, now);
        if (fixes >= 1) {
            r.fixes += fixes;
            ++r.fixedCards;
        }
        card.status = validateCard(card, groups, limits, now);
    }
    return r;
}

QString cardRepairMessage(const CardRepairResult &r)
{
    if (r.fixedCards < 1 && r.fixes < 1)
        return QStringLiteral("修復個所はありませんでした。");
    return QString::number(r.fixedCards) + QStringLiteral(" 枚のｶｰﾄﾞ（")
        + QString::number(r.fixes) + QStringLiteral(" 個所）を修復しました。");
}

DuplicateIdResult handleDuplicateIds(AddressBook &book, DuplicateIdMode mode,
                                     const CardLimits &limits, DateValue now,
                                     const Progress &progress)
{
    DuplicateIdResult r;
    const bool merge = mode == DuplicateIdMode::Merge;
    const qsizetype cardCount = book.cardCount();

    std::vector<IdEntry> entries;
    for (qsizetype i = 1; i < cardCount; ++i) {
        const Card &c = book.cards[i];
        if (c.ids.isEmpty())
            continue;
        const QString summary = cardSummaryText(c);
        for (const QString &id : c.ids) {
            if (!isBlankId(id))
                entries.push_back({id.toLower(), summary, i});
        }
    }
    // Equal keys must end up next to each other, so the keys are ordered
    // exactly; the summaries by text comparison, the card order last.
    std::stable_sort(entries.begin(), entries.end(), [](const IdEntry &a, const IdEntry &b) {
        if (const int c = QStringView(a.key).compare(QStringView(b.key)); c != 0)
            return c < 0;
        return textOrder(a.summary, b.summary) < 0;
    });

    // Cards are removed only at the end, so indices stay valid during the
    // walk; a merged-away card is remembered with the card it went into.
    std::vector<qsizetype> survivor(size_t(cardCount), -1);
    std::vector<bool> touched(size_t(cardCount), false);
    // Record lists gathered by merges, put in order once at the end.
    std::vector<PendingRecordLists> pending(merge ? size_t(cardCount) : 0);
    const auto resolve = [&survivor](qsizetype i) {
        while (survivor[size_t(i)] >= 0)
            i = survivor[size_t(i)];
        return i;
    };

    const qsizetype n = qsizetype(entries.size());
    for (qsizetype k = 0; k + 1 < n; ++k) {
        if (!keepGoing(progress, k, n - 1)) {
            r.interrupted = true;
            break;
        }
        const IdEntry &first = entries[size_t(k)];
        const IdEntry &second = entries[size_t(k + 1)];
        if (first.key != second.key)
            continue;
        ++r.duplicates;
        const qsizetype a = merge ? resolve(first.card) : first.card;
        const qsizetype b = merge ? resolve(second.card) : second.card;
        // The label follows the cards the two entries came from, before any
        // merge: a pair from two cards stays a pair from two cards.
        if (first.card == second.card) {
            r.lines += first.summary + QStringLiteral("（カード内で重複）\r\n");
            if (!merge)
                continue;
            // Keep the first occurrence; remove the last repeat. A card that
            // took the other card's IDs in a merge may hold the ID only once
            // by now: then there is nothing to remove.
            QStringList &ids = book.cards[a].ids;
            qsizetype firstAt = 0;
            while (firstAt < ids.size() && ids[firstAt].toLower() != first.key)
                ++firstAt;
            for (qsizetype p = ids.size() - 1; p > firstAt; --p) {
                if (ids[p].toLower() == first.key) {
                    ids.removeAt(p);
                    ++r.removedIds;
                    touched[size_t(a)] = true;
                    break;
                }
            }
            continue;
        }
        r.lines += first.summary + QStringLiteral("（別カードで重複）\r\n");
        if (!merge || a == b) // an earlier pair already made them one card
            continue;
        const bool firstIsNewer = book.cards[a].updated > book.cards[b].updated;
        const qsizetype target = firstIsNewer ? a : b;
        const qsizetype source = firstIsNewer ? b : a;
        // The merged-away card is dropped at the end: its lists are taken.
        mergeCardsPending(book.cards[target], std::move(book.cards[source]),
                          pending[size_t(target)], &pending[size_t(source)]);
        survivor[size_t(source)] = target;
        touched[size_t(target)] = true;
        ++r.mergedCards;
    }

    if (merge && (r.mergedCards > 0 || r.removedIds > 0)) {
        QList<Card> kept;
        kept.reserve(cardCount - r.mergedCards);
        kept.append(std::move(book.cards[0]));
        for (qsizetype i = 1; i < cardCount; ++i) {
            if (survivor[size_t(i)] >= 0)
                continue;
            Card &c = book.cards[i];
            finishRecordLists(c, pending[size_t(i)]);
            if (touched[size_t(i)])
                c.status = validateCard(c, kept.first().names, limits, now);
            kept.append(std::move(c));
        }
        book.cards = std::move(kept);
    }
    return r;
}

QString noDuplicateIdMessage()
{
    return QStringLiteral("IDの重複はありませんでした。");
}

QString duplicateIdReport(const DuplicateIdResult &r, DuplicateIdMode mode,
                          const QDateTime &stamp)
{
    const QString crlf = QStringLiteral("\r\n");
    QString text = reportBanner(QStringLiteral("重複ID一覧"), stamp) + r.lines + reportRule()
        + crlf + QString::number(r.duplicates);
    text += mode == DuplicateIdMode::Merge ? QStringLiteral(" 個のIDが重複していました。")
                                           : QStringLiteral(" 個のIDが重複しています。");
    return text;
}

QString duplicateIdReportTitle(DuplicateIdMode mode)
{
    return mode == DuplicateIdMode::Merge ? QStringLiteral("重複IDの統合処理レポート")
                                          : QStringLiteral("重複IDの検索レポート");
}

QString duplicateIdReportFileName()
{
    return QStringLiteral("ID統合");
}
