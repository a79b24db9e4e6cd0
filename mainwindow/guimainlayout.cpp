// The main window's layout: menus from the menu table, the toolbar, the
// search bar with the sort frame, the list and the status panel.
#include "mainwindow/fomBrindle.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include "common/guilistfont.h"
#include "core/addresslist.h"
#include "mainwindow/menutable.h"
#include "shell/startup.h"

namespace {

// Toolbar pictures: the desktop's icon theme, with the style's standard
// pictures where the theme has none.
// Some themes draw grey icons whose generated disabled form looks the same as
// the enabled one; a disabled button shows its icon faded to a third.
QIcon withFadedDisabledLook(const QIcon &icon)
{
    QIcon out;
    for (const int size : {16, 20, 24, 32, 40, 48}) {
        const QPixmap normal = icon.pixmap(QSize(size, size), QIcon::Normal);
        if (normal.isNull())
            continue;
        QPixmap faded(normal.size());
        faded.setDevicePixelRatio(normal.devicePixelRatio());
        faded.fill(Qt::transparent);
        QPainter painter(&faded);
        painter.setOpacity(0.3);
        painter.drawPixmap(0, 0, normal);
        painter.end();
        out.addPixmap(normal, QIcon::Normal);
        out.addPixmap(faded, QIcon::Disabled);
    }
    return out.isNull() ? icon : out;
}

QIcon toolIcon(const QString &name)
{
    struct Pick { const char *button; const char *theme; QStyle::StandardPixmap fallback; };
    static const Pick picks[] = {
        {"cmdAddNew", "document-new", QStyle::SP_FileIcon},
        {"cmdAddRead", "document-open", QStyle::SP_DialogOpenButton},
        {"cmdAddSave", "document-save", QStyle::SP_DialogSaveButton},
        {"cmdCardNew", "contact-new", QStyle::SP_FileDialogNewFolder},
        {"cmdCardEdit", "document-properties", QStyle::SP_FileDialogDetailedView},
        {"cmdCardDelete", "edit-delete", QStyle::SP_TrashIcon},
        {"cmdCardCombine", "view-sort-ascending", QStyle::SP_ArrowDown},
        {"cmdGroup", "system-users", QStyle::SP_DirIcon},
        {"cmdCollectID", "edit-select-all", QStyle::SP_FileDialogListView},
        {"cmdCollectRestore", "tools-check-spelling", QStyle::SP_BrowserReload},
        {"cmdCollectLight", "edit-clear", QStyle::SP_DialogDiscardButton},
        {"cmdCollectComp", "edit-find-replace", QStyle::SP_FileDialogContentsView},
        {"cmdOptionSetup", "preferences-system", QStyle::SP_ComputerIcon},
        {"cmdHelpTopic", "help-browser", QStyle::SP_DialogHelpButton},
    };
    for (const Pick &p : picks) {
        if (name == QLatin1String(p.button)) {
            const QIcon themed = QIcon::fromTheme(QLatin1String(p.theme));
            return withFadedDisabledLook(
                themed.isNull() ? QApplication::style()->standardIcon(p.fallback) : themed);
        }
    }
    return {};
}

} // namespace

void fomBrindle::placeWindow()
{
    QList<QRect> screens;
    for (QScreen *s : QGuiApplication::screens())
        screens.append(s->availableGeometry());
    if (QGuiApplication::primaryScreen())
        screens.move(screens.indexOf(QGuiApplication::primaryScreen()->availableGeometry()), 0);
    const double dpi = QGuiApplication::primaryScreen()
                           ? QGuiApplication::primaryScreen()->logicalDotsPerInch()
                           : 96.0;
    const WindowPlacement p =
        placeMainWindow(m_doc.shell().settings, screens, QSize(760, 560), dpi);
    setGeometry(p.geometry);
    if (p.state == 2)
        setWindowState(Qt::WindowMaximized);
    else if (p.state == 1)
        setWindowState(Qt::WindowMinimized);
}

void fomBrindle::buildUndoActions()
{
    QAction *undo = action(QStringLiteral("mnuEditUndo"));
    QAction *redo = action(QStringLiteral("mnuEditRedo"));
    undo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y),
                        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    menu(QStringLiteral("mnuEdit"))->setToolTipsVisible(true);
    // The step's text in the tooltip, and in the status line while the
    // pointer is on the entry.
    for (QAction *a : {undo, redo})
        connect(a, &QAction::hovered, this, [this, a] { lblStatus->setText(a->toolTip()); });
    QUndoStack &history = m_doc.history();
    connect(&history, &QUndoStack::indexChanged, this, [this] { showUndoState(); });
    connect(&history, &QUndoStack::cleanChanged, this, [this] { showUndoState(); });
    connect(&m_doc, &AddressDocument::busyChanged, this, [this](bool busy) { busyShown(busy); });
    showUndoState();
}

