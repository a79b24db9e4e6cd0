#include "cardedit/fomGroupEdit.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

#include "common/fomMsgBox.h"
#include "common/guilistfont.h"
#include "common/prompter.h"
#include "common/textwidth.h"
#include "core/cardops.h"

namespace {

const QString CrLf = QStringLiteral("\r\n");

// The wait pointer for the lifetime of the object; paused while a question
// waits for the user.
class BusyPointer
{
public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer()
    {
        if (m_on)
            QApplication::restoreOverrideCursor();
    }
    void pause()
    {
        if (m_on)
            QApplication::restoreOverrideCursor();
        m_on = false;
    }
    void resume()
    {
        if (!m_on)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        m_on = true;
    }

private:
    bool m_on = true;
};


// The answers of the four-button question, as indices of its captions.
enum UnusedAnswer { AnswerYes = 0, AnswerNo = 1, AnswerAll = 2, AnswerCancel = 3 };

} // namespace

int fomGroupEdit::Edit(AddressBook &book, Prompter &prompter, QWidget *parent)
{
    fomGroupEdit dialog(book, prompter, parent);
    dialog.exec();
    return dialog.bookModified() ? 0 : -1;
}

fomGroupEdit::fomGroupEdit(AddressBook &book, Prompter &prompter, QWidget *parent)
    : QDialog(parent), m_book(book), m_prompter(prompter)
{
    setObjectName(QStringLiteral("fomGroupEdit"));
    setWindowTitle(QStringLiteral("ｸﾞﾙｰﾌﾟ編集"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    lstGroup = new QListWidget(this);
    lstGroup->setFont(listFont());
    lstGroup->setObjectName(QStringLiteral("lstGroup"));
    lstGroup->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstGroup->setMinimumSize(220, 260);
    lstGroup->installEventFilter(this);
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));

    auto makeButton = [this](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    cmdAdd = makeButton("cmdAdd", QStringLiteral("追加"));
    cmdEdit = makeButton("cmdEdit", QStringLiteral("変更"));
    cmdDel = makeButton("cmdDel", QStringLiteral("削除"));
    cmdAllDel = makeButton("cmdAllDel", QStringLiteral("一括"));
    cmdUp = makeButton("cmdUp", QStringLiteral("↑"));
    cmdDown = makeButton("cmdDown", QStringLiteral("↓"));
    cmdOrderAsc = makeButton("cmdOrderAsc", QStringLiteral("昇順"));
    cmdOrderDesc = makeButton("cmdOrderDesc", QStringLiteral("降順"));
    cmdExit = makeButton("cmdExit", QStringLiteral("戻る"));

    auto *left = new QVBoxLayout;
    left->addWidget(lstGroup, 1);
    left->addWidget(lblStatus);

    auto *right = new QVBoxLayout;
    right->addWidget(cmdAdd);
    right->addWidget(cmdEdit);
    right->addWidget(cmdDel);
    right->addWidget(cmdAllDel);
    right->addSpacing(12);
    auto *moves = new QHBoxLayout;
    moves->addWidget(cmdUp);
    moves->addWidget(cmdDown);
    right->addLayout(moves);
    right->addSpacing(12);
    right->addWidget(cmdOrderAsc);
    right->addWidget(cmdOrderDesc);
    right->addStretch(1);
    right->addWidget(cmdExit);
    for (QPushButton *b : {cmdUp, cmdDown})
        b->setMinimumWidth(10);

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right);

    connect(cmdAdd, &QPushButton::clicked, this, &fomGroupEdit::AddGroup);
    connect(cmdEdit, &QPushButton::clicked, this, &fomGroupEdit::EditGroup);
    connect(cmdDel, &QPushButton::clicked, this, &fomGroupEdit::DeleteGroups);
    connect(cmdAllDel, &QPushButton::clicked, this, &fomGroupEdit::DeleteUnusedGroups);
    connect(cmdUp, &QPushButton::clicked, this, &fomGroupEdit::MoveUp);
    connect(cmdDown, &QPushButton::clicked, this, &fomGroupEdit::MoveDown);
    connect(cmdOrderAsc, &QPushButton::clicked, this, [this] { SortGroups(true); });
    connect(cmdOrderDesc, &QPushButton::clicked, this, [this] { SortGroups(false); });
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::accept);
    connect(lstGroup, &QListWidget::itemSelectionChanged, this, &fomGroupEdit::RefreshStatus);
    connect(lstGroup, &QListWidget::currentRowChanged, this, &fomGroupEdit::RefreshStatus);
    connect(lstGroup, &QListWidget::itemDoubleClicked, this, &fomGroupEdit::EditGroup);

    // Opening: the group list, the first line focused.
    lstGroup->addItems(m_book.groupList());
    if (lstGroup->count() > 0)
        focusRow(0, true);
    RefreshStatus();
}

