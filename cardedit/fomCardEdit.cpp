#include "cardedit/fomCardEdit.h"

#include "common/guiboxwidth.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedLayout>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>

#include "cardedit/cardedittexts.h"
#include "cardedit/fomGroupSelect.h"
#include "common/fomCalendarSelect.h"
#include "common/fomTimeSelect.h"
#include "common/guilistfont.h"
#include "common/oledate.h"
#include "common/prompter.h"
#include "common/textwidth.h"
#include "common/profilefiles.h"
#include "core/cardops.h"
#include "core/validation.h"

namespace {

using namespace CardEditText;

// The string fields edited in the six one-line text boxes, in the order of
// the boxes txtPost, txtAddress, txtTel, txtFax, txtHandy, txtBell.
constexpr int TextBoxKinds[6] = {KindPostalCode, KindAddress, KindTelephone,
                                 KindFax, KindMobile, KindPager};

QPushButton *makeButton(QWidget *parent, const char *name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    // Enter in a text box must not press a button of the editor.
    b->setAutoDefault(false);
    return b;
}

QPushButton *makeSmallButton(QWidget *parent, const char *name, const QString &text)
{
    QPushButton *b = makeButton(parent, name, text);
    b->setFixedWidth(30);
    return b;
}

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text = QString())
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

// A label that shows a value: sunken like a field.
QLabel *makeValueLabel(QWidget *parent, const char *name)
{
    QLabel *l = makeLabel(parent, name);
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setMinimumWidth(140);
    return l;
}

