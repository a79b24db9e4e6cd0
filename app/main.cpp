#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "mainwindow/fomBrindle.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brindle"));
    QApplication::setApplicationDisplayName(QStringLiteral("Brindle"));
    QApplication::setApplicationVersion(QStringLiteral(BRINDLE_VERSION));

    // Qt's own dialogs in Japanese (はい／いいえ／キャンセル).
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    // --screenshot PNG: show the window, save a picture of it and quit
    // (used to make the screenshots of the documentation).
    QCommandLineParser parser;
    QCommandLineOption screenshot(QStringLiteral("screenshot"), QString(), QStringLiteral("png"));
    parser.addOption(screenshot);
    parser.addPositionalArgument(QStringLiteral("file"), QString());
    parser.parse(QApplication::arguments());

    fomBrindle window;
    window.show();
    if (parser.isSet(screenshot)) {
        const QString png = parser.value(screenshot);
        QTimer::singleShot(500, &window, [&window, png] {
            window.grab().save(png);
            QApplication::quit();
        });
    }
    return app.exec();
}
