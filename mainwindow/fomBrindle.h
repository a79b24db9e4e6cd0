#pragma once

#include <QMainWindow>

class fomBrindle : public QMainWindow
{
    Q_OBJECT
public:
    explicit fomBrindle(QWidget *parent = nullptr);
};
