#pragma once
// The help document: an HTML file in Japanese shipped with the program. The
// window opens the address these functions return in the desktop's viewer.

#include <QString>
#include <QUrl>

class Prompter;

inline constexpr const char16_t *HelpDocumentName = u"brindle-help.html";

// The help document beside the program, in ../share/brindle/ or in the
// source tree; "" when there is none.
QString findHelpDocument(const QString &programFolder);

// The help document opened at the topic with the context number (its
// anchor "context<n>"), or at its contents ("contents"). When there is no
// help file, tells the user and returns an empty URL.
QUrl helpTopicUrl(Prompter &prompter, const QString &helpFile, int contextNumber);
QUrl helpContentsUrl(Prompter &prompter, const QString &helpFile);
