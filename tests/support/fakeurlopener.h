#pragma once
// A URL opener for tests: records what it was asked to open and answers
// whether a viewer "started" as told, without starting anything.

#include <QList>
#include <QUrl>

#include "shell/urlopener.h"

class FakeUrlOpener : public UrlOpener
{
public:
    explicit FakeUrlOpener(bool viewerStarts = true) : viewerStarts(viewerStarts) {}

    bool open(const QUrl &url) override
    {
        opened.append(url);
        return viewerStarts;
    }

    bool viewerStarts;
    QList<QUrl> opened;
};
