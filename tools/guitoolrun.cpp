#include "tools/guitoolrun.h"

#include <QCoreApplication>

#include "common/prompter.h"

GuiToolRun::GuiToolRun(Prompter &prompter, ToolBusyState busy)
    : m_prompter(prompter), m_busy(busy)
{
}

void GuiToolRun::setInterruptFlag(bool on)
{
    if (m_busy)
        m_busy->setInterruptRequested(on);
    else
        m_ownInterrupt = on;
}

bool GuiToolRun::interruptRequested() const
{
    return m_busy ? m_busy->interruptRequested() : m_ownInterrupt;
}

bool GuiToolRun::refusedWhileRunning()
{
    if (!m_running)
        return false;
    m_prompter.notice(QStringLiteral("処理中です。"), Prompter::Icon::Warning);
    return true;
}

void GuiToolRun::start()
{
    m_running = true;
    m_sinceEvents.invalidate();
    if (m_busy)
        m_busy->setBusy(true);
    setInterruptFlag(false);
}

void GuiToolRun::finish()
{
    if (m_busy)
        m_busy->setBusy(false);
    setInterruptFlag(false);
    m_running = false;
}

Progress GuiToolRun::progress(StepHook show)
{
    return [this, show = std::move(show)](qint64 done, qint64 total) {
        if (show)
            show(done, total);
        if (!m_sinceEvents.isValid() || m_sinceEvents.elapsed() >= 30) {
            QCoreApplication::processEvents();
            m_sinceEvents.restart();
        }
        if (m_stepHook)
            m_stepHook(done, total);
        return !interruptRequested();
    };
}

void GuiToolRun::requestInterrupt()
{
    Prompter::Message m;
    m.text = QStringLiteral("処理中ですが、中断しますか？");
    m.buttons = Prompter::Buttons(Prompter::Yes) | Prompter::No;
    m.icon = Prompter::Icon::Question;
    m.defaultButton = Prompter::No;
    if (m_prompter.ask(m) == Prompter::Yes)
        setInterruptFlag(true);
}
