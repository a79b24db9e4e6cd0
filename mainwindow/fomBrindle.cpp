#include "mainwindow/fomBrindle.h"

#include <QMenuBar>

fomBrindle::fomBrindle(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("fomBrindle"));
    setWindowTitle(QStringLiteral("Brindle"));
    QMenu *file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    file->setObjectName(QStringLiteral("mnuFile"));
    resize(800, 600);
}
