#include "readbudget.h"

namespace {

thread_local ReadBudget *t_current = nullptr;

} // namespace

ReadBudget::ReadBudget(qint64 fileBytes)
    : m_limit(4 * qMax<qint64>(fileBytes, 0) + BaseBytes), m_outer(t_current)
{
    t_current = this;
}

ReadBudget::~ReadBudget()
{
    t_current = m_outer;
}

void ReadBudget::chargeBytes(qint64 bytes)
{
    ReadBudget *b = t_current;
    if (!b)
        return;
    b->m_used += bytes;
    if (b->m_used > b->m_limit)
        throw ReadBudgetExceeded();
}

QString tooManyValuesMessage()
{
    return QStringLiteral("ファイルの項目が多すぎるため、読み込めませんでした");
}
