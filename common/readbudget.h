#pragma once
// The memory a file read may take. An import keeps the file's text and
// every value it stores from it; a file of millions of tiny values (one
// record of three million one-character columns, a nickname line of a
// million addresses) would need many times its size. While a ReadBudget is
// in scope, the readers charge each value before they store it, and the
// read ends with ReadBudgetExceeded once the total passes the budget: at
// most four times the file's size plus 64 MiB. A read without a budget in
// scope (tests, the fuzzers) is not limited.
//
// ReadBudgetExceeded is a std::bad_alloc, so every place that survives a
// failed allocation during a read survives it too; catch it first to tell
// the user the more precise reason (tooManyValuesMessage()).

#include <QString>
#include <QtGlobal>
#include <new>

struct ReadBudgetExceeded : std::bad_alloc
{
    const char *what() const noexcept override { return "read budget exceeded"; }
};

class ReadBudget
{
public:
    static constexpr qint64 BaseBytes = qint64(64) << 20;
    // What storing a value costs beyond its characters: the string's header
    // and allocation rounding, and its slot in a list.
    static constexpr qint64 ValueOverhead = 64;

    // A budget for reading a file of fileBytes bytes, in force on this
    // thread until it goes out of scope (budgets nest; the innermost
    // counts).
    explicit ReadBudget(qint64 fileBytes);
    ~ReadBudget();
    ReadBudget(const ReadBudget &) = delete;
    ReadBudget &operator=(const ReadBudget &) = delete;

    qint64 limit() const { return m_limit; }
    qint64 used() const { return m_used; }

    // Charges bytes of memory to the budget in force; throws
    // ReadBudgetExceeded when that passes its limit. Nothing without one.
    static void chargeBytes(qint64 bytes);
    // Charges one stored value of chars UTF-16 characters.
    static void chargeValue(qsizetype chars) { chargeBytes(ValueOverhead + 2 * qint64(chars)); }
    // Charges count stored values of chars characters together.
    static void chargeValues(qsizetype count, qsizetype chars)
    {
        chargeBytes(ValueOverhead * qint64(count) + 2 * qint64(chars));
    }

private:
    qint64 m_limit;
    qint64 m_used = 0;
    ReadBudget *m_outer;
};

// "ファイルの項目が多すぎるため、読み込めませんでした"
QString tooManyValuesMessage();
