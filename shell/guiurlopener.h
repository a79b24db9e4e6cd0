#pragma once
// The desktop's opener: the viewer the desktop associates with the address
// (for a local HTML file, the browser).

#include "shell/urlopener.h"

class DesktopUrlOpener : public UrlOpener
{
public:
    bool open(const QUrl &url) override;
};
