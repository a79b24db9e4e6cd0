#pragma once
// The Eudora export settings: how cards with several IDs are written.

#include <QDialog>

#include "formats/eudora.h"

class QGroupBox;
class QPushButton;
class QRadioButton;

class fomEudoraPut : public QDialog
{
    Q_OBJECT
public:
    explicit fomEudoraPut(QWidget *parent = nullptr);

    // The mode OK gives for the current selection.
    int mode() const;

    // Shows the dialog; the chosen mode, or -1 when cancelled.
    static int Ask(QWidget *parent);

private:
    QGroupBox *Frame1 = nullptr;
    QRadioButton *optMultiID[2] = {};
    QPushButton *cmdExit = nullptr;
    QPushButton *cmdCancel = nullptr;
};

// The asker the window's Eudora writer uses.
EudoraModeAsker eudoraPutDialogAsker(QWidget *parent);
