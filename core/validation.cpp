#include "core/validation.h"

#include <QSet>
#include <algorithm>

#include "common/likematch.h"
#include "common/textwidth.h"
#include "core/cardops.h"

const QString MailLogPattern = QStringLiteral("##/##/## [受送]信 ???##### ???##### ???????? *");
const QString ExchangeRecordPattern = QStringLiteral("##/##/## ##:##[ap]m *");
const QString RemarkRecordPattern = QStringLiteral("##/##/## *");

namespace {

bool isValidDate(DateValue v)
{
    return v != NoDate && isShowableDate(v);
}

template<typename Pred>
bool allOf(const QStringList &list, Pred pred)
{
    return std::all_of(list.cbegin(), list.cend(), [&](const QString &s) { return pred(s); });
}

// Removes the entries failing keep; returns how many were removed.
template<typename Pred>
int removeUnless(QStringList &list, Pred keep)
{
    const qsizetype before = list.size();
    list.removeIf([&](const QString &s) { return !keep(s); });
    return int(before - list.size());
}

// Removes the entries blank after trimming, but never the last one left.
int removeBlankKeepingOne(QStringList &list)
{
    int removed = 0;
    for (qsizetype i = 0; i < list.size() && list.size() > 1;) {
        if (trimSpaces(list[i]).isEmpty()) {
            list.removeAt(i);
            ++removed;
        } else {
            ++i;
        }
    }
    return removed;
}

qsizetype textLength(const Card &c)
{
    return c.address.size() + c.pager.size() + c.fax.size() + c.mobile.size() + c.memo.size()
        + c.postalCode.size() + c.telephone.size();
}

bool isFlag(quint8 v)
{
    return v == FlagOn || v == FlagOff;
}

} // namespace

bool isValidMailLogLine(QStringView line)
{
    return likeMatch(line, MailLogPattern);
}

bool isValidExchangeRecord(QStringView line)
{
    return likeMatch(line, ExchangeRecordPattern);
}

bool isValidRemarkRecord(QStringView line)
{
    return likeMatch(line, RemarkRecordPattern);
}

bool isValidProfileEntry(QStringView entry)
{
    return entry.contains(u'\t');
}

int validateCard(const Card &c, const QStringList &groupList, const CardLimits &limits,
                 DateValue now)
{
    if (c.ids.isEmpty())
        return StatusNoIds;
    if (c.names.isEmpty())
        return StatusNoNames;
    if (!isValidDate(c.created))
        return StatusCreatedBroken;
    if (!isValidDate(c.updated))
        return StatusUpdatedBroken;
    if (c.birthday != NoDate && !isValidDate(c.birthday))
        return StatusBirthdayBroken;
    if (c.itemCount != CardItemKindCount)
        return StatusCardBroken;

    if (!allOf(c.profile, isValidProfileEntry))
        return StatusBadProfile;
    if (!allOf(c.mailLog, isValidMailLogLine))
        return StatusBadMailLog;
    if (!isFlag(c.exchangeAutoRecord))
        return StatusBadExchangeFlag;
    if (!allOf(c.exchangeRecords, isValidExchangeRecord))
        return StatusBadExchangeRecord;
    if (!isFlag(c.remarkAutoRecord))
        return StatusBadRemarkFlag;
    if (!allOf(c.remarkRecords, isValidRemarkRecord))
        return StatusBadRemarkRecord;
    if (!allOf(c.ids, [](QStringView id) { return trimSpaces(id).size() >= 2; }))
        return StatusBadId;
    if (!allOf(c.groups, [&](const QString &g) { return groupList.contains(g); }))
        return StatusUnregisteredGroup;
    if (c.groups.size() > groupList.size())
        return StatusDuplicateGroups;
    if (c.created > c.updated)
        return StatusUpdatedBeforeCreated;

    if (!allOf(c.names, [](QStringView n) { return !trimSpaces(n).isEmpty(); }))
        return StatusBlankName;
    if (c.created > now || c.created < EarliestNaturalDate)
        return StatusOddCreated;
    if (c.updated > now)
        return StatusOddUpdated;
    if (c.birthday != NoDate && (c.birthday > now || c.birthday < EarliestNaturalBirthday))
        return StatusOddBirthday;

    if (c.ids.size() >= limits.ids)
        return StatusTooManyIds;
    if (c.names.size() >= limits.names)
        return StatusTooManyNames;
    if (c.profile.size() >= limits.profile)
        return StatusTooManyProfile;
    if (c.mailLog.size() >= limits.mailLog)
        return StatusTooManyMailLog;
    if (c.exchangeRecords.size() >= limits.exchangeRecords)
        return StatusTooManyExchangeRecords;
    if (c.remarkRecords.size() >= limits.remarkRecords)
        return StatusTooManyRemarkRecords;
    if (textLength(c) >= limits.text)
        return StatusTooMuchText;
    return StatusNormal;
}

