#include "cardfields.h"

#include <QJsonArray>
#include <QJsonValue>

#include "common/oledate.h"
#include "core/validation.h"

namespace {

QJsonValue dateJson(const QString &text)
{
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

QJsonArray listJson(const QStringList &values)
{
    return QJsonArray::fromStringList(values);
}

// The memo's lines (it keeps CR LF between them).
QStringList memoLines(const QString &memo)
{
    if (memo.isEmpty())
        return {};
    QString text = memo;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text.split(u'\n');
}

} // namespace

bool printFormatNamed(const QString &name, PrintFormat &format)
{
    if (name == u"text")
        format = PrintFormat::Text;
    else if (name == u"tsv")
        format = PrintFormat::Tsv;
    else if (name == u"json")
        format = PrintFormat::Json;
    else
        return false;
    return true;
}

QString isoDate(DateValue value)
{
    if (value == NoDate)
        return {};
    const QDate d = oleToDate(value);
    return d.isValid() ? d.toString(Qt::ISODate) : QString();
}

QString isoDateTime(DateValue value)
{
    if (value == NoDate)
        return {};
    const QDateTime dt = oleToDateTime(value);
    return dt.isValid() ? dt.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) : QString();
}

QJsonObject listRowJson(const Card &card, const QString &name, const QString &id)
{
    QJsonObject o;
    o.insert(u"number", card.number);
    o.insert(u"name", name);
    o.insert(u"id", id);
    o.insert(u"names", listJson(card.names));
    o.insert(u"ids", listJson(card.ids));
    o.insert(u"telephone", card.telephone);
    o.insert(u"mobile", card.mobile);
    o.insert(u"birthday", dateJson(isoDate(card.birthday)));
    o.insert(u"groups", listJson(card.groups));
    o.insert(u"status", card.status);
    o.insert(u"message", card.status == 0 ? QString() : statusMessage(card.status));
    return o;
}

QJsonObject cardJson(const Card &card)
{
    QJsonObject o;
    o.insert(u"number", card.number);
    o.insert(u"ids", listJson(card.ids));
    o.insert(u"names", listJson(card.names));
    o.insert(u"postalCode", card.postalCode);
    o.insert(u"address", card.address);
    o.insert(u"telephone", card.telephone);
    o.insert(u"fax", card.fax);
    o.insert(u"mobile", card.mobile);
    o.insert(u"pager", card.pager);
    o.insert(u"birthday", dateJson(isoDate(card.birthday)));
    o.insert(u"groups", listJson(card.groups));
    o.insert(u"memo", memoLines(card.memo).join(u'\n'));
    QJsonArray profile;
    for (const QString &entry : card.profile)
        profile.append(QJsonObject{{QStringLiteral("title"), entry.section(u'\t', 0, 0)},
                                   {QStringLiteral("value"), entry.section(u'\t', 1)}});
    o.insert(u"profile", profile);
    o.insert(u"exchangeAutoRecord", card.exchangeAutoRecord != FlagOff);
    o.insert(u"remarkAutoRecord", card.remarkAutoRecord != FlagOff);
    o.insert(u"created", dateJson(isoDateTime(card.created)));
    o.insert(u"updated", dateJson(isoDateTime(card.updated)));
    o.insert(u"mailLog", listJson(card.mailLog));
    o.insert(u"exchangeRecords", listJson(card.exchangeRecords));
    o.insert(u"remarkRecords", listJson(card.remarkRecords));
    o.insert(u"status", card.status);
    o.insert(u"message", card.status == 0 ? QString() : statusMessage(card.status));
    return o;
}

QString cardText(const Card &card)
{
    QString out;
    const auto add = [&out](const char *name, const QString &value) {
        if (value.isEmpty())
            return;
        QString oneLine = value; // a value of several lines stays on its line
        oneLine.replace(QStringLiteral("\r\n"), QStringLiteral("\\n"));
        oneLine.replace(u'\n', QStringLiteral("\\n")).replace(u'\r', QStringLiteral("\\r"));
        out += QLatin1String(name) + QStringLiteral(": ") + oneLine + u'\n';
    };
    const auto addAll = [&add](const char *name, const QStringList &values) {
        for (const QString &v : values)
            add(name, v);
    };
    out += QStringLiteral("number: %1\n").arg(card.number);
    addAll("ids", card.ids);
    addAll("names", card.names);
    add("postalCode", card.postalCode);
    add("address", card.address);
    add("telephone", card.telephone);
    add("fax", card.fax);
    add("mobile", card.mobile);
    add("pager", card.pager);
    add("birthday", isoDate(card.birthday));
    addAll("groups", card.groups);
    addAll("memo", memoLines(card.memo));
    addAll("profile", card.profile);
    add("exchangeAutoRecord", card.exchangeAutoRecord != FlagOff ? QStringLiteral("on") : QStringLiteral("off"));
    add("remarkAutoRecord", card.remarkAutoRecord != FlagOff ? QStringLiteral("on") : QStringLiteral("off"));
    add("created", isoDateTime(card.created));
    add("updated", isoDateTime(card.updated));
    addAll("mailLog", card.mailLog);
    addAll("exchangeRecords", card.exchangeRecords);
    addAll("remarkRecords", card.remarkRecords);
    out += QStringLiteral("status: %1\n").arg(card.status);
    if (card.status != 0)
        add("message", statusMessage(card.status));
    return out;
}
