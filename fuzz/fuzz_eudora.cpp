// Parses arbitrary bytes as a Eudora nickname file and writes the result in
// both modes. Every card with a name must give exactly one alias and one note
// line (no value may break a line), and the written text must parse again.

#include <QByteArrayView>

#include <cstdint>
#include <cstdlib>

#include "common/cp932.h"
#include "common/oledate.h"
#include "formats/eudora.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = cp932::decode(QByteArrayView(data, qsizetype(size)));
    EudoraReadOptions in;
    in.now = oleFromDateTime(QDateTime(QDate(2024, 5, 1), QTime(10, 0, 0), Qt::UTC));

    AddressBook first;
    parseEudoraText(text, first, in);
    qsizetype named = 0;
    for (qsizetype i = 1; i < first.cardCount(); ++i)
        named += first.cards[i].names.isEmpty() ? 0 : 1;

    for (int mode : {EudoraFirstIdOnly, EudoraAllIds}) {
        EudoraWriteOptions out;
        out.mode = mode;
        out.lostMemoFlag = size % 2 == 0;
        out.niftyDomain = QStringLiteral("@nifty.example");
        const QString written = eudoraFileText(first, out);
        const QStringList lines = written.split(QStringLiteral("\r\n"));
        if (lines.size() != 2 * named + 1 || !lines.last().isEmpty())
            std::abort();
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            const QString &l = lines[i];
            if (!l.startsWith(i % 2 == 0 ? QStringLiteral("alias \"") : QStringLiteral("note \""))
                || l.contains(u'\r') || l.contains(u'\n'))
                std::abort();
        }
        AddressBook second;
        parseEudoraText(written, second, in);
        if (second.cardCount() - 1 < (named > 0 ? 1 : 0))
            std::abort();
    }
    return 0;
}
