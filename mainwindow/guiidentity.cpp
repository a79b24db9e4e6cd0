#include "mainwindow/guiidentity.h"

#include <QApplication>
#include <QIcon>

#include "common/guiaccessible.h"

void setProgramIdentity()
{
    QApplication::setApplicationName(QStringLiteral("Brindle"));
    QApplication::setApplicationVersion(QStringLiteral(BRINDLE_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("brindle"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("brindle"),
                                                 QIcon(QStringLiteral(":/brindle-256.png"))));
    nameControlsOfEveryWindow();
}
