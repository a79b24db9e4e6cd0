#include "formats/fomCsvGet.h"

#include <QBrush>
#include <QComboBox>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// Shows line breaks of a multi-valued cell on one line.
QString oneLine(QString cell)
{
    cell.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    cell.replace(u'\n', QChar(0x21B5));
    return cell;
}

} // namespace

namespace {

CsvSample sampleOf(const QStringList &header, const QList<QStringList> &preview)
{
    CsvSample sample;
    sample.header = header;
    sample.preview = preview;
    return sample;
}

constexpr TextEncoding EncodingChoices[] = {TextEncoding::Cp932, TextEncoding::Utf8,
                                            TextEncoding::Utf16};

} // namespace

fomCsvGet::fomCsvGet(const QStringList &header, const QList<QStringList> &preview,
                     QWidget *parent)
    : fomCsvGet(sampleOf(header, preview), parent)
{
}

fomCsvGet::fomCsvGet(const CsvSample &sample, QWidget *parent)
    : QDialog(parent), m_sample(sample), m_header(sample.header)
{
    setObjectName(QStringLiteral("fomCsvGet"));
    setWindowTitle(QStringLiteral("CSV項目の選択"));
    setModal(true);

    // The header lines are fitted in bytes: a font whose full-width
    // characters are exactly two half-widths keeps the arrows in line.
    QFont fixed(QStringLiteral("IPAGothic"));
    fixed.setStyleHint(QFont::TypeWriter);

    lblEncoding = new QLabel(QStringLiteral("文字コード"), this);
    lblEncoding->setObjectName(QStringLiteral("lblEncoding"));
    cboEncoding = new QComboBox(this);
    cboEncoding->setObjectName(QStringLiteral("cboEncoding"));
    for (TextEncoding e : EncodingChoices)
        cboEncoding->addItem(textEncodingName(e), int(e));
    cboEncoding->setCurrentIndex(qMax(0, cboEncoding->findData(int(m_sample.encoding))));
    cboEncoding->setEnabled(bool(m_sample.reread));
    lblEncoding->setBuddy(cboEncoding);

    Label1 = new QLabel(QStringLiteral("CSVﾌｧｲﾙの見出し"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    lstCsv = new QListWidget(this);
    lstCsv->setObjectName(QStringLiteral("lstCsv"));
    lstCsv->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstCsv->setFont(fixed);
    Label1->setBuddy(lstCsv);

    Label2 = new QLabel(QStringLiteral("アドレス帳の項目"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    lstCorvid = new QListWidget(this);
    lstCorvid->setObjectName(QStringLiteral("lstCorvid"));
    lstCorvid->setSelectionMode(QAbstractItemView::SingleSelection);
    Label2->setBuddy(lstCorvid);

    Label3 = new QLabel(QStringLiteral("左のリストを選択してから、右のリストの対応する項目を選択して下さい。"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setWordWrap(true);

    tblPreview = new QTableWidget(this);
    tblPreview->setObjectName(QStringLiteral("tblPreview"));
    tblPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblPreview->setSelectionMode(QAbstractItemView::NoSelection);
    tblPreview->setFocusPolicy(Qt::NoFocus);
    tblPreview->setWordWrap(false);
    tblPreview->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);

    cmdExit = new QPushButton(QStringLiteral("OK"), this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    cmdExit->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto *lists = new QGridLayout;
    lists->addWidget(Label1, 0, 0);
    lists->addWidget(lstCsv, 1, 0);
    lists->addWidget(Label2, 0, 1);
    lists->addWidget(lstCorvid, 1, 1);
    lists->setColumnStretch(0, 3);
    lists->setColumnStretch(1, 2);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdExit);
    buttons->addWidget(cmdCancel);

    auto *encoding = new QHBoxLayout;
    encoding->addWidget(lblEncoding);
    encoding->addWidget(cboEncoding);
    encoding->addStretch(1);

    auto *top = new QVBoxLayout(this);
    top->addLayout(encoding);
    top->addWidget(Label3);
    top->addLayout(lists, 3);
    top->addWidget(tblPreview, 2);
    top->addLayout(buttons);

    connect(cmdExit, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(lstCsv, &QListWidget::itemSelectionChanged, this, &fomCsvGet::lstCsvSelectionChanged);
    connect(lstCorvid, &QListWidget::itemSelectionChanged, this, &fomCsvGet::lstCorvidChosen);
    connect(lstCorvid, &QListWidget::itemClicked, this, &fomCsvGet::lstCorvidChosen);
    connect(cboEncoding, &QComboBox::currentIndexChanged, this, &fomCsvGet::encodingChosen);

    ListInit();
    m_mapping = autoCsvSelect(m_header);
    ListView();
    fillPreview(m_sample.preview);

    const int lineWidth = QFontMetrics(fixed).horizontalAdvance(csvHeaderLine(u"", CsvItemNone))
                        + QFontMetrics(fixed).horizontalAdvance(QString(12, u'x'));
    lstCsv->setMinimumWidth(lineWidth);
    resize(qMax(640, lineWidth + 300), 520);
    if (lstCsv->count() > 0)
        lstCsv->setCurrentRow(0, QItemSelectionModel::NoUpdate);
}

// Another encoding: the header and preview read again in it, mapped anew.
void fomCsvGet::encodingChosen()
{
    const auto encoding = TextEncoding(cboEncoding->currentData().toInt());
    if (!m_sample.reread || encoding == m_sample.encoding)
        return;
    m_sample = m_sample.reread(encoding);
    m_header = m_sample.header;
    m_mapping = autoCsvSelect(m_header);
    ListView();
    fillPreview(m_sample.preview);
    lstCorvid->clearSelection();
}

void fomCsvGet::ListInit()
{
    lstCorvid->clear();
    for (int item = 0; item < CsvItemChoiceCount; ++item)
        lstCorvid->addItem(csvItemCaption(item));
}

void fomCsvGet::ListView()
{
    lstCsv->clear();
    for (int j = 0; j < m_header.size(); ++j) {
        auto *line = new QListWidgetItem(csvHeaderLine(m_header[j], m_mapping[j]));
        line->setData(Qt::UserRole, j);
        line->setToolTip(m_header[j]);
        lstCsv->addItem(line);
    }
}

void fomCsvGet::fillPreview(const QList<QStringList> &preview)
{
    tblPreview->clear();
    tblPreview->setColumnCount(int(m_header.size()));
    tblPreview->setRowCount(int(preview.size()));
    for (int r = 0; r < preview.size(); ++r) {
        for (int j = 0; j < m_header.size(); ++j) {
            const QString cell = j < preview[r].size() ? preview[r][j] : QString();
            auto *item = new QTableWidgetItem(oneLine(cell));
            item->setToolTip(cell);
            tblPreview->setItem(r, j, item);
        }
    }
    for (int j = 0; j < m_header.size(); ++j)
        showColumn(j);
    tblPreview->resizeColumnsToContents();
    for (int j = 0; j < tblPreview->columnCount(); ++j)
        tblPreview->setColumnWidth(j, qMin(tblPreview->columnWidth(j), 240));
}

// The preview column of a CSV column: titled with its header and the item it
// goes to; an unused column is shown dimmed.
void fomCsvGet::showColumn(int column)
{
    const int item = m_mapping[column];
    auto *title = tblPreview->horizontalHeaderItem(column);
    if (!title) {
        title = new QTableWidgetItem;
        tblPreview->setHorizontalHeaderItem(column, title);
    }
    title->setText(m_header[column] + u'\n' + csvItemCaption(item));
    const QBrush ink = item == CsvItemNone ? palette().brush(QPalette::Disabled, QPalette::Text)
                                           : palette().brush(QPalette::Active, QPalette::Text);
    title->setForeground(ink);
    for (int r = 0; r < tblPreview->rowCount(); ++r)
        if (QTableWidgetItem *cell = tblPreview->item(r, column))
            cell->setForeground(ink);
}

QList<int> fomCsvGet::selectedColumns() const
{
    QList<int> columns;
    for (int row = 0; row < lstCsv->count(); ++row)
        if (lstCsv->item(row)->isSelected())
            columns.append(lstCsv->item(row)->data(Qt::UserRole).toInt());
    return columns;
}

void fomCsvGet::lstCsvSelectionChanged()
{
    const QList<int> columns = selectedColumns();
    int common = columns.isEmpty() ? -1 : m_mapping[columns.first()];
    for (int j : columns)
        if (m_mapping[j] != common)
            common = -1;
    m_updating = true;
    if (common >= 0) {
        lstCorvid->setCurrentRow(common, QItemSelectionModel::ClearAndSelect);
        lstCorvid->scrollToItem(lstCorvid->item(common));
    } else {
        lstCorvid->clearSelection();
    }
    m_updating = false;
}

void fomCsvGet::lstCorvidChosen()
{
    if (m_updating)
        return;
    const QList<QListWidgetItem *> chosen = lstCorvid->selectedItems();
    const QList<int> columns = selectedColumns();
    if (chosen.isEmpty() || columns.isEmpty())
        return;
    const int item = lstCorvid->row(chosen.first());
    for (int row = 0; row < lstCsv->count(); ++row) {
        QListWidgetItem *line = lstCsv->item(row);
        if (!line->isSelected())
            continue;
        const int j = line->data(Qt::UserRole).toInt();
        if (m_mapping[j] == item)
            continue;
        m_mapping[j] = item;
        line->setText(csvHeaderLine(m_header[j], item));
        showColumn(j);
    }
}

int fomCsvGet::View(CsvSample &sample, CsvMapping &mapping, QWidget *parent)
{
    fomCsvGet dialog(sample, parent);
    if (dialog.exec() != QDialog::Accepted)
        return -1;
    mapping = dialog.mapping();
    sample = dialog.sample();
    return 0;
}

int fomCsvGet::View(const QStringList &header, const QList<QStringList> &preview,
                    CsvMapping &mapping, QWidget *parent)
{
    CsvSample sample = sampleOf(header, preview);
    return View(sample, mapping, parent);
}

CsvMapper csvGetDialogMapper(QWidget *parent)
{
    return [parent](CsvSample &sample, CsvMapping &mapping) {
        return fomCsvGet::View(sample, mapping, parent) == 0;
    };
}
