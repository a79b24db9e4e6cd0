#pragma once
// The column mapping dialog of a CSV import ("CSV項目の選択"): the file's
// header cells on the left (lstCsv, several selectable), the card items on
// the right (lstCorvid, one selectable). Selecting columns shows their common
// item; choosing an item assigns it to every selected column. It opens with
// the automatic mapping, and shows the first data records under the lists in
// a read-only table whose column titles follow the mapping. Above the lists
// the file's encoding (cboEncoding) is chosen, preselected as detected;
// choosing another reads the header and the preview again in it and maps
// them automatically anew.

#include <QDialog>
#include <QList>
#include <QStringList>

#include "formats/csv.h"
#include "formats/csvmapping.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

class fomCsvGet : public QDialog
{
    Q_OBJECT
public:
    // The encoding choice is enabled when the sample can be read again
    // (CsvSample::reread).
    explicit fomCsvGet(const CsvSample &sample, QWidget *parent = nullptr);
    fomCsvGet(const QStringList &header, const QList<QStringList> &preview,
              QWidget *parent = nullptr);

    // The mapping as it stands: one item per header cell.
    CsvMapping mapping() const { return m_mapping; }
    // The sample as it stands (of the encoding chosen).
    const CsvSample &sample() const { return m_sample; }

    // Shows the dialog modally. 0 with the mapping (and the sample of the
    // encoding chosen) when the user left with OK; -1 otherwise (ｷｬﾝｾﾙ, the
    // window's close button, Esc).
    static int View(CsvSample &sample, CsvMapping &mapping, QWidget *parent = nullptr);
    static int View(const QStringList &header, const QList<QStringList> &preview,
                    CsvMapping &mapping, QWidget *parent = nullptr);

private:
    QLabel *lblEncoding = nullptr;
    QComboBox *cboEncoding = nullptr;
    QLabel *Label1 = nullptr;
    QListWidget *lstCsv = nullptr;
    QLabel *Label2 = nullptr;
    QListWidget *lstCorvid = nullptr;
    QLabel *Label3 = nullptr;
    QTableWidget *tblPreview = nullptr;
    QPushButton *cmdExit = nullptr;
    QPushButton *cmdCancel = nullptr;

private:
    void encodingChosen();
    void ListInit();
    void ListView();
    void fillPreview(const QList<QStringList> &preview);
    void showColumn(int column);
    void lstCsvSelectionChanged();
    void lstCorvidChosen();
    QList<int> selectedColumns() const;

    CsvSample m_sample;
    QStringList m_header;
    CsvMapping m_mapping;
    bool m_updating = false;
};

// A mapper that shows the dialog over parent.
CsvMapper csvGetDialogMapper(QWidget *parent);
