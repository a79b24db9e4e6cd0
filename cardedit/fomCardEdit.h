#pragma once
// The card editor: creates one new card or changes one card of an address
// book. It works on a private copy of the card (the working card) and puts
// it into the book only after the user saved.

#include <QDialog>
#include <QString>

#include "cardedit/cardeditlogic.h"
#include "core/model.h"

class Prompter;
class QAbstractButton;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QStackedLayout;

class fomCardEdit : public QDialog
{
    Q_OBJECT
public:
    // The editor for cards[cardIndex] of book, or for a new card when
    // cardIndex is -1. The controls are loaded at once; the book is not
    // touched before commit().
    fomCardEdit(AddressBook &book, int cardIndex, const CardEditOptions &options,
                Prompter &prompter, QWidget *parent = nullptr);

    // Edits the card numbered number, or a new card when number is -1, in
    // a modal editor. Returns the number of the saved card, or -1 when the
    // user cancelled, no card has that number or the book refused the new
    // card (the refusal is reported through the prompter).
    static int Edit(AddressBook &book, qint32 number, const CardEditOptions &options,
                    Prompter &prompter, QWidget *parent = nullptr);

    // After the dialog closed: when the user saved, puts the working card
    // into the book (a new card through addCard), validates it and returns
    // its number; otherwise returns -1. Does its work once.
    int commit();

    bool isDirty() const { return m_dirty; }
    // -1 until the user saved, then 0.
    int outcome() const { return m_outcome; }
    const Card &workingCard() const { return m_card; }
    int profilePage() const { return m_profilePage; }
    int currentPage() const;

    // Close requests (the cancel button, Escape, the close box) ask before
    // edits are lost.
    void reject() override;

private:
    // Controls, named as everywhere in the program.
    QAbstractButton *optTab[7] = {};
    QFrame *cmdTab = nullptr;
    QWidget *picTab[7] = {};

    QComboBox *cboID = nullptr;
    QPushButton *cmdIDAdd = nullptr;
    QPushButton *cmdIDEdit = nullptr;
    QPushButton *cmdIDDel = nullptr;
    QPushButton *cmdIdUp = nullptr;
    QPushButton *cmdIdDown = nullptr;
    QComboBox *cboName = nullptr;
    QPushButton *cboNameAdd = nullptr;
    QPushButton *cboNameEdit = nullptr;
    QPushButton *cboNameDel = nullptr;
    QPushButton *cmdNameUp = nullptr;
    QPushButton *cmdNameDown = nullptr;
    QLineEdit *txtPost = nullptr;
    QLineEdit *txtAddress = nullptr;
    QLineEdit *txtTel = nullptr;
    QLineEdit *txtFax = nullptr;
    QLineEdit *txtHandy = nullptr;
    QLineEdit *txtBell = nullptr;
    QLabel *lblBirth = nullptr;
    QLabel *lblAge = nullptr;
    QPushButton *cmdBirth = nullptr;
    QPushButton *cmdBirthDel = nullptr;
    QComboBox *cboGroup = nullptr;
    QPushButton *cmdGroupEdit = nullptr;

    QPlainTextEdit *txtMemo = nullptr;

    QLabel *lblProfPage = nullptr;
    QLabel *lblProfTitle = nullptr;
    QPlainTextEdit *txtProf = nullptr;
    QPushButton *cmdProfLeft = nullptr;
    QPushButton *cmdProfRight = nullptr;
    QPushButton *cmdProfLeftSwap = nullptr;
    QPushButton *cmdProfRightSwap = nullptr;
    QPushButton *cmdProfAdd = nullptr;
    QPushButton *cmdProfDelete = nullptr;
    QPushButton *cmdProfTitleEdit = nullptr;

    QListWidget *lstMailList = nullptr;
    QPushButton *cmdMailEdit = nullptr;
    QPushButton *cmdMailDelete = nullptr;

    QListWidget *lstExcgList = nullptr;
    QCheckBox *chkExcgFlg = nullptr;
    QPushButton *cmdExcgEdit = nullptr;
    QPushButton *cmdExcgDelete = nullptr;
    QListWidget *lstSayList = nullptr;
    QCheckBox *chkSayFlg = nullptr;
    QPushButton *cmdSayEdit = nullptr;
    QPushButton *cmdSayDelete = nullptr;

    QListWidget *lstLinkList = nullptr;
    QPushButton *cmdLinkAdd = nullptr;
    QPushButton *cmdLinkDel = nullptr;
    QPushButton *cmdLinkOpen = nullptr;

    QLabel *lblCDate = nullptr;
    QLabel *lblCTime = nullptr;
    QPushButton *cmdCDateNow = nullptr;
    QPushButton *cmdCDateFixUDate = nullptr;
    QLabel *lblUDate = nullptr;
    QLabel *lblUTime = nullptr;
    QPushButton *cmdUDateNow = nullptr;
    QPushButton *cmdUDateFixCDate = nullptr;

    QCheckBox *chkAutoTimeStump = nullptr;
    QPushButton *cmdExit = nullptr;
    QPushButton *cmdCancel = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildPages();
    QWidget *buildAddressPage();
    QWidget *buildMemoPage();
    QWidget *buildProfilePage();
    QWidget *buildMailPage();
    QWidget *buildRecentPage();
    QWidget *buildLinkPage();
    QWidget *buildTimeStampPage();
    void connectControls();
    void load();
    void showPage(int index);
    void setDirty();

    // IDs and names.
    void addItem(QComboBox *box, const QString &prompt, bool checkOtherCards);
    void changeItem(QComboBox *box, const QString &prompt, bool checkOtherCards);
    void deleteItem(QComboBox *box);
    void moveItem(QComboBox *box, int delta);
    bool idHeldByOtherCard(const QString &id);
    void editGroups();

    // Mail log and record lists.
    void changeLine(QListWidget *list, const QString &prompt);
    void deleteSelectedLines(QListWidget *list);

    // Dates.
    void showBirthday();
    void showCreated();
    void showUpdated();
    void changeBirthday();
    void pickDate(DateValue &field, bool time);
    void createdNow();

    // Profile pages.
    void showProfilePage();
    void pageProfile(int delta);
    void swapProfile(int delta);
    void deleteProfile();
    void changeProfileTitle();
    void addProfile();

    QString memoText() const;
    void save();

    AddressBook &m_book;
    int m_cardIndex;
    CardEditOptions m_options;
    Prompter &m_prompter;
    Card m_card;
    int m_outcome = -1;
    bool m_dirty = false;
    bool m_loading = false;
    bool m_committed = false;
    int m_profilePage = 0;
    QStackedLayout *m_pages = nullptr;
    QLineEdit *m_textBoxes[6] = {};
    QString m_loadedTexts[6];
    QString m_loadedMemo;
};
