#include "core/model.h"

ItemType itemTypeOf(int kind)
{
    switch (kind) {
    case KindIds:
    case KindNames:
    case KindGroups:
    case KindProfile:
    case KindExchangeRecords:
    case KindRemarkRecords:
    case KindMailLog:
        return ItemType::StringList;
    case KindBirthday:
    case KindCreated:
    case KindUpdated:
        return ItemType::Date;
    case KindExchangeAutoRecord:
    case KindRemarkAutoRecord:
        return ItemType::Byte;
    default:
        return ItemType::String;
    }
}

Card Card::newSystemCard()
{
    Card c;
    c.number = 0;
    c.itemCount = 2;
    return c;
}

Card Card::zeroed()
{
    Card c;
    c.number = 0;
    c.itemCount = 0;
    c.birthday = c.created = c.updated = 0.0;
    c.exchangeAutoRecord = c.remarkAutoRecord = 0;
    return c;
}

QString *Card::stringField(int kind)
{
    return const_cast<QString *>(std::as_const(*this).stringField(kind));
}

const QString *Card::stringField(int kind) const
{
    switch (kind) {
    case KindPostalCode: return &postalCode;
    case KindAddress: return &address;
    case KindTelephone: return &telephone;
    case KindFax: return &fax;
    case KindMemo: return &memo;
    case KindMobile: return &mobile;
    case KindPager: return &pager;
    default: return nullptr;
    }
}

QStringList *Card::listField(int kind)
{
    return const_cast<QStringList *>(std::as_const(*this).listField(kind));
}

const QStringList *Card::listField(int kind) const
{
    switch (kind) {
    case KindIds: return &ids;
    case KindNames: return &names;
    case KindGroups: return &groups;
    case KindProfile: return &profile;
    case KindExchangeRecords: return &exchangeRecords;
    case KindRemarkRecords: return &remarkRecords;
    case KindMailLog: return &mailLog;
    default: return nullptr;
    }
}

DateValue *Card::dateField(int kind)
{
    return const_cast<DateValue *>(std::as_const(*this).dateField(kind));
}

const DateValue *Card::dateField(int kind) const
{
    switch (kind) {
    case KindBirthday: return &birthday;
    case KindCreated: return &created;
    case KindUpdated: return &updated;
    default: return nullptr;
    }
}

quint8 *Card::flagField(int kind)
{
    return const_cast<quint8 *>(std::as_const(*this).flagField(kind));
}

const quint8 *Card::flagField(int kind) const
{
    switch (kind) {
    case KindExchangeAutoRecord: return &exchangeAutoRecord;
    case KindRemarkAutoRecord: return &remarkAutoRecord;
    default: return nullptr;
    }
}