QListWidget *makeList(QWidget *parent, const char *name)
{
    auto *l = new QListWidget(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setFont(listFont());
    l->setSelectionMode(QAbstractItemView::ExtendedSelection);
    l->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    return l;
}

QStringList itemsOf(const QComboBox *box)
{
    QStringList out;
    out.reserve(box->count());
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

QStringList linesOf(const QListWidget *list)
{
    QStringList out;
    out.reserve(list->count());
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

void fillBox(QComboBox *box, const QStringList &items)
{
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(items.isEmpty() ? -1 : 0);
}

bool isCtrlA(const QKeyEvent *e)
{
    return e->key() == Qt::Key_A
        && (e->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
}

// A list with a column of buttons to its right.
QHBoxLayout *listBesideButtons(QListWidget *list, std::initializer_list<QPushButton *> buttons)
{
    auto *column = new QVBoxLayout;
    for (QPushButton *b : buttons)
        column->addWidget(b);
    column->addStretch();
    auto *row = new QHBoxLayout;
    row->addWidget(list, 1);
    row->addLayout(column);
    return row;
}

} // namespace

fomCardEdit::fomCardEdit(AddressBook &book, int cardIndex, const CardEditOptions &options,
                         Prompter &prompter, QWidget *parent)
    : QDialog(parent),
      m_book(book),
      m_cardIndex(cardIndex >= 1 && cardIndex < book.cards.size() ? cardIndex : -1),
      m_options(options),
      m_prompter(prompter),
      m_card(m_cardIndex >= 1 ? book.cards[m_cardIndex] : Card::newCard())
{
    setObjectName(QStringLiteral("fomCardEdit"));
    setWindowTitle(Title);
    buildPages();
    connectControls();
    showPage(0);
    load();
}

int fomCardEdit::Edit(AddressBook &book, qint32 number, const CardEditOptions &options,
                      Prompter &prompter, QWidget *parent)
{
    int index = -1;
    if (number != -1) {
        index = findCardByNumber(book, number);
        if (index < 1)
            return -1;
    }
    fomCardEdit dlg(book, index, options, prompter, parent);
    dlg.exec();
    return dlg.commit();
}

int fomCardEdit::commit()
{
    if (m_outcome != 0 || m_committed)
        return -1;
    m_committed = true;
    int index = -1;
    if (m_cardIndex >= 1) {
        // The book does not change while the editor is open; still, write
        // only to the card that carries the edited number.
        index = m_cardIndex < m_book.cards.size()
                && m_book.cards[m_cardIndex].number == m_card.number
            ? m_cardIndex
            : findCardByNumber(m_book, m_card.number);
        if (index < 1)
            return -1;
        m_book.cards[index] = m_card;
    } else {
        Card card = m_card;
        const int added = addCard(card, m_book, m_prompter);
        if (added < 0)
            return -1;
        if (added == 0) {
            index = findCardByNumber(m_book, card.number);
        } else {
            // Merged into the card holding one of its IDs.
            for (const QString &id : card.ids) {
                index = findCardById(m_book, id);
                if (index >= 1)
                    break;
            }
        }
        if (index < 1)
            return -1;
    }
    Card &stored = m_book.cards[index];
    stored.status = validateCard(stored, m_book.groupList(), m_options.limits);
    return stored.number;
}

int fomCardEdit::currentPage() const
{
    return m_pages->currentIndex();
}

// ---- Layout --------------------------------------------------------------

void fomCardEdit::buildPages()
{
    const QString captions[7] = {Tab0, Tab1, Tab2, Tab3, Tab4, Tab5, Tab6};
    auto *tabRow = new QHBoxLayout;
    tabRow->setSpacing(2);
    for (int i = 0; i < 7; ++i) {
        auto *b = new QToolButton(this);
        b->setObjectName(QStringLiteral("optTab%1").arg(i));
        b->setText(captions[i]);
        b->setCheckable(true);
        b->setAutoExclusive(true);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        b->setMinimumHeight(26);
        optTab[i] = b;
        tabRow->addWidget(b);
    }

    cmdTab = new QFrame(this);
    cmdTab->setObjectName(QStringLiteral("cmdTab"));
    cmdTab->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_pages = new QStackedLayout(cmdTab);
    m_pages->setContentsMargins(cmdTab->frameWidth(), cmdTab->frameWidth(),
                                cmdTab->frameWidth(), cmdTab->frameWidth());
    QWidget *pages[7] = {buildAddressPage(), buildMemoPage(), buildProfilePage(),
                         buildMailPage(), buildRecentPage(), buildLinkPage(),
                         buildTimeStampPage()};
    for (int i = 0; i < 7; ++i) {
        picTab[i] = pages[i];
        picTab[i]->setObjectName(QStringLiteral("picTab%1").arg(i));
        picTab[i]->setAccessibleName(captions[i]); // names the page's unlabelled boxes
        m_pages->addWidget(picTab[i]);
    }

    chkAutoTimeStump = new QCheckBox(AutoTimeStamp, this);
    chkAutoTimeStump->setObjectName(QStringLiteral("chkAutoTimeStump"));
    chkAutoTimeStump->setChecked(m_options.autoTimeStamp);
    cmdExit = makeButton(this, "cmdExit", Save);
    cmdCancel = makeButton(this, "cmdCancel", Cancel);
    cmdExit->setMinimumWidth(90);
    cmdCancel->setMinimumWidth(90);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(chkAutoTimeStump);
    bottom->addStretch();
    bottom->addWidget(cmdExit);
    bottom->addWidget(cmdCancel);

    auto *root = new QVBoxLayout(this);
    root->addLayout(tabRow);
    root->addWidget(cmdTab, 1);
    root->addLayout(bottom);
    resize(620, 440);
}

QWidget *fomCardEdit::buildAddressPage()
{
    auto *page = new QWidget(this);
    auto *grid = new QGridLayout(page);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    int row = 0;

    const auto listRow = [&](const char *labelName, const QString &label, QComboBox *&box,
                             const char *boxName, QPushButton *buttons[5],
                             const char *const names[5]) {
        grid->addWidget(makeLabel(page, labelName, label), row, 0);
        box = new QComboBox(page);
        box->setObjectName(QString::fromLatin1(boxName));
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        fitHalfWidthCharacters(box);
        auto *h = new QHBoxLayout;
        h->addWidget(box, 1);
        const QString captions[5] = {Add, Change, Delete, Up, Down};
        for (int i = 0; i < 5; ++i) {
            buttons[i] = i < 3 ? makeButton(page, names[i], captions[i])
                               : makeSmallButton(page, names[i], captions[i]);
            if (i < 3)
                buttons[i]->setFixedWidth(60);
            h->addWidget(buttons[i]);
        }
        grid->addLayout(h, row, 1, 1, 3);
        ++row;
    };
    QPushButton *idButtons[5];
    const char *const idNames[5] = {"cmdIDAdd", "cmdIDEdit", "cmdIDDel", "cmdIdUp", "cmdIdDown"};
    listRow("lblID", LabelId, cboID, "cboID", idButtons, idNames);
    cmdIDAdd = idButtons[0];
    cmdIDEdit = idButtons[1];
    cmdIDDel = idButtons[2];
    cmdIdUp = idButtons[3];
    cmdIdDown = idButtons[4];
    QPushButton *nameButtons[5];
    const char *const nameNames[5] = {"cboNameAdd", "cboNameEdit", "cboNameDel", "cmdNameUp",
                                      "cmdNameDown"};
    listRow("lblName", LabelName, cboName, "cboName", nameButtons, nameNames);
    cboNameAdd = nameButtons[0];
    cboNameEdit = nameButtons[1];
    cboNameDel = nameButtons[2];
    cmdNameUp = nameButtons[3];
    cmdNameDown = nameButtons[4];

    const auto lineEdit = [&](const char *name) {
        auto *e = new QLineEdit(page);
        e->setObjectName(QString::fromLatin1(name));
        // The default cap of 32767 characters would cut long stored texts.
        e->setMaxLength(std::numeric_limits<int>::max());
        return e;
    };
    txtPost = lineEdit("txtPost");
    txtAddress = lineEdit("txtAddress");
    txtTel = lineEdit("txtTel");
    txtFax = lineEdit("txtFax");
    txtHandy = lineEdit("txtHandy");
    txtBell = lineEdit("txtBell");
    txtPost->setMaximumWidth(100);
    m_textBoxes[0] = txtPost;
    m_textBoxes[1] = txtAddress;
    m_textBoxes[2] = txtTel;
    m_textBoxes[3] = txtFax;
    m_textBoxes[4] = txtHandy;
    m_textBoxes[5] = txtBell;

    grid->addWidget(makeLabel(page, "lblAddress", LabelAddress), row, 0);
    auto *addr = new QHBoxLayout;
    addr->addWidget(txtPost);
    addr->addWidget(txtAddress, 1);
    grid->addLayout(addr, row, 1, 1, 3);
    ++row;
    grid->addWidget(makeLabel(page, "lblTel", LabelTel), row, 0);
    grid->addWidget(txtTel, row, 1);
    grid->addWidget(makeLabel(page, "lblFax", LabelFax), row, 2);
    grid->addWidget(txtFax, row, 3);
    ++row;
    grid->addWidget(makeLabel(page, "lblHandy", LabelHandy), row, 0);
    grid->addWidget(txtHandy, row, 1);
    grid->addWidget(makeLabel(page, "lblBell", LabelBell), row, 2);
    grid->addWidget(txtBell, row, 3);
    ++row;

    grid->addWidget(makeLabel(page, "lblBirthCaption", LabelBirth), row, 0);
    lblBirth = makeValueLabel(page, "lblBirth");
    lblAge = makeLabel(page, "lblAge");
    cmdBirth = makeButton(page, "cmdBirth", Change);
    cmdBirthDel = makeButton(page, "cmdBirthDel", Delete);
    cmdBirth->setFixedWidth(60);
    cmdBirthDel->setFixedWidth(60);
    auto *birth = new QHBoxLayout;
    birth->addWidget(lblBirth);
    birth->addWidget(lblAge, 1);
    birth->addWidget(cmdBirth);
    birth->addWidget(cmdBirthDel);
    grid->addLayout(birth, row, 1, 1, 3);
    ++row;

    grid->addWidget(makeLabel(page, "lblGroup", LabelGroup), row, 0);
    cboGroup = new QComboBox(page);
    cboGroup->setObjectName(QStringLiteral("cboGroup"));
    cboGroup->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    fitHalfWidthCharacters(cboGroup);
    cmdGroupEdit = makeButton(page, "cmdGroupEdit", Change);
    cmdGroupEdit->setFixedWidth(60);
    auto *group = new QHBoxLayout;
    group->addWidget(cboGroup, 1);
    group->addWidget(cmdGroupEdit);
    grid->addLayout(group, row, 1, 1, 3);
    ++row;
    grid->setRowStretch(row, 1);
    return page;
}

QWidget *fomCardEdit::buildMemoPage()
{
    auto *page = new QWidget(this);
    auto *v = new QVBoxLayout(page);
    txtMemo = new QPlainTextEdit(page);
    txtMemo->setObjectName(QStringLiteral("txtMemo"));
    txtMemo->setFont(listFont());
    txtMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    v->addWidget(txtMemo);
    return page;
}

QWidget *fomCardEdit::buildProfilePage()
{
    auto *page = new QWidget(this);
    auto *v = new QVBoxLayout(page);
    lblProfPage = makeLabel(page, "lblProfPage", ProfPageDesign);
    lblProfPage->setMinimumWidth(70);
    lblProfPage->setAlignment(Qt::AlignCenter);
    cmdProfLeft = makeSmallButton(page, "cmdProfLeft", PrevPage);
    cmdProfRight = makeSmallButton(page, "cmdProfRight", NextPage);
    cmdProfLeftSwap = makeSmallButton(page, "cmdProfLeftSwap", PrevPage);
    cmdProfRightSwap = makeSmallButton(page, "cmdProfRightSwap", NextPage);
    cmdProfAdd = makeButton(page, "cmdProfAdd", Add);
    cmdProfDelete = makeButton(page, "cmdProfDelete", Delete);
    cmdProfTitleEdit = makeButton(page, "cmdProfTitleEdit", ChangeTitle);
    auto *top = new QHBoxLayout;
    top->addWidget(cmdProfLeft);
    top->addWidget(lblProfPage);
    top->addWidget(cmdProfRight);
    top->addSpacing(12);
    top->addWidget(cmdProfLeftSwap);
    top->addWidget(makeLabel(page, "lblProfSwap", Swap));
    top->addWidget(cmdProfRightSwap);
    top->addStretch();
    top->addWidget(cmdProfAdd);
    top->addWidget(cmdProfDelete);
    top->addWidget(cmdProfTitleEdit);
    v->addLayout(top);

    lblProfTitle = makeValueLabel(page, "lblProfTitle");
    lblProfTitle->setText(ProfTitleDesign);
    v->addWidget(lblProfTitle);
    txtProf = new QPlainTextEdit(page);
    txtProf->setObjectName(QStringLiteral("txtProf"));
    txtProf->setReadOnly(true);
    txtProf->setFont(listFont());
    txtProf->setLineWrapMode(QPlainTextEdit::NoWrap);
    v->addWidget(txtProf, 1);
    return page;
}

QWidget *fomCardEdit::buildMailPage()
{
    auto *page = new QWidget(this);
    lstMailList = makeList(page, "lstMailList");
    cmdMailEdit = makeButton(page, "cmdMailEdit", Correct);
    cmdMailDelete = makeButton(page, "cmdMailDelete", Delete);
    auto *v = new QVBoxLayout(page);
    v->addLayout(listBesideButtons(lstMailList, {cmdMailEdit, cmdMailDelete}));
    return page;
}

QWidget *fomCardEdit::buildRecentPage()
{
    auto *page = new QWidget(this);
    auto *v = new QVBoxLayout(page);
    const auto section = [&](const char *labelName, const QString &label, QListWidget *&list,
                             const char *listName, QCheckBox *&flag, const char *flagName,
                             QPushButton *&edit, const char *editName, QPushButton *&del,
                             const char *delName) {
        auto *head = new QHBoxLayout;
        head->addWidget(makeLabel(page, labelName, label));
        head->addStretch();
        flag = new QCheckBox(AutoRecord, page);
        flag->setObjectName(QString::fromLatin1(flagName));
        head->addWidget(flag);
        v->addLayout(head);
        list = makeList(page, listName);
        edit = makeButton(page, editName, Correct);
        del = makeButton(page, delName, Delete);
        v->addLayout(listBesideButtons(list, {edit, del}), 1);
    };
    section("lblExcg", LabelExchange, lstExcgList, "lstExcgList", chkExcgFlg, "chkExcgFlg",
            cmdExcgEdit, "cmdExcgEdit", cmdExcgDelete, "cmdExcgDelete");
    section("lblSay", LabelRemark, lstSayList, "lstSayList", chkSayFlg, "chkSayFlg", cmdSayEdit,
            "cmdSayEdit", cmdSayDelete, "cmdSayDelete");
    return page;
}

QWidget *fomCardEdit::buildLinkPage()
{
    auto *page = new QWidget(this);
    lstLinkList = makeList(page, "lstLinkList");
    cmdLinkAdd = makeButton(page, "cmdLinkAdd", Add);
    cmdLinkDel = makeButton(page, "cmdLinkDel", Delete);
    cmdLinkOpen = makeButton(page, "cmdLinkOpen", Open);
    auto *v = new QVBoxLayout(page);
    v->addLayout(listBesideButtons(lstLinkList, {cmdLinkAdd, cmdLinkDel, cmdLinkOpen}));
    return page;
}

QWidget *fomCardEdit::buildTimeStampPage()
{
    auto *page = new QWidget(this);
    auto *grid = new QGridLayout(page);
    lblCDate = makeValueLabel(page, "lblCDate");
    lblCTime = makeValueLabel(page, "lblCTime");
    lblUDate = makeValueLabel(page, "lblUDate");
    lblUTime = makeValueLabel(page, "lblUTime");
    cmdCDateNow = makeButton(page, "cmdCDateNow", Now);
    cmdCDateFixUDate = makeButton(page, "cmdCDateFixUDate", SameAsUpdated);
    cmdUDateNow = makeButton(page, "cmdUDateNow", Now);
    cmdUDateFixCDate = makeButton(page, "cmdUDateFixCDate", SameAsCreated);
    for (QLabel *l : {lblCDate, lblCTime, lblUDate, lblUTime}) {
        l->setCursor(Qt::PointingHandCursor);
        l->installEventFilter(this);
    }
    grid->addWidget(makeLabel(page, "lblCreated", LabelCreated), 0, 0);
    grid->addWidget(lblCDate, 0, 1);
    grid->addWidget(lblCTime, 0, 2);
    grid->addWidget(cmdCDateNow, 0, 3);
    grid->addWidget(cmdCDateFixUDate, 0, 4);
    grid->addWidget(makeLabel(page, "lblUpdated", LabelUpdated), 1, 0);
    grid->addWidget(lblUDate, 1, 1);
    grid->addWidget(lblUTime, 1, 2);
    grid->addWidget(cmdUDateNow, 1, 3);
    grid->addWidget(cmdUDateFixCDate, 1, 4);
    grid->setColumnStretch(5, 1);
    grid->setRowStretch(2, 1);
    return page;
}

// ---- Wiring --------------------------------------------------------------

void fomCardEdit::connectControls()
{
    for (int i = 0; i < 7; ++i)
        connect(optTab[i], &QAbstractButton::clicked, this, [this, i] { showPage(i); });

    connect(cmdIDAdd, &QPushButton::clicked, this, [this] { addItem(cboID, PromptAddId, true); });
    connect(cmdIDEdit, &QPushButton::clicked, this,
            [this] { changeItem(cboID, PromptEditId, true); });
    connect(cmdIDDel, &QPushButton::clicked, this, [this] { deleteItem(cboID); });
    connect(cmdIdUp, &QPushButton::clicked, this, [this] { moveItem(cboID, -1); });
    connect(cmdIdDown, &QPushButton::clicked, this, [this] { moveItem(cboID, 1); });
    connect(cboNameAdd, &QPushButton::clicked, this,
            [this] { addItem(cboName, PromptAddName, false); });
    connect(cboNameEdit, &QPushButton::clicked, this,
            [this] { changeItem(cboName, PromptEditName, false); });
    connect(cboNameDel, &QPushButton::clicked, this, [this] { deleteItem(cboName); });
    connect(cmdNameUp, &QPushButton::clicked, this, [this] { moveItem(cboName, -1); });
    connect(cmdNameDown, &QPushButton::clicked, this, [this] { moveItem(cboName, 1); });
    connect(cmdGroupEdit, &QPushButton::clicked, this, &fomCardEdit::editGroups);

    for (QLineEdit *e : m_textBoxes)
        connect(e, &QLineEdit::textChanged, this, &fomCardEdit::setDirty);
    connect(txtMemo, &QPlainTextEdit::textChanged, this, &fomCardEdit::setDirty);
    connect(chkExcgFlg, &QCheckBox::clicked, this, &fomCardEdit::setDirty);
    connect(chkSayFlg, &QCheckBox::clicked, this, &fomCardEdit::setDirty);

    connect(cmdBirth, &QPushButton::clicked, this, &fomCardEdit::changeBirthday);
    connect(cmdBirthDel, &QPushButton::clicked, this, [this] {
        if (m_card.birthday == NoDate)
            return;
        m_card.birthday = NoDate;
        showBirthday();
        setDirty();
    });

    const struct {
        QListWidget *list;
        QPushButton *edit;
        QPushButton *del;
        QString prompt;
    } logs[3] = {{lstMailList, cmdMailEdit, cmdMailDelete, PromptEditMail},
                 {lstExcgList, cmdExcgEdit, cmdExcgDelete, PromptEditExchange},
                 {lstSayList, cmdSayEdit, cmdSayDelete, PromptEditRemark}};
    for (const auto &l : logs) {
        QListWidget *list = l.list;
        const QString prompt = l.prompt;
        connect(l.edit, &QPushButton::clicked, this, [this, list, prompt] { changeLine(list, prompt); });
        connect(l.del, &QPushButton::clicked, this, [this, list] { deleteSelectedLines(list); });
        connect(list, &QListWidget::itemDoubleClicked, this,
                [this, list, prompt] { changeLine(list, prompt); });
        list->installEventFilter(this);
    }
    txtMemo->installEventFilter(this);
    txtProf->installEventFilter(this);

    connect(cmdProfLeft, &QPushButton::clicked, this, [this] { pageProfile(-1); });
    connect(cmdProfRight, &QPushButton::clicked, this, [this] { pageProfile(1); });
    connect(cmdProfLeftSwap, &QPushButton::clicked, this, [this] { swapProfile(-1); });
    connect(cmdProfRightSwap, &QPushButton::clicked, this, [this] { swapProfile(1); });
    connect(cmdProfDelete, &QPushButton::clicked, this, &fomCardEdit::deleteProfile);
    connect(cmdProfTitleEdit, &QPushButton::clicked, this, &fomCardEdit::changeProfileTitle);
    connect(cmdProfAdd, &QPushButton::clicked, this, &fomCardEdit::addProfile);

    connect(cmdCDateNow, &QPushButton::clicked, this, &fomCardEdit::createdNow);
    connect(cmdUDateNow, &QPushButton::clicked, this, [this] {
        m_card.updated = oleNow();
        setDirty();
        showUpdated();
    });
    connect(cmdCDateFixUDate, &QPushButton::clicked, this, [this] {
        m_card.created = m_card.updated;
        setDirty();
        showCreated();
    });
    connect(cmdUDateFixCDate, &QPushButton::clicked, this, [this] {
        m_card.updated = m_card.created;
        setDirty();
        showUpdated();
    });

    connect(cmdExit, &QPushButton::clicked, this, &fomCardEdit::save);
    connect(cmdCancel, &QPushButton::clicked, this, &fomCardEdit::reject);
}

void fomCardEdit::load()
{
    m_loading = true;
    fillBox(cboID, m_card.ids);
    fillBox(cboName, m_card.names);
    for (int i = 0; i < 6; ++i) {
        m_textBoxes[i]->setText(*m_card.stringField(TextBoxKinds[i]));
        m_textBoxes[i]->setCursorPosition(0);
        m_loadedTexts[i] = m_textBoxes[i]->text();
    }
    showBirthday();
    fillBox(cboGroup, m_card.groups);
    txtMemo->setPlainText(memoToEditor(m_card.memo));
    m_loadedMemo = memoText();
    m_profilePage = 0;
    showProfilePage();
    lstMailList->clear();
    lstMailList->addItems(m_card.mailLog);
    chkExcgFlg->setChecked(m_card.exchangeAutoRecord != 0);
    lstExcgList->clear();
    lstExcgList->addItems(m_card.exchangeRecords);
    chkSayFlg->setChecked(m_card.remarkAutoRecord != 0);
    lstSayList->clear();
    lstSayList->addItems(m_card.remarkRecords);
    lstLinkList->clear();
    lstLinkList->addItem(LinkLine);
    showCreated();
    showUpdated();
    m_dirty = false;
    m_loading = false;
}

void fomCardEdit::showPage(int index)
{
    optTab[index]->setChecked(true);
    m_pages->setCurrentIndex(index);
}

void fomCardEdit::setDirty()
{
    if (!m_loading)
        m_dirty = true;
}

bool fomCardEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == lblCDate || watched == lblCTime)
            pickDate(m_card.created, watched == lblCTime);
        else if (watched == lblUDate || watched == lblUTime)
            pickDate(m_card.updated, watched == lblUTime);
        else
            return QDialog::eventFilter(watched, event);
        return true;
    }
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);

    auto *key = static_cast<QKeyEvent *>(event);
    // Ctrl+A selects everything. The key and its character arrive in this
    // one event, so taking the event whole also drops the character, which
    // would otherwise start a search in a list.
    if (watched == txtMemo || watched == txtProf) {
        if (isCtrlA(key)) {
            static_cast<QPlainTextEdit *>(watched)->selectAll();
            return true;
        }
        return QDialog::eventFilter(watched, event);
    }
    auto *list = qobject_cast<QListWidget *>(watched);
    if (list != lstMailList && list != lstExcgList && list != lstSayList)
        return QDialog::eventFilter(watched, event);
    if (isCtrlA(key)) {
        list->selectAll();
        return true;
    }
    if (key->modifiers() & ~Qt::KeypadModifier)
        return QDialog::eventFilter(watched, event);
    switch (key->key()) {
    case Qt::Key_Delete:
        deleteSelectedLines(list);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        changeLine(list, list == lstMailList   ? PromptEditMail
                         : list == lstExcgList ? PromptEditExchange
                                               : PromptEditRemark);
        return true;
    default:
        return QDialog::eventFilter(watched, event);
    }
}

