#include "common/consoleprogress.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <unistd.h>

ConsoleProgress::ConsoleProgress(Sink sink, Clock clock)
    : m_sink(std::move(sink)), m_clock(std::move(clock))
{
    if (!m_clock) {
        m_clock = [timer = [] {
                       QElapsedTimer t;
                       t.start();
                       return t;
                   }()] { return timer.elapsed(); };
    }
}

ConsoleProgress::~ConsoleProgress()
{
    clear();
}

ConsoleProgress::Sink ConsoleProgress::stderrSinkIfTerminal()
{
    // A terminal that cannot erase a line (TERM=dumb) gets no progress.
    if (!isatty(STDERR_FILENO) || qgetenv("TERM") == "dumb")
        return {};
    return [](const QByteArray &bytes) {
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
        std::fflush(stderr);
    };
}

Progress ConsoleProgress::phase(const QString &label, std::function<bool()> stop)
{
    const qint64 started = m_clock();
    // This phase's share of the plan; phases beyond it share the last.
    const int index = std::min(m_phasesBegun++, m_phaseCount - 1);
    const int count = m_phaseCount;
    return [this, label, stop = std::move(stop), started, index, count](qint64 done, qint64 total) {
        if (m_sink) {
            const qint64 permille = total > 0 ? std::clamp<qint64>(done * 1000 / total, 0, 1000) : 0;
            show(label, int((index * 1000 + permille) / count / 10), started);
        }
        return !(stop && stop());
    };
}

void ConsoleProgress::planPhases(int count)
{
    m_phaseCount = std::max(count, 1);
    m_phasesBegun = 0;
}

void ConsoleProgress::show(const QString &label, int percent, qint64 started)
{
    const qint64 now = m_clock();
    if (now - started < IntervalMs)
        return;
    if (m_shown && now - m_lastShown < IntervalMs)
        return;
    const QByteArray text = QStringLiteral("%1 %2%").arg(label).arg(percent, 3).toLocal8Bit();
    if (m_shown && text == m_lastText)
        return;
    // "\e[K" erases the rest of the line, whatever the width of its text.
    m_sink("\r" + text + "\033[K");
    m_shown = true;
    m_lastShown = now;
    m_lastText = text;
}

void ConsoleProgress::clear()
{
    if (!m_shown || !m_sink)
        return;
    m_sink("\r\033[K");
    m_shown = false;
    m_lastText.clear();
}
