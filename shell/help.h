#pragma once
// The help document: an HTML file in Japanese shipped with the program,
// shown at a topic or at its contents in the desktop's viewer.

#include <QString>
#include <QUrl>

class Prompter;
class UrlOpener;

inline constexpr const char16_t *HelpDocumentName = u"brindle-help.html";

// The help document beside the program or in ../share/brindle/ (an install,
// and the build tree, which copies it there); "" when there is none.
QString findHelpDocument(const QString &programFolder);

// The help document opened at the topic with the context number (its
// anchor "context<n>"), or at its contents ("contents"). When there is no
// help file, tells the user and returns an empty URL.
QUrl helpTopicUrl(Prompter &prompter, const QString &helpFile, int contextNumber);
QUrl helpContentsUrl(Prompter &prompter, const QString &helpFile);

// Shows the help document at the topic with the context number, or at its
// contents, through opener. Returns 0 when the viewer was started, -1 after
// telling the user: there is no help file, or no viewer could be started
// for it (the message then names the file, for opening it by hand).
int showHelpTopic(Prompter &prompter, UrlOpener &opener, const QString &helpFile,
                  int contextNumber);
int showHelpContents(Prompter &prompter, UrlOpener &opener, const QString &helpFile);

// The message when no viewer could be started for the help file.
QString helpViewerFailedMessage(const QString &helpFile);