int validateAll(AddressBook &book, const CardLimits &limits, DateValue now)
{
    int bad = 0;
    for (qsizetype i = 1; i < book.cards.size(); ++i) {
        Card &c = book.cards[i];
        c.status = validateCard(c, book.groupList(), limits, now);
        if (c.status != StatusNormal)
            ++bad;
    }
    return bad;
}

QString statusMessage(int code)
{
    switch (code) {
    case StatusNormal: return QStringLiteral("正常");
    case StatusNoIds: return QStringLiteral("IDが１件も無い");
    case StatusNoNames: return QStringLiteral("名前が１件も無い");
    case StatusCreatedBroken: return QStringLiteral("作成日時が破損している");
    case StatusUpdatedBroken: return QStringLiteral("更新日時が破損している");
    case StatusBirthdayBroken: return QStringLiteral("誕生日が破損している");
    case StatusCardBroken: return QStringLiteral("カードが破損している");
    case StatusBadProfile: return QStringLiteral("プロフィール異常");
    case StatusBadMailLog: return QStringLiteral("電子メールが異常");
    case StatusBadExchangeFlag: return QStringLiteral("交流記録フラグが異常");
    case StatusBadExchangeRecord: return QStringLiteral("交流記録が異常");
    case StatusBadRemarkFlag: return QStringLiteral("発言記録フラグが異常");
    case StatusBadRemarkRecord: return QStringLiteral("発言記録が異常");
    case StatusBadId: return QStringLiteral("IDが異常");
    case StatusUnregisteredGroup: return QStringLiteral("未登録グループを使用している");
    case StatusDuplicateGroups: return QStringLiteral("グループが重複している");
    case StatusUpdatedBeforeCreated: return QStringLiteral("更新日時が作成日時より古い");
    case StatusBlankName: return QStringLiteral("名前に空白データが混入している");
    case StatusOddCreated: return QStringLiteral("作成日時が不自然");
    case StatusOddUpdated: return QStringLiteral("更新日時が不自然");
    case StatusOddBirthday: return QStringLiteral("誕生日が不自然");
    case StatusTooManyIds: return QStringLiteral("IDが多すぎる");
    case StatusTooManyNames: return QStringLiteral("名前が多すぎる");
    case StatusTooManyProfile: return QStringLiteral("プロフィールが多すぎる");
    case StatusTooManyMailLog: return QStringLiteral("電子メールが多すぎる");
    case StatusTooManyExchangeRecords: return QStringLiteral("交流記録が多すぎる");
    case StatusTooManyRemarkRecords: return QStringLiteral("発言記録が多すぎる");
    case StatusTooMuchText: return QStringLiteral("カードの内容が多すぎる");
    default: return QStringLiteral("未知のエラー");
    }
}

int statusSeverity(int code)
{
    if (code >= 1 && code <= 9)
        return SeverityBroken;
    if (code >= 10 && code <= 99)
        return SeverityAbnormal;
    if (code >= 100 && code <= 999)
        return SeveritySuspicious;
    return SeverityNormal;
}

QChar severityMark(int severity)
{
    static const QString marks = QStringLiteral("？！×");
    return severity >= 1 && severity <= 3 ? marks.at(severity - 1) : QChar(u' ');
}

