#include "shell/startup.h"

#include <cmath>

#include "common/prompter.h"
#include "shell/help.h"

ShellSession::ShellSession(const QString &programFolder, WineHost host,
                           std::unique_ptr<const HostProbe> probe)
    : programFolder(programFolder),
      settingsPath(settingsFilePath(programFolder)),
      host(std::move(host)),
      m_probe(probe ? std::move(probe)
                    : std::make_unique<ProcessHostProbe>(ProcessHostProbe::forHost(this->host))),
      probe(*m_probe)
{
}

void ShellSession::start(Prompter &prompter)
{
    warnIfClientRunning(probe, prompter);
    helpFile = findHelpDocument(programFolder);
    loadSettings(settingsPath, settings, host);
}

void ShellSession::loadSettingsOnly()
{
    loadSettings(settingsPath, settings, host);
}

bool ShellSession::saveSettings() const
{
    return ::saveSettings(settingsPath, settings);
}

namespace {

double usableDpi(double dpi)
{
    return dpi > 0 ? dpi : 96.0;
}

// Enough of the window is on the screen to take hold of it.
bool reachable(const QRect &window, const QRect &screen)
{
    const QRect seen = window.intersected(screen);
    return seen.width() >= std::min(window.width(), 100)
        && seen.height() >= std::min(window.height(), 30);
}

} // namespace

int twipsFromPixels(int pixels, double dpi)
{
    return int(std::lround(pixels * 1440.0 / usableDpi(dpi)));
}

int pixelsFromTwips(int twips, double dpi)
{
    return int(std::lround(twips * usableDpi(dpi) / 1440.0));
}

WindowPlacement placeMainWindow(const Settings &s, const QList<QRect> &screens,
                                const QSize &designedSize, double dpi)
{
    const QRect primary = screens.isEmpty() ? QRect(QPoint(0, 0), designedSize) : screens.first();
    const auto centred = [&](QSize size) {
        size = size.boundedTo(primary.size());
        QRect r(QPoint(0, 0), size);
        r.moveCenter(primary.center());
        return r;
    };
    WindowPlacement p;
    if (s.width < 1) {
        p.geometry = centred(designedSize);
        return p;
    }
    const int height = s.height < 1 ? designedSize.height() : pixelsFromTwips(s.height, dpi);
    p.geometry = QRect(pixelsFromTwips(s.left, dpi), pixelsFromTwips(s.top, dpi),
                       std::max(1, pixelsFromTwips(s.width, dpi)), std::max(1, height));
    p.state = s.state >= 0 && s.state <= 2 ? s.state : 0;
    bool onScreen = screens.isEmpty();
    for (const QRect &screen : screens)
        onScreen = onScreen || reachable(p.geometry, screen);
    if (!onScreen)
        p.geometry = centred(p.geometry.size());
    return p;
}

void recordPlacement(Settings &s, const QRect &normalGeometry, int state, double dpi)
{
    s.left = twipsFromPixels(normalGeometry.x(), dpi);
    s.top = twipsFromPixels(normalGeometry.y(), dpi);
    s.width = twipsFromPixels(normalGeometry.width(), dpi);
    s.height = twipsFromPixels(normalGeometry.height(), dpi);
    s.state = state >= 0 && state <= 2 ? state : 0;
}

bool bookHasContent(const AddressBook &book)
{
    return !book.groupList().isEmpty() || book.cardCount() > 1;
}

bool mayDiscardBook(const AddressBook &book, bool modified, Prompter &prompter)
{
    if (!modified || !bookHasContent(book))
        return true;
    return prompter.confirm(QStringLiteral("編集中のｱﾄﾞﾚｽ帳が失われますが、宜しいですか？"), Prompter::Icon::None);
}

bool mayCloseMainWindow(bool busy, bool &interruptRequested, const AddressBook &book,
                        bool modified, Prompter &prompter)
{
    if (busy) {
        if (!interruptRequested
            && prompter.confirm(QStringLiteral("処理中です。中断しますか？"), Prompter::Icon::None))
            interruptRequested = true;
        return false;
    }
    return mayDiscardBook(book, modified, prompter);
}
