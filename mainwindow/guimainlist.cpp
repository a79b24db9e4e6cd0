// The main window's address list: building and refreshing its lines, the
// selection state, the search and sort controls, keys and dropped files.
#include "mainwindow/fomBrindle.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include "core/cardops.h"
#include "core/search.h"
#include "core/addresslist.h"
#include "shell/filekind.h"

int fomBrindle::sortOrder() const
{
    for (int i = 0; i < 6; ++i)
        if (optSortOrder[i]->isChecked())
            return i;
    return 0;
}

void fomBrindle::AddView(qint32 cardNumber)
{
    if (m_doc.isBusy()) {
        AddViewSub(cardNumber);
        return;
    }
    BisyModeChange(true);
    AddViewSub(cardNumber);
    BisyModeChange(false);
}

void fomBrindle::AddViewSub(qint32 cardNumber)
{
    setStatus(QStringLiteral("一覧を作成しています。"));
    const QModelIndex current = lstAdd->currentIndex();
    if (cardNumber == -1 && m_model->rowCount() > 0 && current.isValid())
        cardNumber = m_model->cardNumberAt(current.row());

    QList<ListLine> lines;
    switch (buildListLines(m_doc.book(), m_doc.displayList(), sortOrder(), lines,
                           m_doc.progress)) {
    case BuildResult::MissingCard:
        setStatus(QStringLiteral("表示に失敗しました。"));
        return;
    case BuildResult::Interrupted:
        // Lines of a book that was replaced must not stay: their card
        // numbers belong to the old book.
        if (m_listStale) {
            m_model->clear();
            SelView();
        }
        return;
    case BuildResult::Done:
        break;
    }
    if (chkSortReverce->isChecked())
        std::reverse(lines.begin(), lines.end());
    m_model->setLines(std::move(lines));
    m_listStale = false;
    if (cardNumber >= 0) {
        const int row = m_model->firstRowOfCard(cardNumber);
        if (row >= 0) {
            const QModelIndex index = m_model->index(row);
            lstAdd->selectionModel()->setCurrentIndex(index,
                                                      QItemSelectionModel::ClearAndSelect);
            lstAdd->scrollTo(index);
        }
    }
    SelView();
}

void fomBrindle::AddReView(qint32 cardNumber)
{
    setStatus(QStringLiteral("一覧を作成しています。"));
    AddListDelete(cardNumber);
    const int index = findCardByNumber(m_doc.book(), cardNumber);
    if (index < 1) {
        setStatus(QStringLiteral("表示に失敗しました。"));
        return;
    }
    QList<ListLine> lines = cardListLines(m_doc.book().cards[index], sortOrder());
    sortListLines(lines);
    if (chkSortReverce->isChecked())
        std::reverse(lines.begin(), lines.end());
    const int first = m_model->rowCount();
    m_model->appendLines(lines);
    const QModelIndex firstIndex = m_model->index(first);
    lstAdd->selectionModel()->setCurrentIndex(firstIndex, QItemSelectionModel::ClearAndSelect);
    lstAdd->scrollTo(firstIndex);
    SelView();
}

void fomBrindle::AddListDelete(qint32 cardNumber)
{
    m_model->removeRowsOfCard(cardNumber);
    SelView();
}

void fomBrindle::SelView()
{
    const int s = lstAdd->selectionModel()->selectedRows().size();
    const int n = m_model->rowCount();
    auto enable = [this](const char *name, bool on) {
        const QString key = QString::fromLatin1(name);
        if (QToolButton *b = toolButtons.value(key))
            b->setEnabled(on);
        if (QAction *a = action(key))
            a->setEnabled(on);
    };
    enable("cmdCardEdit", s > 0);
    enable("mnuEditEdit", s > 0);
    enable("cmdCardDelete", s > 0);
    enable("mnuEditDelete", s > 0);
    enable("cmdCardCombine", s > 1);
    enable("mnuEditCombine", s > 1);
    enable("mnuEditFile", s > 0);
    enable("mnuEditFileVCard", s == 1);
    enable("cmdCollectID", n > 0);
    enable("mnuCollectID", n > 0);
    enable("cmdCollectRestore", n > 0);
    enable("mnuCollectRestore", n > 0);
    enable("cmdCollectLight", n > 0);
    enable("mnuCollectLight", n > 0);
    lblSelCount->setText(s > 0 ? QString::number(s) + QStringLiteral(" 件を選択")
                               : QString::number(n) + QStringLiteral(" 件を表示中"));
    lblInfo->setText(QString::number(m_doc.book().cardCount() - 1)
                     + QStringLiteral(" 枚のｶｰﾄﾞがあります"));
    lblStatus->setText(QString());
}