// ---- IDs, names and groups -----------------------------------------------

bool fomCardEdit::idHeldByOtherCard(const QString &id)
{
    if (otherCardWithId(m_book, id, m_cardIndex) < 0)
        return false;
    m_prompter.notice(QStringLiteral("[") + id + IdUsedByOtherCard, Prompter::Icon::Warning);
    return true;
}

void fomCardEdit::addItem(QComboBox *box, const QString &prompt, bool checkOtherCards)
{
    QString answer;
    if (!m_prompter.input(prompt, QString(), answer))
        return;
    answer = trimmedSpaces(answer);
    if (answer.isEmpty())
        return;
    for (int i = 0; i < box->count(); ++i) {
        if (box->itemText(i) == answer) {
            box->setCurrentIndex(i);
            return;
        }
    }
    if (checkOtherCards && idHeldByOtherCard(answer))
        return;
    box->addItem(answer);
    box->setCurrentIndex(box->count() - 1);
    setDirty();
}

void fomCardEdit::changeItem(QComboBox *box, const QString &prompt, bool checkOtherCards)
{
    const int pos = box->currentIndex();
    if (pos < 0)
        return;
    const QString old = box->itemText(pos);
    QString answer = old;
    if (!m_prompter.input(prompt, QString(), answer))
        return;
    answer = trimmedSpaces(answer);
    if (answer.isEmpty() || answer == old)
        return;
    for (int i = 0; i < box->count(); ++i) {
        if (box->itemText(i) == answer) {
            m_prompter.notice(QStringLiteral("[") + answer + AlreadyUsed);
            return;
        }
    }
    if (checkOtherCards && idHeldByOtherCard(answer))
        return;
    box->setItemText(pos, answer);
    box->setCurrentIndex(pos);
    setDirty();
}