void fomBrindle::buildMenus()
{
    QMenu *top = nullptr;
    QMenu *sub = nullptr;
    for (int i = 0; i < MainMenuEntryCount; ++i) {
        const MenuEntry &e = MainMenuEntries[i];
        const QString name = QString::fromLatin1(e.name);
        const QString caption = QString::fromUtf8(e.caption);
        const bool hasChildren = i + 1 < MainMenuEntryCount
                                 && MainMenuEntries[i + 1].level > e.level;
        if (e.level == 0) {
            top = menuBar()->addMenu(caption);
            top->setObjectName(name);
            top->menuAction()->setObjectName(name);
            m_menus.insert(name, top);
            m_actions.insert(name, top->menuAction());
            sub = nullptr;
            continue;
        }
        QMenu *parentMenu = e.level == 2 ? sub : top;
        if (name == QLatin1String("mnuFileHistory*")) {
            for (int h = 0; h < 5; ++h) {
                QAction *a = parentMenu->addAction(QString());
                a->setObjectName(QStringLiteral("mnuFileHistory%1").arg(h));
                a->setVisible(false);
                mnuFileHistory[h] = a;
                m_actions.insert(a->objectName(), a);
            }
            continue;
        }
        QAction *a = nullptr;
        if (caption == QLatin1String("-")) {
            a = parentMenu->addSeparator();
        } else if (hasChildren && e.level == 1) {
            sub = parentMenu->addMenu(caption);
            sub->setObjectName(name);
            m_menus.insert(name, sub);
            a = sub->menuAction();
        } else {
            a = parentMenu->addAction(caption);
        }
        a->setObjectName(name);
        m_actions.insert(name, a);
    }
    m_actions.value(QStringLiteral("mnuFileHistoryLine"))->setVisible(false);
    for (int i = 0; i < 5; ++i)
        action(QStringLiteral("mnuViewSortOrder%1").arg(i))->setCheckable(true);
    action(QStringLiteral("mnuViewSortOrder0"))->setChecked(true);
    action(QStringLiteral("mnuViewSortReverce"))->setCheckable(true);
    // Shortcuts act before the list sees the key, so the list's own Ctrl-key
    // handling only meets the Ctrl keys that have no command.
    for (int i = 0; i < MainMenuShortcutCount; ++i)
        action(QString::fromLatin1(MainMenuShortcuts[i].name))
            ->setShortcut(QKeySequence(QString::fromLatin1(MainMenuShortcuts[i].keys)));
}

void fomBrindle::buildToolBar()
{
    picToolBar = new QWidget(this);
    picToolBar->setObjectName(QStringLiteral("picToolBar"));
    auto *layout = new QHBoxLayout(picToolBar);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(0);
    // Four groups: file, card, tools, help; buttons touch within a group.
    static const int groupStarts[] = {3, 7, 13};
    for (int i = 0; i < ToolButtonEntryCount; ++i) {
        if (i == groupStarts[0] || i == groupStarts[1] || i == groupStarts[2])
            layout->addSpacing(8);
        const QString name = QString::fromLatin1(ToolButtonEntries[i].name);
        auto *b = new QToolButton(picToolBar);
        b->setObjectName(name);
        b->setToolTip(QString::fromUtf8(ToolButtonEntries[i].toolTip));
        b->setIcon(toolIcon(name));
        b->setIconSize(QSize(20, 20));
        b->setAutoRaise(true);
        layout->addWidget(b);
        toolButtons.insert(name, b);
    }
    layout->addStretch(1);
}

