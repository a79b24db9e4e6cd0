#include "common/guipicker.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/oledate.h"
#include "common/pickertexts.h"

QPushButton *pickerButton(QWidget *parent, const char *name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

PickerButtons addPickerButtons(QDialog *picker, QVBoxLayout *root, const QString &nowText)
{
    PickerButtons b;
    b.now = pickerButton(picker, "cmdNow", nowText);
    b.select = pickerButton(picker, "cmdSelect", PickerText::Select);
    b.cancel = pickerButton(picker, "cmdCancel", PickerText::Cancel);
    b.select->setDefault(true);
    auto *row = new QHBoxLayout;
    row->addWidget(b.now);
    row->addStretch();
    row->addWidget(b.select);
    row->addWidget(b.cancel);
    root->addLayout(row);
    root->setSizeConstraint(QLayout::SetFixedSize);
    QObject::connect(b.cancel, &QPushButton::clicked, picker, &QDialog::reject);
    return b;
}

QDateTime pickerStart(DateValue value)
{
    const QDateTime dt = value == NoDate ? QDateTime() : oleToDateTime(value);
    return dt.isValid() ? dt : oleToDateTime(oleNow());
}
