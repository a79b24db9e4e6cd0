#include "common/guiprompter.h"

#include "common/fomMsgBox.h"
#include "common/guiboxwidth.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QPushButton>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace {

QMessageBox::StandardButton toQt(Prompter::Button b)
{
    switch (b) {
    case Prompter::Ok: return QMessageBox::Ok;
    case Prompter::Cancel: return QMessageBox::Cancel;
    case Prompter::Yes: return QMessageBox::Yes;
    case Prompter::No: return QMessageBox::No;
    case Prompter::Abort: return QMessageBox::Abort;
    case Prompter::Retry: return QMessageBox::Retry;
    case Prompter::Ignore: return QMessageBox::Ignore;
    default: return QMessageBox::NoButton;
    }
}

Prompter::Button fromQt(int b)
{
    switch (b) {
    case QMessageBox::Ok: return Prompter::Ok;
    case QMessageBox::Cancel: return Prompter::Cancel;
    case QMessageBox::Yes: return Prompter::Yes;
    case QMessageBox::No: return Prompter::No;
    case QMessageBox::Abort: return Prompter::Abort;
    case QMessageBox::Retry: return Prompter::Retry;
    case QMessageBox::Ignore: return Prompter::Ignore;
    default: return Prompter::NoButton;
    }
}

QString filterString(const Prompter::FileFilter &f)
{
    return f.caption + QStringLiteral(" (") + f.patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

QStringList filterStrings(const Prompter::FileRequest &r)
{
    QStringList out;
    for (const auto &f : r.filters)
        out << filterString(f);
    return out;
}

Prompter::FileAnswer runFileDialog(QWidget *parent, const Prompter::FileRequest &r,
                                   QFileDialog::AcceptMode mode)
{
    QFileDialog dlg(parent, r.title, r.folder);
    dlg.setAcceptMode(mode);
    dlg.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                    : QFileDialog::AnyFile);
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setOption(QFileDialog::DontConfirmOverwrite); // callers ask themselves
    // The captions name their files themselves; the patterns stay out of sight.
    dlg.setOption(QFileDialog::HideNameFilterDetails);
    const QStringList filters = filterStrings(r);
    if (!filters.isEmpty()) {
        dlg.setNameFilters(filters);
        dlg.selectNameFilter(filters.value(r.filterIndex, filters.first()));
    }
    if (!r.fileName.isEmpty())
        dlg.selectFile(r.fileName);
    // Room for the name, size, type and date columns side by side.
    dlg.resize(dlg.sizeHint().expandedTo(QSize(860, 520)));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    Prompter::FileAnswer a;
    a.path = QDir::toNativeSeparators(dlg.selectedFiles().first());
    const QString chosen = dlg.selectedNameFilter();
    a.filterIndex = 0;
    for (int i = 0; i < filters.size(); ++i)
        if (chosen == filters[i] || chosen == r.filters[i].caption.simplified())
            a.filterIndex = i;
    return a;
}

} // namespace

Prompter::Button GuiPrompter::ask(const Message &m)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(m.title.isEmpty() ? QApplication::applicationDisplayName() : m.title);
    box.setText(m.text);
    switch (m.icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    }
    Button first = NoButton;
    for (Button b : {Ok, Yes, No, Abort, Retry, Ignore, Cancel}) {
        if (m.buttons.testFlag(b)) {
            box.addButton(toQt(b));
            if (first == NoButton)
                first = b;
        }
    }
    const Button def = m.defaultButton != NoButton ? m.defaultButton : first;
    box.setDefaultButton(toQt(def));
    if (m.buttons.testFlag(Cancel))
        box.setEscapeButton(QMessageBox::Cancel);
    else if (m.buttons.testFlag(No))
        box.setEscapeButton(QMessageBox::No);
    // A message before any window (the start-up warning) has no window to
    // come from: it asks for the keyboard focus itself.
    if (!m_parent) {
        box.show();
        box.raise();
        box.activateWindow();
        if (QPushButton *b = box.defaultButton())
            b->setFocus(Qt::ActiveWindowFocusReason);
    }
    const int r = box.exec();
    const Button b = fromQt(r);
    return b == NoButton ? def : b;
}

bool GuiPrompter::input(const QString &prompt, const QString &title, QString &value)
{
    QInputDialog dlg(m_parent);
    dlg.setWindowTitle(title.isEmpty() ? QApplication::applicationDisplayName() : title);
    dlg.setLabelText(prompt);
    dlg.setInputMode(QInputDialog::TextInput);
    dlg.setTextValue(value);
    // IDs, names and log lines are edited here: show a long one whole.
    if (auto *edit = dlg.findChild<QLineEdit *>())
        fitHalfWidthCharacters(edit);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    value = dlg.textValue();
    return true;
}

Prompter::FileAnswer GuiPrompter::openFile(const FileRequest &request)
{
    return runFileDialog(m_parent, request, QFileDialog::AcceptOpen);
}

Prompter::FileAnswer GuiPrompter::saveFile(const FileRequest &request)
{
    return runFileDialog(m_parent, request, QFileDialog::AcceptSave);
}

QString GuiPrompter::chooseFolder(const QString &title, const QString &folder)
{
    return QDir::toNativeSeparators(QFileDialog::getExistingDirectory(
        m_parent, title, folder, QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog));
}

int GuiPrompter::choose(const QString &text, const QStringList &captions, int defaultIndex,
                        Icon icon, const QString &title)
{
    fomMsgBox box(captions, m_parent);
    if (!title.isEmpty())
        box.setWindowTitle(title);
    box.setMessage(text);
    box.setIcon(icon);
    box.setDefaultIndex(defaultIndex);
    box.exec();
    return box.chosenIndex();
}
