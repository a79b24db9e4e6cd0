#pragma once
// A modal question box with four buttons, for questions asked once per item
// of a series where the user may answer yes for every remaining item at
// once: "はい(&Y)", "いいえ(&N)", "すべて削除(&A)" and "ｷｬﾝｾﾙ".
//
// The caller sets the message, shows the box modally and reads ButtonFlg()
// afterwards:
//    1  cmdYes     yes for this item
//    0  cmdNo      no for this item
//    2  cmdAllYes  yes for this and every following item
//   -1  cmdCancel, the window's close box or Esc: stop the series
//
// The same window also serves questions with captions of the caller's own
// (Prompter::choose in the GUI); then chosenIndex() tells which button was
// pressed.

#include <QDialog>
#include <QList>
#include <QStringList>

#include "common/prompter.h"

class QLabel;
class QPushButton;

class fomMsgBox : public QDialog
{
    Q_OBJECT

public:
    static constexpr qint16 FlgCancel = -1;
    static constexpr qint16 FlgNo = 0;
    static constexpr qint16 FlgYes = 1;
    static constexpr qint16 FlgAllYes = 2;

    // The four-button box; "はい(&Y)" is the default button.
    explicit fomMsgBox(QWidget *parent = nullptr);
    // A box with the given captions left to right. Captions equal to the
    // four standard ones get their buttons' names and ButtonFlg values;
    // other buttons are named cmdChoice<index> and set ButtonFlg to their
    // index.
    explicit fomMsgBox(const QStringList &captions, QWidget *parent = nullptr);

    // The standard captions in button order (yes, no, all, cancel).
    static QStringList standardCaptions();

    void setMessage(const QString &text);
    QString message() const;
    void setIcon(Prompter::Icon icon);
    // The button that Enter presses and that has the focus at first; -1 none.
    void setDefaultIndex(int index);

    qint16 ButtonFlg() const { return m_buttonFlg; }
    // The index of the button pressed, -1 when the box was closed without
    // one.
    int chosenIndex() const { return m_chosen; }

    // Shows the four-button box with text and returns ButtonFlg.
    static qint16 Ask(const QString &text, QWidget *parent = nullptr);

private:
    QLabel *lblIcon = nullptr;
    QLabel *lblMessage = nullptr;
    QList<QPushButton *> buttons;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void build(const QStringList &captions);
    void press(int index);

    qint16 m_buttonFlg = FlgCancel;
    int m_chosen = -1;
    int m_default = 0;
    QList<qint16> m_flags;
};
