#include "output.h"

#include <QStringList>
#include <cerrno>
#include <cstdio>

#include "console.h"

namespace {

bool anythingWritten = false;

} // namespace

namespace console {

void writeStdout(QByteArrayView bytes)
{
    clearProgress();
    if (bytes.isEmpty())
        return;
    anythingWritten = true;
    std::fwrite(bytes.data(), 1, size_t(bytes.size()), stdout);
}

bool finishStdout()
{
    const bool flushed = std::fflush(stdout) == 0 && !std::ferror(stdout);
    errno = 0;
    // Closing a stdout the caller closed fails too; that matters only when
    // something was meant to go there.
    const bool closed = std::fclose(stdout) == 0 || (!anythingWritten && errno == EBADF);
    if (flushed && closed)
        return true;
    printMessage(QString(), QStringLiteral("標準出力に書き込めません"));
    return false;
}

QString messageLine(const QString &file, const QString &text)
{
    const QString prefix = file.isEmpty() ? QStringLiteral("brindle-cli: ")
                                          : QStringLiteral("brindle-cli: ") + file + QStringLiteral(": ");
    QStringList lines = text.split(u'\n');
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast(); // a final line break
    for (QString &line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        line.prepend(prefix);
    }
    return lines.join(u'\n');
}

void printMessage(const QString &file, const QString &text)
{
    clearProgress();
    std::fprintf(stderr, "%s\n", messageLine(file, text).toLocal8Bit().constData());
}

} // namespace console
