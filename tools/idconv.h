#pragma once
// Bulk card settings: turning IDs written as mail addresses of the online
// service into the bare service ID, and setting the exchange and remark
// auto-record flags of every card.

#include <QString>
#include <QStringList>

#include "common/progress.h"
#include "core/model.h"

// The service's mail domains: the current spelling and two legacy ones.
QStringList serviceMailDomains();

// The service's legacy ID shape: three letters and five digits.
bool isLegacyServiceId(QStringView id);

// A bare service ID as it is stored: spaces (U+0020) trimmed, upper case
// for the legacy shape, lower case otherwise.
QString normalisedServiceId(QStringView local);

// The local part of id when id is a mail address of one of domains
// (compared in upper case, the "@" at the second character or later), or a
// null string. IDs shorter than 9 characters are never converted.
QString serviceLocalPart(const QString &id, const QStringList &domains);

struct IdConversionResult
{
    int changedCards = 0;
    int convertedIds = 0;
    // Bare IDs another card already held, as stored after the conversion,
    // in the order found (a repeat is listed again).
    QStringList duplicates;
    bool interrupted = false;
};

// Converts every service mail address among the IDs of cards
// 1 .. cardCount()-1 into the bare ID. When the card already holds the bare
// ID, the mail address is removed; when another card holds it, the address
// is converted and the ID is listed as a duplicate. Changed cards get their
// validation status stored. progress is called once per card; when it asks
// to stop, the cards done so far stay changed (interrupted is set).
IdConversionResult convertServiceIds(AddressBook &book, const CardLimits &limits, DateValue now,
                                     const QStringList &domains = serviceMailDomains(),
                                     const Progress &progress = {});

// The message after the conversion: how many IDs of how many cards were
// converted, or that none was found.
QString idConversionMessage(const IdConversionResult &result);

// The duplicate list shown after a conversion ("" when there is none), with
// its window title and default file name.
QString idConversionDuplicateReport(const IdConversionResult &result);
QString idConversionReportTitle();
QString idConversionReportFileName();

// Sets the exchange (or remark) auto-record flag of every card to value
// (FlagOn or FlagOff) and returns the number of cards changed; their
// validation status is stored again. progress is called once per card;
// when it asks to stop, -1 is returned and the cards done so far stay
// changed.
int setExchangeAutoRecord(AddressBook &book, quint8 value, const CardLimits &limits,
                          DateValue now, const Progress &progress = {});
int setRemarkAutoRecord(AddressBook &book, quint8 value, const CardLimits &limits,
                        DateValue now, const Progress &progress = {});
QString exchangeFlagsMessage(int changedCards);
QString remarkFlagsMessage(int changedCards);
