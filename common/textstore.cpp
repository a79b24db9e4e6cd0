#include "common/textstore.h"

#include "common/cp932.h"

#include <algorithm>
#include <utility>

char16_t *TextStore::room(qsizetype units)
{
    if (units > LongText) {
        m_long.resize(units);
        return reinterpret_cast<char16_t *>(m_long.data());
    }
    // A long text asked for and never taken is dropped.
    if (!m_long.isNull())
        m_long = QString();
    // Every text ends in a 0 unit, as QString keeps its data.
    if (m_left < units + 1) {
        using Block = QTypedArrayData<char16_t>;
        auto [header, data] = Block::allocate(BlockUnits);
        if (!header)
            qBadAlloc();
        m_block = QString::DataPointer(header, data, 0);
        m_next = data;
        m_left = BlockUnits;
    }
    return m_next;
}

QString TextStore::take(qsizetype units)
{
    if (units == 0) {
        m_long.clear();
        return QString();
    }
    if (!m_long.isNull()) {
        m_long.truncate(units);
        return std::exchange(m_long, QString());
    }
    Q_ASSERT(units < m_left);
    m_next[units] = 0;
    // The string's own reference to the block, given back by its destructor.
    m_block->ref();
    QString text(QString::DataPointer(m_block.d_ptr(), m_next, units));
    m_next += units + 1;
    m_left -= units + 1;
    m_taken += units + 1;
    return text;
}

QString TextStore::copy(QStringView text)
{
    if (text.isEmpty())
        return QString();
    char16_t *to = room(text.size());
    std::copy_n(text.utf16(), text.size(), to);
    return take(text.size());
}

QString TextStore::decodeCp932(QByteArrayView bytes, qsizetype *replaced)
{
    if (bytes.isEmpty())
        return QString();
    // No byte gives more than one unit.
    char16_t *to = room(bytes.size());
    return take(cp932::decodeTo(bytes, to, replaced) - to);
}
