#include "core/fileinfo.h"

#include "common/oledate.h"
#include "core/ndbfile.h"
#include "core/reportbanner.h"
#include "core/validation.h"

namespace {

const QString CrLf = QStringLiteral("\r\n");

QString line(const char16_t *label, const QString &value)
{
    return QString::fromUtf16(label) + value + CrLf;
}

} // namespace

QString fileInfoTitle()
{
    return QStringLiteral("ファイル情報");
}

QString withThousands(qint64 value)
{
    QString digits = QString::number(value);
    const qsizetype first = value < 0 ? 1 : 0; // after the sign
    for (qsizetype i = digits.size() - 3; i > first; i -= 3)
        digits.insert(i, u',');
    return digits;
}

QString japaneseDateTimeText(DateValue value)
{
    const QDateTime dt = oleToDateTime(value);
    if (!dt.isValid())
        return QString();
    static const QString weekdays = QStringLiteral("日月火水木金土"); // Sunday first
    const QDate d = dt.date();
    const QTime t = dt.time();
    return QStringLiteral("%1年%2月%3日(%4) %5時%6分%7秒")
        .arg(d.year(), 4, 10, QLatin1Char('0'))
        .arg(d.month(), 2, 10, QLatin1Char('0'))
        .arg(d.day(), 2, 10, QLatin1Char('0'))
        .arg(weekdays.at(d.dayOfWeek() % 7))
        .arg(t.hour(), 2, 10, QLatin1Char('0'))
        .arg(t.minute(), 2, 10, QLatin1Char('0'))
        .arg(t.second(), 2, 10, QLatin1Char('0'));
}

FileInfoFigures fileInfoFigures(const AddressBook &book)
{
    FileInfoFigures f;
    f.cardCount = book.cardCount() - 1;
    f.size = ndbFileSize(book);
    for (qsizetype i = 1; i < book.cards.size(); ++i) {
        const Card &c = book.cards[i];
        switch (c.status != StatusNormal ? statusSeverity(c.status) : SeverityNormal) {
        case SeverityBroken: ++f.broken; break;
        case SeverityAbnormal: ++f.abnormal; break;
        case SeveritySuspicious: ++f.suspicious; break;
        default: break;
        }
        f.idCount += c.ids.size();
        f.nameCount += c.names.size();
        // Dates that cannot be shown (NoDate included) have no place here.
        if (c.created != NoDate && isShowableDate(c.created)
            && (f.oldestCreated == NoDate || c.created < f.oldestCreated))
            f.oldestCreated = c.created;
        if (c.updated != NoDate && isShowableDate(c.updated)
            && (f.latestUpdated == NoDate || c.updated > f.latestUpdated))
            f.latestUpdated = c.updated;
    }
    return f;
}

QString fileInfoReport(const AddressBook &book, const QString &fileName, const QDateTime &now)
{
    const FileInfoFigures f = fileInfoFigures(book);
    QString out = reportBanner(fileInfoTitle(), now);
    out += line(u"処理中のファイル名            ：",
                fileName.isEmpty() ? QStringLiteral("（ 新規アドレス帳 ）") : fileName);
    out += line(u"アドレス帳全体のサイズ        ：", withThousands(f.size) + QStringLiteral(" Byte"));
    out += line(u"全カードの枚数                ：", QString::number(f.cardCount) + QStringLiteral(" 枚"));
    if (f.broken > 0)
        out += line(u"破損カードの枚数              ：", withThousands(f.broken) + QStringLiteral(" 枚"));
    if (f.abnormal > 0)
        out += line(u"異常カードの枚数              ：", withThousands(f.abnormal) + QStringLiteral(" 枚"));
    if (f.suspicious > 0)
        out += line(u"不信カードの枚数              ：", withThousands(f.suspicious) + QStringLiteral(" 枚"));
    out += line(u"使用しているＩＤの数          ：", withThousands(f.idCount) + QStringLiteral(" 件"));
    out += line(u"使用している名前の数          ：", withThousands(f.nameCount) + QStringLiteral(" 件"));
    if (f.oldestCreated != NoDate)
        out += line(u"最も古いカードの作成時刻      ：", japaneseDateTimeText(f.oldestCreated));
    if (f.latestUpdated != NoDate)
        out += line(u"最後に編集したカードの更新時刻：", japaneseDateTimeText(f.latestUpdated));
    out += reportRule() + CrLf;
    return out;
}