void fomCardEdit::deleteItem(QComboBox *box)
{
    const int pos = box->currentIndex();
    if (pos < 0)
        return;
    box->removeItem(pos);
    box->setCurrentIndex(box->count() == 0 ? -1 : qMin(pos, box->count() - 1));
    setDirty();
}

void fomCardEdit::moveItem(QComboBox *box, int delta)
{
    const int i = box->currentIndex();
    if (delta < 0 && i < 1) {
        m_prompter.notice(AtFirst);
        return;
    }
    if (delta > 0 && i >= box->count() - 1) {
        m_prompter.notice(AtLast);
        return;
    }
    const int j = i + delta;
    const QString a = box->itemText(i);
    box->setItemText(i, box->itemText(j));
    box->setItemText(j, a);
    box->setCurrentIndex(j);
    setDirty();
}

void fomCardEdit::editGroups()
{
    QStringList groups = itemsOf(cboGroup);
    if (fomGroupSelect::View(m_book.groupList(), groups, m_prompter, this) != 0)
        return;
    fillBox(cboGroup, groups);
    setDirty();
}

// ---- Mail log and record lists -------------------------------------------

void fomCardEdit::changeLine(QListWidget *list, const QString &prompt)
{
    QListWidgetItem *item = list->currentItem();
    if (list->count() == 0 || !item)
        return;
    const QString old = item->text();
    QString answer = old;
    if (!m_prompter.input(prompt, QString(), answer))
        return;
    answer = trimmedSpaces(answer);
    if (answer.isEmpty() || answer == old)
        return;
    item->setText(answer);
    setDirty();
}