int repairCard(Card &c, QStringList &groupList, int level, DateValue now)
{
    int fixes = 0;
    auto fix = [&fixes](bool changed) { fixes += changed ? 1 : 0; };

    if (c.ids.isEmpty()) {
        c.ids.append(QString());
        fix(true);
    }
    if (c.names.isEmpty()) {
        c.names.append(QString());
        fix(true);
    }
    if (!isValidDate(c.updated)) {
        c.updated = now;
        fix(true);
    }
    if (!isValidDate(c.created)) {
        c.created = c.updated;
        fix(true);
    }
    if (c.birthday != NoDate && !isValidDate(c.birthday)) {
        c.birthday = NoDate;
        fix(true);
    }
    if (c.itemCount != CardItemKindCount) {
        c.itemCount = CardItemKindCount;
        fix(true);
    }
    if (level == RepairBroken)
        return fixes;

    fixes += removeUnless(c.profile, isValidProfileEntry);
    fixes += removeUnless(c.mailLog, isValidMailLogLine);
    if (!isFlag(c.exchangeAutoRecord)) {
        c.exchangeAutoRecord = FlagOn;
        fix(true);
    }
    fixes += removeUnless(c.exchangeRecords, isValidExchangeRecord);
    if (!isFlag(c.remarkAutoRecord)) {
        c.remarkAutoRecord = FlagOff;
        fix(true);
    }
    fixes += removeUnless(c.remarkRecords, isValidRemarkRecord);
    fixes += removeBlankKeepingOne(c.ids);
    for (const QString &g : std::as_const(c.groups)) {
        if (!groupList.contains(g)) {
            groupList.append(g);
            fix(true);
        }
    }
    if (c.groups.size() > groupList.size()) {
        for (qsizetype i = 0; i < c.groups.size(); ++i) {
            for (qsizetype j = c.groups.size() - 1; j > i; --j) {
                if (c.groups[j] == c.groups[i]) {
                    c.groups.removeAt(j);
                    fix(true);
                }
            }
        }
    }
    if (c.created > c.updated) {
        c.created = c.updated;
        fix(true);
    }
    if (level == RepairAbnormal)
        return fixes;

    fixes += removeBlankKeepingOne(c.names);
    if (c.updated > now || c.updated < EarliestNaturalDate) {
        c.updated = now;
        fix(true);
    }
    if (c.created > now || c.created < EarliestNaturalDate) {
        c.created = c.updated;
        fix(true);
    }
    if (c.birthday != NoDate && (c.birthday > now || c.birthday < EarliestNaturalBirthday)) {
        c.birthday = NoDate;
        fix(true);
    }
    return fixes;
}

int repairCardNumbers(AddressBook &book)
{
    const qsizetype n = book.cards.size();
    // Card indices ordered by number; equal numbers keep book order.
    QList<qsizetype> order;
    order.reserve(n - 1);
    for (qsizetype i = 1; i < n; ++i)
        order.append(i);
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        return book.cards[a].number < book.cards[b].number;
    });

    int fixes = 0;
    // The largest number the counter has to pass; numbers above 32767 are
    // out of its reach and ignored.
    qint32 largest = 0;
    for (const qsizetype i : order)
        if (book.cards[i].number <= MaxCardCounter)
            largest = std::max(largest, book.cards[i].number);
    qint32 counter = book.cardCounter;
    if (counter < 1 || largest >= counter)
        counter = std::min(largest + 1, MaxCardCounter);
    if (counter != book.cardCounter) {
        book.cardCounter = counter;
        ++fixes;
    }

    QSet<qint32> used;
    qint32 lowestFree = 1;
    for (qsizetype k = 0; k + 1 < order.size(); ++k) {
        Card &first = book.cards[order[k]];
        if (first.number != book.cards[order[k + 1]].number)
            continue;
        if (used.isEmpty())
            for (const qsizetype i : order)
                used.insert(book.cards[i].number);
        if (book.cardCounter < MaxCardCounter) {
            first.number = book.cardCounter++;
        } else {
            while (used.contains(lowestFree))
                ++lowestFree;
            first.number = lowestFree;
        }
        used.insert(first.number);
        ++fixes;
    }
    return fixes;
}

QString cardNumberRepairMessage(int n)
{
    return QString::number(n) + QStringLiteral(" 個所のカード番号の破損を修復しました。");
}
