#pragma once
// The export dialog of CSV writing ("CSV書き出しの設定"): which of the 19
// items to write, whether multi-valued items take one column per value, and
// whether the online service's mail domain is appended to bare IDs. It
// always opens with every item checked and both options off.

#include <QDialog>

#include "formats/csv.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

class fomCsvPut : public QDialog
{
    Q_OBJECT
public:
    explicit fomCsvPut(const QString &niftyDomain, QWidget *parent = nullptr);

    // The check boxes as they stand (checked means on).
    CsvExportOptions options() const;

    // Shows the dialog modally; true with the options after OK, false
    // after ｷｬﾝｾﾙ or closing the window.
    static bool View(CsvExportOptions &options, const QString &niftyDomain,
                     QWidget *parent = nullptr);

private:
    QGroupBox *Frame1 = nullptr;
    // chkID, chkNam, chkPost, chkAdd, chkTel, chkFax, chkHandy, chkBell,
    // chkBirth, chkGroup, chkMemo, chkProf, chkSRBook, chkExcFlg, chkExcg,
    // chkSayFlg, chkSay, chkCDate, chkUDate: items 0 .. 18.
    QCheckBox *chkItem[CsvCardItemCount] = {};
    QGroupBox *Frame2 = nullptr;
    QCheckBox *chkFukusuu = nullptr;
    QCheckBox *chkNiftyDomain = nullptr;
    QLabel *lblIdToAddress = nullptr;
    QPushButton *cmdExit = nullptr;
    QPushButton *cmdCancel = nullptr;
};

// An asker that shows the dialog over parent.
CsvExportAsker csvPutDialogAsker(QWidget *parent, const QString &niftyDomain);