void fomCardEdit::deleteSelectedLines(QListWidget *list)
{
    bool removed = false;
    for (int i = 0; i < list->count();) {
        if (list->item(i)->isSelected()) {
            delete list->takeItem(i);
            removed = true;
        } else {
            ++i;
        }
    }
    if (removed)
        setDirty();
}

// ---- Dates ---------------------------------------------------------------

void fomCardEdit::showBirthday()
{
    lblBirth->setText(dateDisplayText(m_card.birthday));
    lblAge->setText(ageText(m_card.birthday, localNow().date()));
    cmdBirthDel->setEnabled(m_card.birthday != NoDate);
}

void fomCardEdit::showCreated()
{
    lblCDate->setText(dateDisplayText(m_card.created));
    lblCTime->setText(timeDisplayText(m_card.created));
    cmdUDateFixCDate->setEnabled(hasShowableDate(m_card.created));
}

void fomCardEdit::showUpdated()
{
    lblUDate->setText(dateDisplayText(m_card.updated));
    lblUTime->setText(timeDisplayText(m_card.updated));
    cmdCDateFixUDate->setEnabled(hasShowableDate(m_card.updated));
}

void fomCardEdit::changeBirthday()
{
    // A birthday is a date: a new one starts from today at midnight rather
    // than at the current time.
    const DateValue start =
        m_card.birthday == NoDate ? oleFromDate(localNow().date()) : m_card.birthday;
    const DateValue picked = fomCalendarSelect::View(start, this);
    if (picked == NoDate)
        return;
    m_card.birthday = picked;
    showBirthday();
    setDirty();
}

