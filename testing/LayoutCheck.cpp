#include "testing/LayoutCheck.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QRadioButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>

namespace vorta::testing {

namespace {

QString pathOf(const QWidget* w, const QWidget* top)
{
    QStringList names;
    for (const QWidget* p = w; p; p = p->parentWidget()) {
        const QString name = p->objectName().isEmpty() ? QString::fromLatin1(p->metaObject()->className())
                                                       : p->objectName();
        names.prepend(name);
        if (p == top)
            break;
    }
    return names.join(QLatin1Char('/'));
}

// What a user reads: the text without the accelerator marks.
QString shownText(QString text)
{
    text.replace(QLatin1String("&&"), QString(QChar(0x1)));
    text.remove(QLatin1Char('&'));
    text.replace(QChar(0x1), QLatin1Char('&'));
    return text;
}

// The area of parent in which its children can be seen.
QRect visibleArea(const QWidget* parent)
{
    if (auto* box = qobject_cast<const QGroupBox*>(parent)) {
        QStyleOptionGroupBox option;
        option.initFrom(box);
        option.text = box->title();
        option.lineWidth = 1;
        option.midLineWidth = 0;
        option.textAlignment = box->alignment();
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        if (box->isCheckable())
            option.subControls |= QStyle::SC_GroupBoxCheckBox;
        option.features = box->isFlat() ? QStyleOptionFrame::Flat : QStyleOptionFrame::None;
        const QRect contents = box->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                             QStyle::SC_GroupBoxContents, box);
        return contents;
    }
    return parent->contentsRect();
}

// Widgets whose own children are their workings, not the form's controls.
bool ownsItsChildren(const QWidget* w)
{
    return qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QComboBox*>(w)
           || qobject_cast<const QLineEdit*>(w) || qobject_cast<const QTabBar*>(w)
           || qobject_cast<const QMenuBar*>(w) || qobject_cast<const QStatusBar*>(w)
           || (qobject_cast<const QAbstractScrollArea*>(w) && !qobject_cast<const QScrollArea*>(w))
           || qobject_cast<const QAbstractButton*>(w);
}

void checkText(const QWidget* w, const QWidget* top, QStringList& out)
{
    const QFontMetrics fm = w->fontMetrics();
    QString text;
    int room = 0;
    int needed = 0;
    int heightRoom = w->height();
    if (auto* label = qobject_cast<const QLabel*>(w)) {
        if (label->wordWrap() || label->textFormat() == Qt::RichText || label->text().isEmpty())
            return;
        text = shownText(label->text());
        room = label->contentsRect().width() - 2 * std::max(0, label->margin());
        heightRoom = label->contentsRect().height();
        needed = fm.horizontalAdvance(text) + (label->indent() > 0 ? label->indent() : 0);
    } else if (qobject_cast<const QRadioButton*>(w) || qobject_cast<const QCheckBox*>(w)) {
        auto* b = static_cast<const QAbstractButton*>(w);
        if (b->text().isEmpty())
            return;
        text = shownText(b->text());
        QStyleOptionButton option;
        option.initFrom(b);
        option.text = b->text();
        const bool radio = qobject_cast<const QRadioButton*>(w);
        const QRect contents = b->style()->subElementRect(
            radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents, &option, b);
        room = b->width() - contents.left();
        needed = fm.horizontalAdvance(text);
    } else if (auto* box = qobject_cast<const QGroupBox*>(w)) {
        if (box->title().isEmpty())
            return;
        text = shownText(box->title());
        room = box->width() - 8;
        needed = fm.horizontalAdvance(text);
        heightRoom = fm.height();
    } else if (auto* b = qobject_cast<const QAbstractButton*>(w)) {
        if (b->text().isEmpty())
            return;
        text = shownText(b->text());
        room = b->width() - 4 - (b->icon().isNull() ? 0 : b->iconSize().width() + 4);
        needed = fm.horizontalAdvance(text);
    } else {
        return;
    }
    if (needed > room)
        out << QStringLiteral("%1: \"%2\" needs %3 pixels, has %4")
                   .arg(pathOf(w, top), text)
                   .arg(needed)
                   .arg(room);
    if (fm.height() > heightRoom)
        out << QStringLiteral("%1: \"%2\" needs %3 pixels of height, has %4")
                   .arg(pathOf(w, top), text)
                   .arg(fm.height())
                   .arg(heightRoom);
}

void walk(const QWidget* w, const QWidget* top, QStringList& out)
{
    checkText(w, top, out);
    if (ownsItsChildren(w))
        return;
    const QRect area = visibleArea(w);
    // The scrolled contents may be larger than the box's viewport: the box's scroll bars
    // reach them.
    const auto* box = qobject_cast<const QScrollArea*>(w->parentWidget());
    const bool scroll = qobject_cast<const QScrollArea*>(w) || (box && box->viewport() == w);
    const bool pages = qobject_cast<const QTabWidget*>(w) || w->inherits("QStackedWidget") || w->inherits("QScrollBar");
    QList<const QWidget*> placed;
    for (QObject* o : w->children()) {
        auto* child = qobject_cast<QWidget*>(o);
        if (!child || child->isWindow() || !child->isVisibleTo(top))
            continue;
        // Controls laid over one another hide each other's parts. One that lies wholly
        // over another is a page put over it or a frame behind it, by design.
        if (!pages && !child->geometry().isEmpty()) {
            const QRect g = child->geometry();
            for (const QWidget* other : placed)
                if (other->geometry().intersects(g) && !other->geometry().contains(g)
                    && !g.contains(other->geometry()))
                    out << QStringLiteral("%1: overlaps %2").arg(pathOf(child, top), pathOf(other, top));
            placed << child;
        }
        if (scroll) {
            walk(child, top, out);
            continue;
        }
        if (pages) {
            walk(child, top, out);
            continue;
        }
        const QRect g = child->geometry();
        if (!g.isEmpty() && !area.contains(g))
            out << QStringLiteral("%1: at (%2,%3) %4x%5 outside its parent's visible area (%6,%7) %8x%9")
                       .arg(pathOf(child, top))
                       .arg(g.x())
                       .arg(g.y())
                       .arg(g.width())
                       .arg(g.height())
                       .arg(area.x())
                       .arg(area.y())
                       .arg(area.width())
                       .arg(area.height());
        walk(child, top, out);
    }
}

} // namespace

QStringList layoutOffenders(QWidget* top)
{
    QStringList out;
    if (top)
        walk(top, top, out);
    return out;
}

} // namespace vorta::testing
