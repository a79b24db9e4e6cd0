#include "common/guiaccessible.h"

#include <algorithm>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

QString plain(QString text)
{
    text.remove(QLatin1Char('&'));
    return text.simplified();
}

QString currentName(QWidget *w)
{
    QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
    return a ? a->text(QAccessible::Name) : w->accessibleName();
}

// The text of the label shown just left of w, or else just above it.
QString labelBefore(QWidget *w, QWidget *root)
{
    const QRect r(w->mapTo(root, QPoint(0, 0)), w->size());
    QLabel *left = nullptr;
    QLabel *above = nullptr;
    int leftEdge = -1;
    int aboveEdge = -1;
    for (QLabel *label : root->findChildren<QLabel *>()) {
        if (plain(label->text()).isEmpty() || label->parentWidget() != w->parentWidget())
            continue;
        const QRect l(label->mapTo(root, QPoint(0, 0)), label->size());
        if (l.top() <= r.center().y() && r.center().y() <= l.bottom() && l.right() <= r.left() + 2
            && l.right() > leftEdge) {
            left = label;
            leftEdge = l.right();
        } else if (l.left() < r.right() && r.left() < l.right() && l.bottom() <= r.top() + 2
                   && r.top() - l.bottom() < 3 * l.height() && l.bottom() > aboveEdge) {
            above = label;
            aboveEdge = l.bottom();
        }
    }
    if (left || above)
        return plain((left ? left : above)->text());
    return {};
}

// The caption that says what w is for, or "" when nothing near it does.
QString captionOf(QWidget *w, QWidget *root)
{
    if (!plain(w->toolTip()).isEmpty())
        return plain(w->toolTip());
    if (auto *edit = qobject_cast<QLineEdit *>(w); edit && !edit->placeholderText().isEmpty())
        return edit->placeholderText();
    if (!w->parentWidget())
        return {};
    if (QString label = labelBefore(w, root); !label.isEmpty())
        return label;
    for (QWidget *p = w->parentWidget(); p && p != root; p = p->parentWidget()) {
        if (auto *box = qobject_cast<QGroupBox *>(p); box && !plain(box->title()).isEmpty())
            return plain(box->title());
        if (!p->accessibleName().isEmpty() && !qobject_cast<QComboBox *>(p))
            return p->accessibleName();
    }
    // Not laid out yet: the last label created before it.
    QLabel *found = nullptr;
    for (QObject *o : w->parentWidget()->children()) {
        if (o == w)
            break;
        if (auto *label = qobject_cast<QLabel *>(o); label && !plain(label->text()).isEmpty())
            found = label;
    }
    return found ? plain(found->text()) : QString();
}

QString derivedName(QWidget *w, QWidget *root)
{
    // The parts of a compound control speak for it.
    for (QWidget *p = w->parentWidget(); p && p != root; p = p->parentWidget())
        if (qobject_cast<QComboBox *>(p) || qobject_cast<QAbstractSpinBox *>(p)) {
            const QString name = p->accessibleName();
            return name.isEmpty() ? derivedName(p, root) : name;
        }
    if (QString caption = captionOf(w, root); !caption.isEmpty())
        return caption;
    return plain(w->window()->windowTitle());
}

bool needsName(QWidget *w)
{
    if (auto *box = qobject_cast<QComboBox *>(w))
        return box->isEditable();
    return qobject_cast<QAbstractButton *>(w) || qobject_cast<QAbstractItemView *>(w)
           || qobject_cast<QLineEdit *>(w) || qobject_cast<QPlainTextEdit *>(w)
           || qobject_cast<QTextEdit *>(w);
}

class WindowNamer : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto *w = static_cast<QWidget *>(watched);
            if (w->isWindow())
                nameControlsForAccessibility(w);
        }
        return false;
    }
};

} // namespace

void nameControlsForAccessibility(QWidget *root)
{
    // Combo boxes first, so that their parts can take the box's name.
    QList<QWidget *> controls;
    for (QWidget *w : root->findChildren<QWidget *>())
        if (needsName(w) || qobject_cast<QComboBox *>(w))
            controls.append(w);
    std::stable_partition(controls.begin(), controls.end(),
                          [](QWidget *w) { return qobject_cast<QComboBox *>(w) != nullptr; });
    for (QWidget *w : controls) {
        if (!w->accessibleName().isEmpty())
            continue;
        // A combo box would be read by its current entry; its caption says more.
        if (auto *box = qobject_cast<QComboBox *>(w)) {
            if (const QString caption = captionOf(box, root); !caption.isEmpty())
                box->setAccessibleName(caption);
            else if (box->isEditable() && currentName(box).isEmpty())
                box->setAccessibleName(derivedName(box, root));
        } else if (currentName(w).isEmpty()) {
            w->setAccessibleName(derivedName(w, root));
        }
    }
}

void nameControlsOfEveryWindow()
{
    static WindowNamer *namer = nullptr;
    if (namer || !qApp)
        return;
    namer = new WindowNamer;
    namer->setParent(qApp);
    qApp->installEventFilter(namer);
}