void fomCardEdit::pickDate(DateValue &field, bool time)
{
    const DateValue picked =
        time ? fomTimeSelect::View(field, this) : fomCalendarSelect::View(field, this);
    if (picked == NoDate)
        return;
    field = picked;
    setDirty();
    showCreated();
    showUpdated();
}

void fomCardEdit::createdNow()
{
    if (!m_prompter.confirm(AskCreatedNow))
        return;
    m_card.created = oleNow();
    m_card.updated = m_card.created;
    setDirty();
    showCreated();
    showUpdated();
}

// ---- Profile pages -------------------------------------------------------

void fomCardEdit::showProfilePage()
{
    const int count = int(m_card.profile.size());
    if (count == 0) {
        lblProfPage->setText(NotFetched);
        lblProfTitle->clear();
        txtProf->clear();
    } else {
        m_profilePage = qBound(0, m_profilePage, count - 1);
        lblProfPage->setText(QString::number(m_profilePage + 1) + PageSeparator
                             + QString::number(count));
        const ProfileEntryParts parts = splitProfileEntry(m_card.profile[m_profilePage]);
        lblProfTitle->setText(parts.title);
        if (parts.hasTab)
            txtProf->setPlainText(memoToEditor(profileValueText(parts.value, m_options)));
        else
            txtProf->clear();
    }
    cmdProfTitleEdit->setEnabled(count > 0);
    cmdProfDelete->setEnabled(count > 0);
    cmdProfLeft->setEnabled(count > 0 && m_profilePage > 0);
    cmdProfLeftSwap->setEnabled(count > 0 && m_profilePage > 0);
    cmdProfRight->setEnabled(m_profilePage < count - 1);
    cmdProfRightSwap->setEnabled(m_profilePage < count - 1);
}

