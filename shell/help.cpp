#include "shell/help.h"

#include <QDir>
#include <QFileInfo>

#include "common/prompter.h"
#include "shell/urlopener.h"

namespace {

QUrl helpUrl(Prompter &prompter, const QString &helpFile, const QString &anchor)
{
    if (helpFile.isEmpty() || !QFileInfo(helpFile).isFile()) {
        prompter.notice(QStringLiteral("ﾍﾙﾌﾟを表示できません。 このﾌﾟﾛｸﾞﾗﾑに関連付けられたﾍﾙﾌﾟが存在しません。"), Prompter::Icon::Information);
        return QUrl();
    }
    QUrl url = QUrl::fromLocalFile(QFileInfo(helpFile).absoluteFilePath());
    url.setFragment(anchor);
    return url;
}

int showHelp(Prompter &prompter, UrlOpener &opener, const QString &helpFile, const QUrl &url)
{
    if (!url.isValid())
        return -1; // no help file: already told
    if (opener.open(url))
        return 0;
    prompter.notice(helpViewerFailedMessage(helpFile), Prompter::Icon::Warning);
    return -1;
}

} // namespace

QString findHelpDocument(const QString &programFolder)
{
    const QString name = QString::fromUtf16(HelpDocumentName);
    QStringList candidates;
    if (!programFolder.isEmpty()) {
        const QDir dir(programFolder);
        candidates << dir.filePath(name)
                   << dir.filePath(QStringLiteral("../share/brindle/") + name);
    }
    for (const QString &c : std::as_const(candidates))
        if (QFileInfo(c).isFile())
            return QFileInfo(c).canonicalFilePath();
    return QString();
}

QUrl helpTopicUrl(Prompter &prompter, const QString &helpFile, int contextNumber)
{
    return helpUrl(prompter, helpFile, QStringLiteral("context") + QString::number(contextNumber));
}

QUrl helpContentsUrl(Prompter &prompter, const QString &helpFile)
{
    return helpUrl(prompter, helpFile, QStringLiteral("contents"));
}

QString helpViewerFailedMessage(const QString &helpFile)
{
    return QStringLiteral("ﾍﾙﾌﾟを表示するﾌﾞﾗｳｻﾞを起動できませんでした。\r\n"
                          "次のﾌｧｲﾙを直接開いてください。\r\n")
        + QDir::toNativeSeparators(QFileInfo(helpFile).absoluteFilePath());
}

int showHelpTopic(Prompter &prompter, UrlOpener &opener, const QString &helpFile,
                  int contextNumber)
{
    return showHelp(prompter, opener, helpFile, helpTopicUrl(prompter, helpFile, contextNumber));
}

int showHelpContents(Prompter &prompter, UrlOpener &opener, const QString &helpFile)
{
    return showHelp(prompter, opener, helpFile, helpContentsUrl(prompter, helpFile));
}
