// brindle-shots: pictures of the card editor and of a report on an address
// book, for the documentation. scripts/screenshots.sh runs it under Xvfb.
//   brindle-shots BOOK OUTDIR    writes OUTDIR/card-editor.png and
//                                OUTDIR/report.png
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QWidget>
#include <cstdio>

#include "cardedit/fomCardEdit.h"
#include "common/consoleprompter.h"
#include "common/fomReport.h"
#include "mainwindow/guiidentity.h"
#include "core/fileinfo.h"
#include "core/validation.h"
#include "shell/startup.h"

namespace {

// Lets the window settle (layout, fonts) for a moment.
void settle(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
}

bool shoot(QWidget &window, const QString &png)
{
    window.show();
    window.raise();
    settle(700);
    if (!window.grab().save(png)) {
        std::fprintf(stderr, "brindle-shots: cannot write %s\n", qPrintable(png));
        return false;
    }
    window.hide();
    return true;
}

// The normal card with the most filled fields, so the editor shows content.
int richestNormalCard(const AddressBook &book)
{
    int best = -1;
    int bestScore = -1;
    for (qsizetype i = 1; i < book.cards.size(); ++i) {
        const Card &c = book.cards[i];
        if (c.status != StatusNormal)
            continue;
        int score = 0;
        for (const QString *s : {&c.postalCode, &c.address, &c.telephone, &c.fax, &c.mobile,
                                 &c.pager, &c.memo})
            score += s->isEmpty() ? 0 : 2;
        score += int(qMin<qsizetype>(c.ids.size(), 3) + qMin<qsizetype>(c.names.size(), 3)
                     + qMin<qsizetype>(c.groups.size(), 2));
        score += c.birthday != NoDate ? 1 : 0;
        if (score > bestScore) {
            best = int(i);
            bestScore = score;
        }
    }
    return best;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setProgramIdentity();
    installQtTranslation();

    const QStringList args = QApplication::arguments().mid(1);
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: brindle-shots BOOK OUTDIR\n");
        return 64;
    }
    const QString path = args[0];
    const QDir out(args[1]);

    ConsolePrompter prompter;
    ShellSession shell(QApplication::applicationDirPath());
    shell.loadSettingsOnly();
    AddressBook book;
    if (readFileByKind(path, fileKindOf(path), book, shell.fileIo(prompter)) < 0)
        return 1;
    repairCardNumbers(book);
    const CardLimits limits = cardLimitsOf(shell.settings);
    validateAll(book, limits);

    const int card = richestNormalCard(book);
    if (card < 0) {
        std::fprintf(stderr, "brindle-shots: %s has no normal card\n", qPrintable(path));
        return 1;
    }
    CardEditOptions options;
    options.limits = limits;
    fomCardEdit editor(book, card, options, prompter);
    if (!shoot(editor, out.filePath(QStringLiteral("card-editor.png"))))
        return 1;

    fomReport report(fileInfoReport(book, path, QDateTime::currentDateTime()),
                     QStringLiteral("ファイル情報"), QStringLiteral("ファイル情報"), prompter,
                     [](const QString &, const QString &) {});
    if (!shoot(report, out.filePath(QStringLiteral("report.png"))))
        return 1;
    return 0;
}