void fomCardEdit::pageProfile(int delta)
{
    const int next = m_profilePage + delta;
    if (next < 0 || next >= m_card.profile.size())
        return;
    m_profilePage = next;
    showProfilePage();
}

void fomCardEdit::swapProfile(int delta)
{
    const int other = m_profilePage + delta;
    if (m_profilePage < 0 || other < 0 || other >= m_card.profile.size()
        || m_profilePage >= m_card.profile.size())
        return;
    m_card.profile.swapItemsAt(m_profilePage, other);
    setDirty();
    showProfilePage();
}

void fomCardEdit::deleteProfile()
{
    if (m_profilePage < 0 || m_profilePage >= m_card.profile.size())
        return;
    m_card.profile.removeAt(m_profilePage);
    if (m_profilePage >= m_card.profile.size())
        m_profilePage = int(m_card.profile.size()) - 1;
    if (m_profilePage < 0)
        m_profilePage = 0;
    setDirty();
    showProfilePage();
}

void fomCardEdit::changeProfileTitle()
{
    if (m_profilePage < 0 || m_profilePage >= m_card.profile.size())
        return;
    QString &entry = m_card.profile[m_profilePage];
    const qsizetype tab = entry.indexOf(u'\t');
    const QString oldTitle = tab >= 0 ? entry.left(tab) : QString();
    const QString rest = tab >= 0 ? entry.mid(tab) : QString();
    QString answer = oldTitle;
    if (!m_prompter.input(PromptTitle, QString(), answer))
        return;
    answer = trimmedSpaces(answer);
    if (answer.isEmpty() || answer == oldTitle)
        return;
    entry = answer + rest;
    setDirty();
    showProfilePage();
}

