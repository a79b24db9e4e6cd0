#pragma once
// The about box: the program's icon, name, version and legal notice.

#include <QDialog>

class QLabel;
class QPushButton;

class fomVersion : public QDialog
{
    Q_OBJECT
public:
    explicit fomVersion(QWidget *parent = nullptr);

private:
    QLabel *picIcon = nullptr;
    QLabel *lblText[3] = {};
    QPushButton *cmdExit = nullptr;
};
