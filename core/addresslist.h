#pragma once
// The address list: one fixed-width line per name or ID of each displayed
// card, built and sorted for one of six sort orders.

#include <QAbstractListModel>
#include <QList>
#include <QSet>
#include <QString>

#include "common/progress.h"
#include "core/model.h"

enum SortOrder {
    SortByName = 0,
    SortById = 1,
    SortByDomain = 2,
    SortByCreated = 3,
    SortByUpdated = 4,
    SortByStatus = 5,
};

struct ListLine
{
    QString key;      // sort key
    QString text;     // the line as displayed
    qint32 cardNumber = 0;
    qint32 status = 0;
    QString name;     // the name and the ID the line shows (not cut to
    QString id;       // their columns); "" where the column is blank
};
Q_DECLARE_TYPEINFO(ListLine, Q_RELOCATABLE_TYPE);

// The part of an ID after its first "@"; "" when it has none.
QString DomainGet(QStringView id);

// The lines of one card for a sort order (at least one line per card).
QList<ListLine> cardListLines(const Card &card, int sortOrder);

// Sorts ascending by key, then by text, both under text comparison; lines
// equal under both are ordered by their exact key and text.
void sortListLines(QList<ListLine> &lines);

// Builds and sorts the lines of the cards in displayList. Returns false when
// a number has no card (nothing built) or when progress stopped the build.
enum class BuildResult { Done, MissingCard, Interrupted };
BuildResult buildListLines(const AddressBook &book, const QList<qint32> &displayList,
                           int sortOrder, QList<ListLine> &out, const Progress &progress = {});

// The lines shown by the list view. Row data: DisplayRole the text,
// CardNumberRole the card number.
class AddressListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    static constexpr int CardNumberRole = Qt::UserRole + 1;
    static constexpr int StatusRole = Qt::UserRole + 2;

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    // Replaces every line (in display order) in one reset.
    void setLines(QList<ListLine> lines);
    void appendLines(const QList<ListLine> &lines);
    void removeRowsOfCard(qint32 cardNumber);
    // Removes the lines of all these cards in one reset; the other lines
    // keep their order.
    void removeRowsOfCards(const QSet<qint32> &cardNumbers);
    void clear() { setLines({}); }

    const ListLine &line(int row) const { return m_lines.at(row); }
    qint32 cardNumberAt(int row) const { return m_lines.at(row).cardNumber; }
    int firstRowOfCard(qint32 cardNumber) const;

private:
    QList<ListLine> m_lines;
};
