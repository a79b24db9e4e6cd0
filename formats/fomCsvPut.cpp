#include "formats/fomCsvPut.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr const char *CheckBoxNames[CsvCardItemCount] = {
    "chkID",   "chkNam",  "chkPost",   "chkAdd",    "chkTel",    "chkFax",   "chkHandy",
    "chkBell", "chkBirth", "chkGroup", "chkMemo",   "chkProf",   "chkSRBook", "chkExcFlg",
    "chkExcg", "chkSayFlg", "chkSay",  "chkCDate",  "chkUDate",
};

// Items 0 .. 9 in the first column, 10 .. 18 in the second.
constexpr int RowsPerColumn = 10;

} // namespace

fomCsvPut::fomCsvPut(const QString &niftyDomain, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fomCsvPut"));
    setWindowTitle(QStringLiteral("CSV書き出しの設定"));
    setModal(true);

    Frame1 = new QGroupBox(QStringLiteral("書き出し項目"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto *items = new QGridLayout(Frame1);
    for (int i = 0; i < CsvCardItemCount; ++i) {
        chkItem[i] = new QCheckBox(csvItemLabel(i), Frame1);
        chkItem[i]->setObjectName(QString::fromLatin1(CheckBoxNames[i]));
        chkItem[i]->setChecked(true);
        const int row = i % RowsPerColumn;
        const int column = (i / RowsPerColumn) * 3;
        items->addWidget(chkItem[i], row, column);
        if (csvItemIsMulti(i)) {
            auto *mark = new QLabel(QStringLiteral("*"), Frame1);
            mark->setObjectName(QStringLiteral("lblMark"));
            items->addWidget(mark, row, column + 1);
        }
    }
    auto *legend = new QLabel(QStringLiteral("* は複数データです"), Frame1);
    legend->setObjectName(QStringLiteral("lblMark"));
    items->addWidget(legend, RowsPerColumn, 0, 1, 5);
    items->setColumnMinimumWidth(2, 24); // between the two columns of items
    items->setColumnStretch(5, 1);

    Frame2 = new QGroupBox(QStringLiteral("その他設定"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    chkFukusuu = new QCheckBox(QStringLiteral("複数ﾃﾞｰﾀは列に分割する"), Frame2);
    chkFukusuu->setObjectName(QStringLiteral("chkFukusuu"));
    chkNiftyDomain = new QCheckBox(QStringLiteral("NiftyのIDにﾄﾞﾒｲﾝを追加する"), Frame2);
    chkNiftyDomain->setObjectName(QStringLiteral("chkNiftyDomain"));
    lblIdToAddress = new QLabel(csvDomainSample(niftyDomain), Frame2);
    lblIdToAddress->setObjectName(QStringLiteral("lblIdToAddress"));
    auto *other = new QVBoxLayout(Frame2);
    other->addWidget(chkFukusuu);
    other->addWidget(chkNiftyDomain);
    auto *sample = new QHBoxLayout;
    sample->addSpacing(24);
    sample->addWidget(lblIdToAddress);
    sample->addStretch(1);
    other->addLayout(sample);

    cmdExit = new QPushButton(QStringLiteral("OK"), this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    cmdExit->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdExit);
    buttons->addWidget(cmdCancel);

    auto *top = new QVBoxLayout(this);
    top->addWidget(Frame1);
    top->addWidget(Frame2);
    top->addLayout(buttons);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdExit, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

CsvExportOptions fomCsvPut::options() const
{
    CsvExportOptions o;
    for (int i = 0; i < CsvCardItemCount; ++i)
        o.items[i] = chkItem[i]->isChecked();
    o.splitColumns = chkFukusuu->isChecked();
    o.addDomain = chkNiftyDomain->isChecked();
    return o;
}

bool fomCsvPut::View(CsvExportOptions &options, const QString &niftyDomain, QWidget *parent)
{
    fomCsvPut dialog(niftyDomain, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    options = dialog.options();
    return true;
}

CsvExportAsker csvPutDialogAsker(QWidget *parent, const QString &niftyDomain)
{
    return [parent, niftyDomain](CsvExportOptions &options) {
        return fomCsvPut::View(options, niftyDomain, parent);
    };
}
