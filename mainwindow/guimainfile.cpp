// The main window's file commands: they ask for the file (and the
// questions of the document), run the document's read or write in busy
// mode, and show the result.
#include "mainwindow/fomBrindle.h"

#include <QDateTime>

#include "common/fomReport.h"
#include "common/paths.h"
#include "core/cardops.h"
#include "core/fileinfo.h"
#include "formats/fileprocs.h"
#include "shell/filekind.h"
#include "shell/startup.h"

void fomBrindle::Open(const QString &path, int kind)
{
    if (m_doc.isBusy())
        return;
    BisyModeChange(true);
    if (m_doc.open(path, kind, false) >= 0) {
        m_listStale = true;
        runSearch();
        showSaveCommand();
        updateTitle();
        HistoryView();
    }
    BisyModeChange(false);
    setStatus(QString());
}

void fomBrindle::Append(const QString &path, int kind)
{
    if (m_doc.isBusy())
        return;
    BisyModeChange(true);
    if (m_doc.open(path, kind, true) >= 0) {
        runSearch();
        showSaveCommand();
        HistoryView();
    }
    BisyModeChange(false);
    setStatus(QString());
}

void fomBrindle::AddNew()
{
    whenIdle([&] {
        if (!m_doc.newBook())
            return;
        m_listStale = true;
        showSaveCommand();
        updateTitle();
        runSearch();
    });
}

void fomBrindle::readCommand(int kind, bool append)
{
    whenIdle([&] {
        Settings &settings = m_doc.shell().settings;
        const QString path = chooseFile(m_doc.prompter(), FileDialogMode::Open,
                                        settings.lastFileName.at(kind), kind);
        if (path.isEmpty())
            return;
        settings.lastFileName.at(kind) = path;
        if (append)
            Append(path, kind);
        else
            Open(path, kind);
    });
}

void fomBrindle::AddSave()
{
    whenIdle([&] {
        int kind = FileKindAddressBook;
        QString path = m_doc.savePath(kind);
        Settings &settings = m_doc.shell().settings;
        if (path.isEmpty()) {
            path = chooseFile(m_doc.prompter(), FileDialogMode::Save,
                              settings.lastFileName.at(FileKindAddressBook), FileKindAddressBook);
            if (path.isEmpty())
                return;
        }
        settings.lastFileName.at(kind) = path;
        BisyModeChange(true);
        if (m_doc.write(path, kind, true) == 0 && kind == FileKindAddressBook) {
            updateTitle();
            HistoryView();
        }
        setStatus(QString());
        BisyModeChange(false);
    });
}

void fomBrindle::writeCommand(int kind)
{
    whenIdle([&] {
        Settings &settings = m_doc.shell().settings;
        const SaveChoice choice =
            chooseSaveFile(m_doc.prompter(), settings.lastFileName.at(kind), kind);
        const QString &path = choice.path;
        if (path.isEmpty())
            return;
        settings.lastFileName.at(kind) = path;
        BisyModeChange(true);
        m_saveFormat = choice.format;
        if (m_doc.write(path, kind, false) == 0 && kind == FileKindAddressBook) {
            updateTitle();
            HistoryView();
        }
        m_saveFormat = 0;
        setStatus(QString());
        BisyModeChange(false);
    });
}

void fomBrindle::writeSelectedCommand(int kind)
{
    whenIdle([&] {
        const QList<qint32> numbers = selectedCardNumbers();
        if (numbers.isEmpty())
            return;
        Settings &settings = m_doc.shell().settings;
        QString start = settings.lastFileName.at(kind);
        if (kind == FileKindVCard && !start.isEmpty()) {
            const int index = findCardByNumber(m_doc.book(), numbers.first());
            const QString name = index > 0 ? m_doc.book().cards[index].names.value(0) : QString();
            start = withSlash(folderOf(start)) + SafeFileName(name);
        }
        const SaveChoice choice = chooseSaveFile(m_doc.prompter(), start, kind);
        const QString &path = choice.path;
        if (path.isEmpty())
            return;
        settings.lastFileName.at(kind) = path;
        BisyModeChange(true);
        m_saveFormat = choice.format;
        if (m_doc.writeSelected(numbers, path, kind, false) == 0
            && kind == FileKindAddressBook)
            HistoryView();
        m_saveFormat = 0;
        setStatus(QString());
        BisyModeChange(false);
    });
}

void fomBrindle::FileInfoView()
{
    whenIdle([&] {
        const QString text = fileInfoReport(m_doc.book(), m_doc.fileName(),
                                            QDateTime::currentDateTime());
        showReport(text, QStringLiteral("ファイル情報"), QStringLiteral("ファイル情報"));
    });
}
