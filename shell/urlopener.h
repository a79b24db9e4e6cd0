#pragma once
// Opening an address in the desktop's viewer (the help document in the
// browser). The window uses the desktop's opener (guiurlopener.h); tests
// put a fake in its place.

#include <QUrl>

class UrlOpener
{
public:
    virtual ~UrlOpener() = default;
    // Shows url; false when no viewer could be started for it.
    virtual bool open(const QUrl &url) = 0;
};