void fomBrindle::buildSearchBar()
{
    picSearchBar = new QWidget(this);
    picSearchBar->setObjectName(QStringLiteral("picSearchBar"));
    auto *layout = new QHBoxLayout(picSearchBar);
    layout->setContentsMargins(4, 2, 4, 2);

    cboSearchList = new QComboBox(picSearchBar);
    cboSearchList->setObjectName(QStringLiteral("cboSearchList"));
    cboSearchList->setAccessibleName(QStringLiteral("検索する項目"));
    cboSearchList->addItems({QStringLiteral("全て"), QStringLiteral("不良ｶｰﾄﾞ"),
                             QStringLiteral("ID番号"), QStringLiteral("名前"),
                             QStringLiteral("ｸﾞﾙｰﾌﾟ名"), QStringLiteral("電話番号"),
                             QStringLiteral("住所"), QStringLiteral("誕生年"),
                             QStringLiteral("誕生月"), QStringLiteral("誕生日"),
                             QStringLiteral("ﾒﾓ")});
    lblSearchGa = new QLabel(QStringLiteral("を"), picSearchBar);
    lblSearchGa->setObjectName(QStringLiteral("lblSearchGa"));
    cboSearchWord = new QComboBox(picSearchBar);
    cboSearchWord->setObjectName(QStringLiteral("cboSearchWord"));
    cboSearchWord->setAccessibleName(QStringLiteral("検索する文字列"));
    cboSearchWord->setEditable(true);
    cboSearchWord->setInsertPolicy(QComboBox::NoInsert);
    cboSearchWord->setMinimumContentsLength(16);
    cboSearchWord->addItem(QStringLiteral("《任意の値》"));
    lblSearchFukumu = new QLabel(QStringLiteral("を含むﾘｽﾄ"), picSearchBar);
    lblSearchFukumu->setObjectName(QStringLiteral("lblSearchFukumu"));
    cmdSearch = new QPushButton(QStringLiteral("検索"), picSearchBar);
    cmdSearch->setObjectName(QStringLiteral("cmdSearch"));
    // The word box keeps its place and size while hidden, so choosing a field
    // (or a book with long group names) never pushes the sort bar about.
    cboSearchWord->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    for (QWidget *w : {static_cast<QWidget *>(cboSearchWord), static_cast<QWidget *>(lblSearchFukumu)}) {
        QSizePolicy p = w->sizePolicy();
        p.setRetainSizeWhenHidden(true);
        w->setSizePolicy(p);
    }
    cboSearchWord->hide();
    lblSearchFukumu->hide();

    layout->addWidget(cboSearchList);
    layout->addWidget(lblSearchGa);
    layout->addWidget(cboSearchWord);
    layout->addWidget(lblSearchFukumu);
    layout->addWidget(cmdSearch);
    layout->addStretch(1);

    frmSortOrder = new QFrame(picSearchBar);
    frmSortOrder->setObjectName(QStringLiteral("frmSortOrder"));
    frmSortOrder->setFrameShape(QFrame::StyledPanel);
    auto *sortLayout = new QHBoxLayout(frmSortOrder);
    sortLayout->setContentsMargins(6, 1, 6, 1);
    sortLayout->addWidget(new QLabel(QStringLiteral("表示順："), frmSortOrder));
    static const char *const sortCaptions[6] = {"名前", "ID", "ﾄﾞﾒｲﾝ", "作成", "更新", "状態"};
    auto *group = new QButtonGroup(frmSortOrder);
    for (int i = 0; i < 6; ++i) {
        optSortOrder[i] = new QRadioButton(QString::fromUtf8(sortCaptions[i]), frmSortOrder);
        optSortOrder[i]->setObjectName(QStringLiteral("optSortOrder%1").arg(i));
        group->addButton(optSortOrder[i], i);
        sortLayout->addWidget(optSortOrder[i]);
    }
    optSortOrder[0]->setChecked(true);
    chkSortReverce = new QCheckBox(QStringLiteral("逆順"), frmSortOrder);
    chkSortReverce->setObjectName(QStringLiteral("chkSortReverce"));
    sortLayout->addWidget(chkSortReverce);
    layout->addWidget(frmSortOrder);

    // Ctrl+F: to the search word, or to the field when it takes no word.
    auto *find = new QAction(this);
    find->setObjectName(QStringLiteral("actFocusSearch"));
    find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    addAction(find);
    m_actions.insert(find->objectName(), find);
    connect(find, &QAction::triggered, this, [this] {
        QComboBox *box = cboSearchWord->isVisibleTo(picSearchBar) ? cboSearchWord : cboSearchList;
        box->setFocus(Qt::ShortcutFocusReason);
        if (box->lineEdit())
            box->lineEdit()->selectAll();
    });
}

void fomBrindle::buildCentral()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(picToolBar);
    layout->addWidget(picSearchBar);

    lstAdd = new QListView(central);
    lstAdd->setObjectName(QStringLiteral("lstAdd"));
    lstAdd->setAccessibleName(QStringLiteral("アドレス一覧"));
    lstAdd->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstAdd->setUniformItemSizes(true);
    lstAdd->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstAdd->setFont(listFont());
    // Files dropped from the desktop are appended to the book.
    lstAdd->viewport()->setAcceptDrops(true);
    m_model = new AddressListModel(this);
    lstAdd->setModel(m_model);
    layout->addWidget(lstAdd, 1);

    picPanel = new QWidget(central);
    picPanel->setObjectName(QStringLiteral("picPanel"));
    auto *panel = new QHBoxLayout(picPanel);
    panel->setContentsMargins(4, 2, 4, 2);
    lblSelCount = new QLabel(picPanel);
    lblSelCount->setObjectName(QStringLiteral("lblSelCount"));
    lblSelCount->setMinimumWidth(120);
    lblSelCount->setFrameShape(QFrame::StyledPanel);
    lblStatus = new QLabel(picPanel);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setFrameShape(QFrame::StyledPanel);
    lblInfo = new QLabel(picPanel);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblInfo->setFrameShape(QFrame::StyledPanel);
    panel->addWidget(lblSelCount);
    panel->addWidget(lblInfo);
    panel->addWidget(lblStatus, 1);
    layout->addWidget(picPanel);
    setCentralWidget(central);
}