QList<qint32> fomBrindle::selectedCardNumbers() const
{
    QList<qint32> out;
    const QModelIndexList rows = lstAdd->selectionModel()->selectedRows();
    out.reserve(rows.size());
    for (const QModelIndex &i : rows)
        out.append(m_model->cardNumberAt(i.row()));
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

void fomBrindle::runSearch()
{
    setStatus(QStringLiteral("表示ｶｰﾄﾞを検索しています。"));
    m_doc.search(cboSearchList->currentIndex(), cboSearchWord->currentText());
    AddView(-1);
}

void fomBrindle::searchFieldChosen(int index)
{
    const bool withWord = index >= SearchIds;
    lblSearchGa->setText(withWord ? QStringLiteral("が") : QStringLiteral("を"));
    cboSearchWord->setVisible(withWord);
    lblSearchFukumu->setVisible(withWord);
    if (withWord) {
        cboSearchWord->clear();
        cboSearchWord->addItem(anyValueWord());
        if (index == SearchGroups)
            cboSearchWord->addItems(m_doc.book().groupList());
        cboSearchWord->setCurrentIndex(0);
    }
}

void fomBrindle::sortOrderChosen(int index)
{
    for (int i = 0; i < 5; ++i)
        action(QStringLiteral("mnuViewSortOrder%1").arg(i))->setChecked(i == index);
    whenIdle([&] { AddView(-1); });
}

void fomBrindle::reverseChosen()
{
    action(QStringLiteral("mnuViewSortReverce"))->setChecked(chkSortReverce->isChecked());
    whenIdle([&] { AddView(-1); });
}

void fomBrindle::HistoryView()
{
    bool any = false;
    for (int i = 0; i < 5; ++i) {
        const QString caption = m_doc.historyCaption(i);
        mnuFileHistory[i]->setText(caption);
        mnuFileHistory[i]->setVisible(!caption.isEmpty());
        any = any || !caption.isEmpty();
    }
    action(QStringLiteral("mnuFileHistoryLine"))->setVisible(any);
}

void fomBrindle::SelectAll()
{
    lstAdd->selectAll();
    lstAdd->viewport()->update();
    SelView();
}

void fomBrindle::InvertSelection()
{
    const int n = m_model->rowCount();
    if (n > 0) {
        const QItemSelection all(m_model->index(0), m_model->index(n - 1));
        lstAdd->selectionModel()->select(all, QItemSelectionModel::Toggle);
    }
    SelView();
}

void fomBrindle::refreshGroupWords()
{
    // The word box of a group search offers the group list as it is now.
    if (cboSearchList->currentIndex() != SearchGroups)
        return;
    const QString word = cboSearchWord->currentText();
    cboSearchWord->clear();
    cboSearchWord->addItem(anyValueWord());
    cboSearchWord->addItems(m_doc.book().groupList());
    cboSearchWord->setEditText(word);
}

void fomBrindle::showEditMenu(const QPoint &pos)
{
    if (QMenu *edit = menu(QStringLiteral("mnuEdit")))
        edit->popup(lstAdd->viewport()->mapToGlobal(pos));
}

bool fomBrindle::listKeyPress(QKeyEvent *event)
{
    if (event->modifiers() == Qt::ControlModifier) {
        // Ctrl with a character must not jump to a line starting with it;
        // Ctrl with the other keys (arrows, space, select all) works as usual.
        if (event->matches(QKeySequence::SelectAll))
            return false;
        return event->key() < Qt::Key_Escape && event->key() != Qt::Key_Space;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        CardEdit();
        return true;
    case Qt::Key_Delete:
        CardDelete();
        return true;
    default:
        return false;
    }
}

namespace {

// The local files of a drag, in order; an entry that is no local file is "".
QStringList droppedPaths(const QMimeData *data)
{
    QStringList out;
    if (!data || !data->hasUrls())
        return out;
    for (const QUrl &url : data->urls())
        out.append(url.isLocalFile() ? url.toLocalFile() : QString());
    return out;
}

} // namespace

bool fomBrindle::listDragEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        const QStringList paths = droppedPaths(drag->mimeData());
        if (!m_doc.isBusy() && !paths.isEmpty() && !paths.first().isEmpty()
            && fileKindOf(paths.first()) >= 0) {
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::DragLeave:
        return true;
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QStringList paths = droppedPaths(drop->mimeData());
        if (m_doc.isBusy() || paths.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        // The appends ask questions and open dialogs: run them after the
        // drag and drop has finished.
        QTimer::singleShot(0, this, [this, paths] { appendDroppedFiles(paths); });
        return true;
    }
    default:
        return false;
    }
}

void fomBrindle::appendDroppedFiles(const QStringList &paths)
{
    for (const QString &path : paths) {
        if (path.isEmpty())
            continue;
        const int kind = fileKindOf(path);
        if (kind < 0)
            continue; // other kinds are skipped silently
        Append(path, kind);
    }
}
