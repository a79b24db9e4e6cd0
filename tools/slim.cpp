#include "tools/slim.h"

#include <algorithm>
#include <vector>

#include "common/textcompare.h"
#include "core/fileinfo.h"
#include "core/ndbfile.h"
#include "core/validation.h"

namespace {

struct LevelText
{
    const char16_t *caption;
    const char16_t *description;
};

const LevelText Levels[SlimLevelCount] = {
    {u"運動", u"履歴情報などの古いものだけ除去します"},
    {u"断食", u"履歴情報を全て除去します"},
    {u"ﾐｲﾗ化", u"１つのIDと名前だけを残し、その他の情報を全て除去します"},
    {u"ｶｽﾀﾑ", u"設定に従った整理を行います"},
};

void setLimit(SlimLimit &l, bool on, int count)
{
    l.on = on;
    if (on)
        l.count = count;
}

// Keeps the first `limit` entries; returns the number dropped.
int keepFirst(QStringList &list, int limit)
{
    if (limit < 0 || limit >= list.size())
        return 0;
    const int dropped = int(list.size()) - limit;
    list.resize(limit);
    return dropped;
}

// Keeps the last `limit` entries; returns the number dropped.
int keepLast(QStringList &list, int limit)
{
    if (limit < 0 || limit >= list.size())
        return 0;
    const int dropped = int(list.size()) - limit;
    list.remove(0, dropped);
    return dropped;
}

// Profile entries whose value could not be fetched end in TAB + "NONE".
int removeNoneEntries(QStringList &profile)
{
    static const QString Tail = QStringLiteral("\tNONE");
    return int(profile.removeIf([](const QString &e) {
        return e.size() >= Tail.size()
            && QStringView(e).right(Tail.size()).compare(Tail, Qt::CaseInsensitive) == 0;
    }));
}

int clearField(QString &field, bool chosen)
{
    if (!chosen || field.isEmpty())
        return 0;
    field.clear();
    return 1;
}

} // namespace

QString slimLevelCaption(int level)
{
    return level >= 0 && level < SlimLevelCount ? QString::fromUtf16(Levels[level].caption)
                                                 : QString();
}

QString slimLevelDescription(int level)
{
    return level >= 0 && level < SlimLevelCount ? QString::fromUtf16(Levels[level].description)
                                                 : QString();
}

void applySlimPreset(SlimOptions &o, int level)
{
    if (level < 0 || level > 2)
        return;
    const bool mummy = level == 2;
    const int history = level == 0 ? 100 : 0;
    setLimit(o.ids, mummy, 1);
    setLimit(o.names, mummy, 1);
    setLimit(o.profile, true, level == 0 ? 10 : 0);
    o.profileNone = true;
    setLimit(o.mailLog, true, history);
    setLimit(o.exchangeRecords, true, history);
    setLimit(o.remarkRecords, true, history);
    o.address = o.telephone = o.fax = o.mobile = o.pager = o.memo = o.groups = mummy;
}

SlimOptions slimPreset(int level)
{
    SlimOptions o;
    applySlimPreset(o, level);
    return o;
}

QString slimOptionsProblem(const SlimOptions &o)
{
    const bool any = o.ids.on || o.names.on || o.profile.on || o.mailLog.on
        || o.exchangeRecords.on || o.remarkRecords.on || o.address || o.telephone || o.fax
        || o.mobile || o.pager || o.memo || o.groups;
    if (!any)
        return QStringLiteral("作業が指示されていません。");
    if (o.ids.on && o.ids.count < 1)
        return QStringLiteral("IDは最低でも1つ必要です。1以上に設定してください。");
    if (o.names.on && o.names.count < 1)
        return QStringLiteral("名前は最低でも1つ必要です。1以上に設定してください。");
    return QString();
}

bool parseSlimCount(const QString &text, int &value)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    if (ok)
        value = v;
    return ok;
}

int keepNewestLines(QStringList &lines, int limit)
{
    const qsizetype n = lines.size();
    if (limit < 0 || limit >= n)
        return 0;
    if (limit == 0) {
        lines.clear();
        return int(n);
    }
    // The two-digit year at the start decides the century: "70" and above
    // are 19xx. The keys are folded once and compared by code unit, which
    // is text comparison; equal keys keep the list order.
    static const QString Pivot = QStringLiteral("70");
    struct Keyed
    {
        QString key;
        qsizetype index;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(size_t(n));
    for (qsizetype i = 0; i < n; ++i) {
        const QString &line = lines[i];
        const bool early = QStringView(line).left(2).compare(Pivot) < 0;
        keyed.push_back({textKey((early ? QStringLiteral("20") : QStringLiteral("19")) + line), i});
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const Keyed &a, const Keyed &b) { return a.key < b.key; });
    std::vector<bool> drop(size_t(n), false);
    const qsizetype dropped = n - limit;
    for (qsizetype i = 0; i < dropped; ++i)
        drop[size_t(keyed[size_t(i)].index)] = true;
    QStringList kept;
    kept.reserve(limit);
    for (qsizetype i = 0; i < n; ++i)
        if (!drop[size_t(i)])
            kept.append(std::move(lines[i]));
    lines = std::move(kept);
    return int(dropped);
}

SlimResult slimBook(AddressBook &book, const SlimOptions &o, const CardLimits &limits,
                    DateValue now, const Progress &progress)
{
    SlimResult r;
    r.sizeBefore = ndbFileSize(book);
    const qsizetype count = book.cardCount();
    for (qsizetype i = 1; i < count; ++i) {
        if (!keepGoing(progress, i - 1, count - 1)) {
            r.interrupted = true;
            break;
        }
        Card &c = book.cards[i];
        int removed = 0;
        removed += keepFirst(c.ids, o.ids.limit());
        removed += keepFirst(c.names, o.names.limit());
        if (o.profileNone)
            removed += removeNoneEntries(c.profile);
        removed += keepLast(c.profile, o.profile.limit());
        removed += keepNewestLines(c.mailLog, o.mailLog.limit());
        removed += keepNewestLines(c.exchangeRecords, o.exchangeRecords.limit());
        removed += keepNewestLines(c.remarkRecords, o.remarkRecords.limit());
        removed += clearField(c.postalCode, o.address);
        removed += clearField(c.address, o.address);
        removed += clearField(c.telephone, o.telephone);
        removed += clearField(c.fax, o.fax);
        removed += clearField(c.mobile, o.mobile);
        removed += clearField(c.pager, o.pager);
        removed += clearField(c.memo, o.memo);
        if (o.groups && !c.groups.isEmpty()) {
            removed += int(c.groups.size());
            c.groups.clear();
        }
        if (removed > 0) {
            r.removed += removed;
            ++r.changedCards;
            c.status = validateCard(c, std::as_const(book).groupList(), limits, now);
        }
    }
    if (!r.interrupted && o.groups && !book.groupList().isEmpty()) {
        r.removed += int(book.groupList().size());
        book.groupList().clear();
        r.groupListCleared = true;
    }
    r.sizeAfter = ndbFileSize(book);
    return r;
}

QString slimResultMessage(const SlimResult &r)
{
    if (r.changedCards < 1)
        return QStringLiteral("整理個所はありませんでした。");
    return withThousands(r.changedCards) + QStringLiteral(" 枚のｶｰﾄﾞから ")
        + withThousands(r.removed) + QStringLiteral(" 個所（")
        + withThousands(r.sizeBefore - r.sizeAfter) + QStringLiteral(" Byte）の情報を除去しました。");
}
