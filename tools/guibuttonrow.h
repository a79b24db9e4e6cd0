#pragma once
// The button row the tool dialogs share: a default "run" button and a
// cancel button, aligned right.

#include <QString>

class QHBoxLayout;
class QPushButton;
class QWidget;

// Creates cmdExec (the default button) and cmdCancel with these captions
// and returns the row holding them.
QHBoxLayout *guiExecCancelRow(QWidget *parent, QPushButton *&cmdExec, const QString &execCaption,
                              QPushButton *&cmdCancel, const QString &cancelCaption);