QStringList fomGroupEdit::lines() const
{
    QStringList out;
    out.reserve(lstGroup->count());
    for (int i = 0; i < lstGroup->count(); ++i)
        out << lstGroup->item(i)->text();
    return out;
}

void fomGroupEdit::done(int result)
{
    m_book.groupList() = lines();
    QDialog::done(result);
}

bool fomGroupEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lstGroup && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                EditGroup();
                return true;
            }
            if (key->key() == Qt::Key_Delete) {
                DeleteGroups();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool fomGroupEdit::isUsed(const QString &name) const
{
    return findCardByGroup(m_book, name) >= 0;
}

int fomGroupEdit::countUnused() const
{
    int n = 0;
    for (int i = 0; i < lstGroup->count(); ++i)
        if (!isUsed(lstGroup->item(i)->text()))
            ++n;
    return n;
}

void fomGroupEdit::focusRow(int row, bool select)
{
    if (row < 0 || row >= lstGroup->count())
        return;
    lstGroup->setCurrentRow(row, select ? QItemSelectionModel::ClearAndSelect
                                        : QItemSelectionModel::NoUpdate);
    lstGroup->scrollToItem(lstGroup->item(row));
}

void fomGroupEdit::RefreshStatus()
{
    const int n = lstGroup->count();
    const int focused = lstGroup->currentRow();
    const int selected = int(lstGroup->selectedItems().size());
    cmdOrderAsc->setEnabled(n > 1);
    cmdOrderDesc->setEnabled(n > 1);
    cmdUp->setEnabled(n > 1 && focused > 0);
    cmdDown->setEnabled(n > 1 && focused >= 0 && focused < n - 1);
    cmdEdit->setEnabled(selected > 0 && focused >= 0);
    cmdDel->setEnabled(selected > 0);
    cmdAllDel->setEnabled(n > 0);
    if (selected > 0)
        lblStatus->setText(QString::number(selected)
                           + QStringLiteral(" 個のｸﾞﾙｰﾌﾟを選択中"));
    else
        lblStatus->setText(QString::number(n) + QStringLiteral(" 個のｸﾞﾙｰﾌﾟ"));
}

void fomGroupEdit::AddGroup()
{
    QString answer;
    if (!m_prompter.input(QStringLiteral("追加するｸﾞﾙｰﾌﾟ名を入力してください"), QString(),
                          answer))
        return;
    answer = trimmedSpaces(answer);
    if (answer.isEmpty())
        return;
    int row = -1;
    for (int i = 0; i < lstGroup->count(); ++i) {
        if (lstGroup->item(i)->text() == answer) {
            row = i;
            break;
        }
    }
    if (row < 0) {
        lstGroup->addItem(answer);
        row = lstGroup->count() - 1;
    }
    focusRow(row, true);
    markModified();
    RefreshStatus();
}

void fomGroupEdit::EditGroup()
{
    QListWidgetItem *item = lstGroup->currentItem();
    if (!item)
        return;
    const QString old = item->text();
    QString answer = old;
    if (!m_prompter.input(QStringLiteral("ｸﾞﾙｰﾌﾟ名を編集してください"), QString(), answer))
        answer.clear();
    answer = trimmedSpaces(answer);
    if (answer.isEmpty() || answer == old) {
        RefreshStatus();
        return;
    }

    QListWidgetItem *target = nullptr;
    for (int i = 0; i < lstGroup->count(); ++i) {
        if (lstGroup->item(i)->text() == answer) {
            if (!m_prompter.confirm(QStringLiteral("[") + answer
                                    + QStringLiteral("]は既に使用されています。統合しますか？")))
                return;
            target = lstGroup->item(i);
            break;
        }
    }

    renameGroupInCards(answer, old, m_book);
    if (!target) {
        item->setText(answer);
    } else {
        delete lstGroup->takeItem(lstGroup->row(item));
        focusRow(lstGroup->row(target), true);
    }
    markModified();
    RefreshStatus();
}

void fomGroupEdit::DeleteGroups()
{
    int i = 0;
    while (i < lstGroup->count()) {
        QListWidgetItem *item = lstGroup->item(i);
        if (!item->isSelected()) {
            ++i;
            continue;
        }
        const QString name = item->text();
        if (isUsed(name)) {
            if (!m_prompter.confirm(
                    QStringLiteral("[") + name + QStringLiteral("]は使用されています。") + CrLf
                    + QStringLiteral("使用しているカードのグループも同時に削除します。宜しいですか？"))) {
                ++i;
                continue;
            }
            removeGroupFromCards(name, m_book);
        }
        delete lstGroup->takeItem(i);
        markModified();
    }
    RefreshStatus();
}

void fomGroupEdit::DeleteUnusedGroups()
{
    const int unused = countUnused();
    if (unused == 0) {
        m_prompter.notice(QStringLiteral("使用されていないグループはありません。"));
        return;
    }

    const QStringList captions = fomMsgBox::standardCaptions();
    BusyPointer busy;
    int remaining = unused;
    bool all = false;
    int i = 0;
    while (i < lstGroup->count()) {
        const QString name = lstGroup->item(i)->text();
        if (isUsed(name)) {
            ++i;
            continue;
        }
        int answer = AnswerAll;
        if (!all) {
            busy.pause();
            const QString question =
                QStringLiteral("使用されていないグループが ") + QString::number(remaining)
                + QStringLiteral("件あります。") + CrLf + CrLf + QStringLiteral("[") + name
                + QStringLiteral("]は削除しても宜しいですか？");
            answer = m_prompter.choose(question, captions, AnswerNo, Prompter::Icon::Question);
            busy.resume();
        }
        if (answer == AnswerNo) {
            ++i;
            continue;
        }
        if (answer != AnswerYes && answer != AnswerAll)
            break; // cancel or closed
        if (answer == AnswerAll)
            all = true;
        delete lstGroup->takeItem(i);
        --remaining;
        if (lstGroup->count() > 0)
            focusRow(std::min(i, lstGroup->count() - 1), false);
        markModified();
        lstGroup->repaint();
    }
    RefreshStatus();
}

void fomGroupEdit::exchangeRows(int a, int b)
{
    QListWidgetItem *x = lstGroup->item(a);
    QListWidgetItem *y = lstGroup->item(b);
    const QString text = x->text();
    const bool selected = x->isSelected();
    x->setText(y->text());
    x->setSelected(y->isSelected());
    y->setText(text);
    y->setSelected(selected);
}

void fomGroupEdit::MoveDown()
{
    const int i = lstGroup->currentRow();
    if (i < 0)
        return;
    if (i >= lstGroup->count() - 1) {
        m_prompter.notice(QStringLiteral("一番後ろです。"));
        return;
    }
    exchangeRows(i, i + 1);
    focusRow(i + 1, false);
    markModified();
    RefreshStatus();
}

void fomGroupEdit::MoveUp()
{
    const int i = lstGroup->currentRow();
    if (i < 0)
        return;
    if (i == 0) {
        m_prompter.notice(QStringLiteral("一番先頭です。"));
        return;
    }
    exchangeRows(i, i - 1);
    focusRow(i - 1, false);
    markModified();
    RefreshStatus();
}

void fomGroupEdit::SortGroups(bool ascending)
{
    if (!m_prompter.confirm(ascending
                                ? QStringLiteral("グループを昇順に並べ替えます。宜しいですか？")
                                : QStringLiteral("グループを降順に並べ替えます。宜しいですか？")))
        return;
    BusyPointer busy;
    QStringList names = lines();
    if (ascending)
        std::sort(names.begin(), names.end());
    else
        std::sort(names.begin(), names.end(), std::greater<QString>());
    for (int i = 0; i < names.size(); ++i)
        lstGroup->item(i)->setText(names[i]);
    markModified();
    RefreshStatus();
}
