#include "importreport.h"

#include <QLocale>

#include "formats/fileprocs.h"

namespace {

constexpr qsizetype MaxNamed = 10;
constexpr qsizetype MaxColumnName = 40;

// "a、b、c" of at most MaxNamed entries, each cut to maxLength characters,
// and "ほか N 件" for the rest.
QString namedList(const QStringList &entries, qsizetype maxLength)
{
    QStringList shown;
    for (qsizetype i = 0; i < entries.size() && i < MaxNamed; ++i) {
        const QString &e = entries[i];
        shown.append(e.size() > maxLength ? e.left(maxLength) + QStringLiteral("…") : e);
    }
    QString text = shown.join(QStringLiteral("、"));
    if (entries.size() > MaxNamed)
        text += QStringLiteral(" ほか %1 件").arg(entries.size() - MaxNamed);
    return text;
}

} // namespace

QString ImportReport::message() const
{
    if (!worthTelling())
        return QString();
    QLocale c = QLocale::c();
    c.setNumberOptions({}); // 12,345
    QStringList lines;
    if (cardsLeftOut > 0)
        lines.append(cardsLeftOutMessage(int(cardsMade + cardsLeftOut), int(cardsMade)));
    else
        lines.append(QStringLiteral("%1 枚のカードを読み込みました。").arg(c.toString(cardsMade)));
    if (recordsSkipped > 0)
        lines.append(QStringLiteral("読み込めなかったデータ %1 件を読み飛ばしました。")
                         .arg(c.toString(recordsSkipped)));
    if (charactersReplaced > 0)
        lines.append(QStringLiteral("読み取れない文字 %1 文字を置き換えました。")
                         .arg(c.toString(charactersReplaced)));
    if (!binaryValuesLeftOut.isEmpty())
        lines.append(QStringLiteral("読み込んでいないデータ: ")
                     + namedList(binaryValuesLeftOut, 80));
    if (!unmappedColumns.isEmpty())
        lines.append(QStringLiteral("読み込む項目のない列: ")
                     + namedList(unmappedColumns, MaxColumnName));
    return lines.join(QStringLiteral("\r\n"));
}

void ImportReport::tell(Prompter &prompter) const
{
    if (lost())
        prompter.lossNotice(message());
    else if (worthTelling())
        prompter.notice(message(), Prompter::Icon::Information);
}