void fomCardEdit::addProfile()
{
    const QString id = profileFileId(itemsOf(cboID));
    Prompter::FileRequest request;
    request.title = AddProfileTitle;
    request.folder = profileFolderOf(m_options.sharedLogFolder);
    // "*" stands for every file here: a name needs no dot.
    request.filters = {{FilterProfile, {id + FilterProfileSuffix}},
                       {FilterAll, {QStringLiteral("*")}}};
    request.filterIndex = 0;
    QString path = m_prompter.openFile(request).path;
    const qsizetype nul = path.indexOf(QChar(0));
    if (nul >= 0)
        path.truncate(nul);
    if (path.isEmpty())
        return;
    m_card.profile.append(
        newProfileEntry(localNow().date(), profileValueForFile(path, m_options)));
    m_profilePage = int(m_card.profile.size()) - 1;
    setDirty();
    showProfilePage();
}

// ---- Saving and closing --------------------------------------------------

QString fomCardEdit::memoText() const
{
    // The raw text keeps no-break spaces, which toPlainText would turn into
    // plain ones; blocks are separated by U+2029.
    QString text = txtMemo->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

void fomCardEdit::save()
{
    if (cboID->count() == 0) {
        m_prompter.notice(NeedId, Prompter::Icon::Warning);
        return;
    }
    if (cboName->count() == 0) {
        m_prompter.notice(NeedName, Prompter::Icon::Warning);
        return;
    }
    // The controls go into a copy first, so that going back from the
    // question below leaves the working card as it was.
    Card card = m_card;
    card.itemCount = CardItemKindCount;
    card.ids = itemsOf(cboID);
    card.names = itemsOf(cboName);
    // A box left as loaded keeps the stored text exactly.
    for (int i = 0; i < 6; ++i)
        if (m_textBoxes[i]->text() != m_loadedTexts[i])
            *card.stringField(TextBoxKinds[i]) = m_textBoxes[i]->text();
    card.groups = itemsOf(cboGroup);
    const QString memo = memoText();
    if (memo != m_loadedMemo)
        card.memo = memoFromEditor(memo);
    card.mailLog = linesOf(lstMailList);
    card.exchangeAutoRecord = chkExcgFlg->isChecked() ? FlagOn : FlagOff;
    card.exchangeRecords = linesOf(lstExcgList);
    card.remarkAutoRecord = chkSayFlg->isChecked() ? FlagOn : FlagOff;
    card.remarkRecords = linesOf(lstSayList);
    // Characters the file will hold as "?": the user may go back to them.
    const QStringList unwritable = unwritableCharacters(card);
    if (!unwritable.isEmpty()
        && !m_prompter.confirm(unwritableCharactersQuestion(unwritable), Prompter::Icon::Warning))
        return;
    if (chkAutoTimeStump->isChecked()) {
        card.updated = oleNow();
        if (card.created == NoDate)
            card.created = card.updated;
    }
    m_card = std::move(card);
    m_dirty = false;
    m_outcome = 0;
    accept();
}

void fomCardEdit::reject()
{
    if (m_dirty && !m_prompter.confirm(AskLoseEdits))
        return;
    m_outcome = -1;
    QDialog::reject();
}
