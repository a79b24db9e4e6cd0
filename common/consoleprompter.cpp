#include "common/consoleprompter.h"

#include <cstdio>

Prompter::Button ConsolePrompter::ask(const Message &message)
{
    m_last = message.text;
    print(lineFor(message.text));
    if (message.defaultButton != NoButton)
        return message.defaultButton;
    for (Button b : {Ok, Yes, No, Cancel, Abort, Retry, Ignore})
        if (message.buttons.testFlag(b))
            return b;
    return Ok;
}

bool ConsolePrompter::input(const QString &, const QString &, QString &)
{
    return false;
}

Prompter::FileAnswer ConsolePrompter::openFile(const FileRequest &)
{
    return {};
}

Prompter::FileAnswer ConsolePrompter::saveFile(const FileRequest &)
{
    return {};
}

QString ConsolePrompter::chooseFolder(const QString &, const QString &)
{
    return {};
}

int ConsolePrompter::choose(const QString &text, const QStringList &captions, int defaultIndex,
                            Icon, const QString &)
{
    m_last = text;
    print(lineFor(text));
    return defaultIndex >= 0 && defaultIndex < captions.size() ? defaultIndex : -1;
}

void ConsolePrompter::print(const QString &line)
{
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
}
