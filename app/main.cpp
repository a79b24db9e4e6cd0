#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

#include "common/consoleprompter.h"
#include "common/guiprompter.h"
#include "mainwindow/fomBrindle.h"
#include "shell/startup.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brindle"));
    QApplication::setApplicationDisplayName(QStringLiteral("Brindle"));
    QApplication::setApplicationVersion(QStringLiteral(BRINDLE_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("brindle"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("brindle"),
                                                 QIcon(QStringLiteral(":/brindle-256.png"))));

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
    // The command line as a whole names the file to open.
    const QString file = parser.positionalArguments().join(QLatin1Char(' '));

    // Screenshots are taken without stopping at message boxes.
    GuiPrompter guiPrompter;
    ConsolePrompter consolePrompter;
    Prompter &prompter = parser.isSet(screenshot) ? static_cast<Prompter &>(consolePrompter)
                                                  : guiPrompter;
    ShellSession shell(QApplication::applicationDirPath());
    shell.start(prompter);

    fomBrindle window(shell, prompter, file);
    guiPrompter.setParent(&window);
    window.show();
    if (parser.isSet(screenshot)) {
        const QString png = parser.value(screenshot);
        QTimer::singleShot(1500, &window, [&window, png] {
            window.grab().save(png);
            window.session().modified = false;
            QApplication::quit();
        });
    }
    return app.exec();
}
