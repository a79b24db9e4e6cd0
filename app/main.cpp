#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <cstdio>

#include "common/consoleprompter.h"
#include "common/guiprompter.h"
#include "common/largepages.h"
#include "mainwindow/fomBrindle.h"
#include "mainwindow/guiidentity.h"
#include "shell/commandline.h"
#include "shell/startup.h"

namespace {

// --help and --version are answered before the window system is touched, so
// that they work without a display.
bool answeredOnTheTerminal(int argc, char *argv[])
{
    if (argc != 2)
        return false;
    const QByteArray arg(argv[1]);
    if (arg == "--version") {
        std::printf("brindle %s\n", BRINDLE_VERSION);
        return true;
    }
    if (arg != "-h" && arg != "--help")
        return false;
    std::printf("usage: brindle [FILE]\n"
                "\n"
                "Brindle, the address-book manager for the address book of the mail client\n"
                "Corvid. FILE, when given, is opened at start: an address book (.ndb,\n"
                ".nd0-.nd9, or any file that begins as one), a list text, CSV, vCard or\n"
                "Eudora nickname file. The arguments together name one file (spaces need\n"
                "no quotes); when they do not, the first that is such a file is opened\n"
                "and the others are named on standard error.\n"
                "\n"
                "options:\n"
                "  -h, --help        show this help\n"
                "  --version         show the version\n"
                "  --screenshot PNG  save a picture of the main window to PNG and quit\n"
                "                    (for the documentation)\n"
                "\n"
                "brindle-cli offers the address-book operations without a window.\n");
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (answeredOnTheTerminal(argc, argv))
        return 0;
    restartWithLargePages(argv);
    QApplication app(argc, argv);
    setProgramIdentity();

    installQtTranslation();

    // --screenshot PNG: show the window, save a picture of it and quit
    // (used to make the screenshots of the documentation).
    QCommandLineParser parser;
    QCommandLineOption screenshot(QStringLiteral("screenshot"), QString(), QStringLiteral("png"));
    parser.addOption(screenshot);
    parser.addPositionalArgument(QStringLiteral("file"), QString());
    parser.parse(QApplication::arguments());
    QStringList unknown;
    for (const QString &name : parser.unknownOptionNames())
        unknown << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    // The command line as a whole names the file to open, or else its first
    // argument that is a file Brindle reads.
    const CommandLineFile chosen = commandLineFile(parser.positionalArguments(), unknown);
    for (const QString &arg : chosen.ignored)
        std::fprintf(stderr, "brindle: %s: %s\n", arg.toLocal8Bit().constData(),
                     "使わなかった引数です");
    const QString file = chosen.path;

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
            window.document().setModified(false);
            QApplication::quit();
        });
    }
    return app.exec();
}
