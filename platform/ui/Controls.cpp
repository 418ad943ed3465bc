#include "platform/ui/Controls.h"

#include "platform/core/QtGuard.h"

#include "platform/ui/Form.h"
#include "platform/ui/Menu.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QButtonGroup>
#include <QFocusEvent>
#include <QHash>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace vorta::ui {

namespace {

const char* const kAlignProperty = "vortaAlign";
// Set while a widget holds the focus it received.
const char* const kHadFocusProperty = "vortaHadFocus";

Form* formOfWidget(QWidget* widget)
{
    for (QWidget* w = widget; w; w = w->parentWidget())
        if (auto* f = dynamic_cast<Form*>(w))
            return f;
    return nullptr;
}

// Keys already run through the handlers are delivered again with this set, so
// neither the filter nor the form handles them twice on their way to the parents.
bool g_delivering = false;

void deliver(QWidget* target, QKeyEvent* event)
{
    const bool previous = g_delivering;
    g_delivering = true;
    struct Reset {
        bool previous;
        ~Reset() { g_delivering = previous; }
    } reset{previous};
    QCoreApplication::sendEvent(target, event);
}

QChar charOf(const QKeyEvent* event)
{
    const QString text = event->text();
    return text.size() == 1 ? text.at(0) : QChar();
}

// One filter for every control: focus, mouse, hover, keys and alignment.
class ControlFilter : public QObject {
public:
    static ControlFilter* instance()
    {
        static ControlFilter* filter = new ControlFilter;
        return filter;
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget)
            return false;
        // The handlers run here, called from Qt's event delivery.
        bool filtered = false;
        bool failed = true;
        guardQt([&] {
            filtered = filter(widget, event);
            failed = false;
        });
        // A key whose handler failed is taken: it must not reach the control as well.
        return filtered || (failed && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease));
    }

private:
    bool filter(QWidget* widget, QEvent* event)
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            if (g_delivering)
                return false;
            auto* key = static_cast<QKeyEvent*>(event);
            const bool consumed = event->type() == QEvent::KeyPress ? dispatchKeyPress(widget, key)
                                                                    : dispatchKeyRelease(widget, key);
            if (!consumed)
                deliver(widget, key);
            return true;
        }
        case QEvent::FocusIn: {
            widget->setProperty(kHadFocusProperty, true);
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            Control* c = Control::of(widget);
            if (!c || reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
                return false;
            if (m_focused != c->widget()) {
                m_focused = c->widget();
                if (c->OnEnter)
                    c->OnEnter(c->widget());
            }
            return false;
        }
        case QEvent::FocusOut: {
            // A widget the focus passed over without reaching it (an exit handler took
            // the focus back before it arrived) is not left either.
            const bool hadFocus = widget->property(kHadFocusProperty).toBool();
            widget->setProperty(kHadFocusProperty, false);
            if (!hadFocus)
                return false;
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            Control* c = Control::of(widget);
            if (!c || reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
                return false;
            QWidget* now = QApplication::focusWidget();
            if (now && Control::of(now) == c)
                return false;
            if (m_focused == c->widget())
                m_focused = nullptr;
            if (c->OnExit)
                c->OnExit(c->widget());
            return false;
        }
        case QEvent::MouseButtonDblClick: {
            Control* c = Control::of(widget);
            if (c && c->widget() == widget && c->OnDblClick)
                c->OnDblClick(widget);
            return false;
        }
        case QEvent::Enter: {
            Control* c = Control::of(widget);
            if (c && c->widget() == widget && !c->hint().isEmpty())
                if (Form* f = c->form())
                    f->showHintText(c->hint());
            return false;
        }
        case QEvent::ShowToParent:
        case QEvent::HideToParent:
            if (alignOf(widget) != Align::None && widget->parentWidget())
                realign(widget->parentWidget());
            return false;
        default:
            return false;
        }
    }

    QPointer<QWidget> m_focused;
};

// A plain widget that aligns its children (the contents of a scroll box).
class AlignedContents : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        realign(this);
    }
};

} // namespace

QFont scaledFont(QFont font, double factor)
{
    if (font.pixelSize() > 0)
        font.setPixelSize(std::max(1, int(std::lround(font.pixelSize() * factor))));
    else if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * factor);
    return font;
}

// ---- alignment ----------------------------------------------------------------

namespace {

// The alignment of every widget given one, read on each layout pass: a property
// lookup by name costs far more than this. An entry leaves with its widget.
QHash<const QWidget*, Align>& alignments()
{
    static QHash<const QWidget*, Align> table;
    return table;
}

} // namespace

void setAlign(QWidget* widget, Align align)
{
    if (!widget)
        return;
    auto& table = alignments();
    const auto it = table.find(widget);
    if (it == table.end()) {
        table.insert(widget, align);
        QObject::connect(widget, &QObject::destroyed, [widget] { alignments().remove(widget); });
    } else {
        it.value() = align;
    }
    // The property stays: a scroll box follows its changes with the room it needs.
    widget->setProperty(kAlignProperty, int(align));
    if (widget->parentWidget())
        realign(widget->parentWidget());
}

Align alignOf(const QWidget* widget)
{
    return widget ? alignments().value(widget, Align::None) : Align::None;
}

void realign(QWidget* container)
{
    if (!container)
        return;
    QRect free = container->contentsRect();
    QList<QWidget*> children;
    for (QObject* o : container->children())
        if (auto* w = qobject_cast<QWidget*>(o); w && !w->isWindow() && !w->isHidden() && alignOf(w) != Align::None)
            children << w;
    // The class library places top, bottom, left and right controls before the client.
    for (Align pass : {Align::Top, Align::Bottom, Align::Left, Align::Right, Align::Client}) {
        for (QWidget* w : children) {
            if (alignOf(w) != pass)
                continue;
            switch (pass) {
            case Align::Top:
                w->setGeometry(free.left(), free.top(), free.width(), w->height());
                free.setTop(free.top() + w->height());
                break;
            case Align::Bottom:
                w->setGeometry(free.left(), free.bottom() + 1 - w->height(), free.width(), w->height());
                free.setBottom(free.bottom() - w->height());
                break;
            case Align::Left:
                w->setGeometry(free.left(), free.top(), w->width(), free.height());
                free.setLeft(free.left() + w->width());
                break;
            case Align::Right:
                w->setGeometry(free.right() + 1 - w->width(), free.top(), w->width(), free.height());
                free.setRight(free.right() - w->width());
                break;
            case Align::Client:
                w->setGeometry(free);
                break;
            case Align::None:
                break;
            }
        }
    }
}

// ---- keys ---------------------------------------------------------------------

int virtualKey(const QKeyEvent* event)
{
    const int k = event->key();
    switch (k) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    default: break;
    }
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24)
        return VK_F1 + (k - Qt::Key_F1);
    if ((k >= Qt::Key_A && k <= Qt::Key_Z) || (k >= Qt::Key_0 && k <= Qt::Key_9))
        return k;
    return k & 0xffff;
}

int qtKey(int vk)
{
    switch (vk) {
    case VK_RETURN: return Qt::Key_Return;
    case VK_TAB: return Qt::Key_Tab;
    case VK_ESCAPE: return Qt::Key_Escape;
    case VK_BACK: return Qt::Key_Backspace;
    case VK_SPACE: return Qt::Key_Space;
    case VK_PRIOR: return Qt::Key_PageUp;
    case VK_NEXT: return Qt::Key_PageDown;
    case VK_END: return Qt::Key_End;
    case VK_HOME: return Qt::Key_Home;
    case VK_LEFT: return Qt::Key_Left;
    case VK_UP: return Qt::Key_Up;
    case VK_RIGHT: return Qt::Key_Right;
    case VK_DOWN: return Qt::Key_Down;
    case VK_INSERT: return Qt::Key_Insert;
    case VK_DELETE: return Qt::Key_Delete;
    default: break;
    }
    if (vk >= VK_F1 && vk < VK_F1 + 24)
        return Qt::Key_F1 + (vk - VK_F1);
    return vk;
}

bool deliveringDispatchedKey()
{
    return g_delivering;
}

bool dispatchKeyPress(QWidget* widget, QKeyEvent* event)
{
    Form* f = formOfWidget(widget);
    Control* c = widget == f ? nullptr : Control::of(widget);
    QPointer<QWidget> target(c ? c->widget() : widget);
    QPointer<QWidget> focusBefore(f ? f->focusWidget() : nullptr);
    const Qt::KeyboardModifiers shift = event->modifiers();
    const int originalKey = virtualKey(event);
    int key = originalKey;
    const bool formSees = f && (f->keyPreview || widget == f);
    if (formSees && f->OnKeyDown)
        f->OnKeyDown(f, key, shift);
    if (key != 0 && c && c->OnKeyDown)
        c->OnKeyDown(c->widget(), key, shift);
    // Enter and Escape not taken by a handler go to the form's default or cancel
    // button (a focused button and a memo take Enter themselves); no character
    // follows them.
    const bool takesEnter = qobject_cast<QAbstractButton*>(target.data())
                            || qobject_cast<QPlainTextEdit*>(target.data()) || qobject_cast<QTextEdit*>(target.data());
    if (f && (key == VK_RETURN || key == VK_ESCAPE) && !(shift & (Qt::ControlModifier | Qt::AltModifier))
        && !(key == VK_RETURN && takesEnter)) {
        if (Button* b = dialogButton(f, key)) {
            b->click();
            return true;
        }
    }
    // The character goes through the key-press handlers even when the key was taken,
    // as the character message of the class library does.
    const QChar originalChar = charOf(event);
    QChar ch = originalChar;
    if (!ch.isNull()) {
        if (formSees && f->OnKeyPress)
            f->OnKeyPress(f, ch);
        if (!ch.isNull() && c && c->OnKeyPress)
            c->OnKeyPress(c->widget(), ch);
    }
    if (key == VK_TAB && originalKey != VK_TAB) {
        // Enter turned into Tab; a handler that moved the focus itself has done it.
        const bool focusMoved = f && f->focusWidget() != focusBefore.data();
        if (f && !focusMoved && target) {
            Control* tc = Control::of(target);
            if (tc && tc->wantsTab()) {
                QKeyEvent tab(QEvent::KeyPress, (shift & Qt::ShiftModifier) ? Qt::Key_Backtab : Qt::Key_Tab, shift,
                              QStringLiteral("\t"));
                deliver(target, &tab);
            } else {
                f->selectNext(target, !(shift & Qt::ShiftModifier));
            }
        }
        return true;
    }
    if (key == 0)
        return true;
    if (!originalChar.isNull() && ch.isNull())
        return true;
    if (key != originalKey || ch != originalChar) {
        if (target) {
            QKeyEvent changed(QEvent::KeyPress, key != originalKey ? qtKey(key) : event->key(), shift,
                              ch.isNull() ? QString() : QString(ch), event->isAutoRepeat());
            deliver(target, &changed);
        }
        return true;
    }
    return false;
}

bool dispatchKeyRelease(QWidget* widget, QKeyEvent* event)
{
    Form* f = formOfWidget(widget);
    Control* c = widget == f ? nullptr : Control::of(widget);
    int key = virtualKey(event);
    if (f && (f->keyPreview || widget == f) && f->OnKeyUp)
        f->OnKeyUp(f, key, event->modifiers());
    if (key != 0 && c && c->OnKeyUp)
        c->OnKeyUp(c->widget(), key, event->modifiers());
    return key == 0;
}

// ---- Control ------------------------------------------------------------------

Control::Control(QWidget* self, QWidget* parent, const QString& name)
    : Component(formOfWidget(parent)), m_self(self)
{
    if (!name.isEmpty()) {
        setName(name);
        self->setObjectName(name);
    }
    self->installEventFilter(ControlFilter::instance());
}

Control::~Control() = default;

Form* Control::form() const
{
    return formOfWidget(m_self);
}

void Control::setHint(const QString& hint)
{
    m_hint = hint;
    m_self->setToolTip(showHint ? hint : QString());
}

Control* Control::of(QObject* object)
{
    for (QObject* o = object; o; o = o->parent()) {
        if (auto* c = dynamic_cast<Control*>(o))
            return c;
        if (auto* w = qobject_cast<QWidget*>(o); w && w->isWindow())
            return nullptr;
    }
    return nullptr;
}

void Control::fireClick()
{
    if (OnClick)
        OnClick(m_self);
}

// ---- Panel --------------------------------------------------------------------

Panel::Panel(QWidget* parent, const QString& name) : QFrame(parent), Control(this, parent, name)
{
    // Panels are opaque: a page shown over another hides it.
    setAutoFillBackground(true);
    setBevel(Bevel::Raised);
}

void Panel::setCaption(const QString& caption)
{
    m_caption = caption;
    update();
}

void Panel::setBevel(Bevel outer, Bevel inner)
{
    const Bevel b = inner != Bevel::None ? inner : outer;
    if (b == Bevel::None) {
        setFrameStyle(QFrame::NoFrame);
        return;
    }
    setFrameStyle(QFrame::Panel | (b == Bevel::Lowered ? QFrame::Sunken : QFrame::Raised));
    setLineWidth(1);
}

void Panel::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    realign(this);
}

void Panel::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (m_caption.isEmpty())
        return;
    QPainter p(this);
    p.drawText(contentsRect(), Qt::AlignCenter | (m_wordWrap ? Qt::TextWordWrap : 0), m_caption);
}

void Panel::setWordWrap(bool on)
{
    m_wordWrap = on;
    update();
}

// ---- ScrollBox ----------------------------------------------------------------

namespace {

// The room a container needs for its shown children, from its top left: docked children
// keep their heights and widths, a client child needs what its own children need, free
// children their own place. A scrolling view needs none (it scrolls its contents
// itself) and a page control the largest of its pages; neither counts the children that
// merely fill it, so the room needed never grows with the room given.
QSize neededExtent(const QWidget* w)
{
    if (qobject_cast<const QAbstractScrollArea*>(w))
        return QSize(0, 0);
    if (auto* pc = qobject_cast<const PageControl*>(w)) {
        QSize pages(0, 0);
        for (int i = 0; i < pc->pageCount(); ++i)
            pages = pages.expandedTo(neededExtent(pc->page(i)));
        const TabSheet* active = pc->activePage();
        if (!active || pages.isEmpty())
            return QSize(0, 0);
        // The tabs above the page and the frame around it.
        const QPoint offset = active->mapTo(pc, QPoint(0, 0));
        return pages + QSize(2 * offset.x(), offset.y() + offset.x());
    }
    int top = 0, left = 0;
    QSize client(0, 0);
    QSize free(0, 0);
    // A docked bar needs the length of what it holds across the container.
    int across = 0, down = 0;
    for (QObject* o : w->children()) {
        auto* c = qobject_cast<QWidget*>(o);
        if (!c || c->isWindow() || c->isHidden())
            continue;
        switch (alignOf(c)) {
        case Align::Top:
        case Align::Bottom:
            top += c->height();
            across = std::max(across, neededExtent(c).width() + c->contentsMargins().right());
            break;
        case Align::Left:
        case Align::Right:
            left += c->width();
            down = std::max(down, neededExtent(c).height() + c->contentsMargins().bottom());
            break;
        case Align::Client: {
            const QMargins m = c->contentsMargins();
            client = client.expandedTo(neededExtent(c) + QSize(m.right(), m.bottom()));
            break;
        }
        case Align::None: free = free.expandedTo(QSize(c->geometry().right() + 1, c->geometry().bottom() + 1)); break;
        }
    }
    return free.expandedTo(QSize(std::max(across, left + client.width()), top + std::max(down, client.height())));
}

} // namespace

ScrollBox::ScrollBox(QWidget* parent, const QString& name)
    : QScrollArea(parent), Control(this, parent, name), m_contents(new AlignedContents)
{
    setWidgetResizable(true);
    setFrameStyle(QFrame::NoFrame);
    setWidget(m_contents);
    setFocusPolicy(Qt::ClickFocus);
    m_contents->installEventFilter(this);
    // A field that takes the focus is scrolled into view.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && now != m_contents && m_contents->isAncestorOf(now))
            ensureWidgetVisible(now, 4, 4);
    });
}

void ScrollBox::updateExtent()
{
    // Beyond the box the scroll bars reach the rest.
    const QSize needed = neededExtent(m_contents);
    if (m_contents->minimumSize() != needed)
        m_contents->setMinimumSize(needed);
}

bool ScrollBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_contents) {
        switch (event->type()) {
        case QEvent::ChildAdded:
        case QEvent::ChildRemoved:
            if (auto* c = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child()))
                if (event->type() == QEvent::ChildAdded)
                    c->installEventFilter(this);
            QTimer::singleShot(0, this, [this] { updateExtent(); });
            break;
        default: break;
        }
    } else if (auto* c = qobject_cast<QWidget*>(watched); c && c->parentWidget() == m_contents) {
        switch (event->type()) {
        case QEvent::ShowToParent:
        case QEvent::HideToParent:
        case QEvent::Resize:
        case QEvent::Move:
        case QEvent::DynamicPropertyChange:
            // The extent follows at once, so a page shown is scrollable before it is used.
            if (!m_updating) {
                m_updating = true;
                updateExtent();
                m_updating = false;
            }
            break;
        default: break;
        }
    }
    return QScrollArea::eventFilter(watched, event);
}

void ScrollBox::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    realign(m_contents);
}

// ---- SpeedButton --------------------------------------------------------------

SpeedButton::SpeedButton(QWidget* parent, const QString& name) : QToolButton(parent), Control(this, parent, name)
{
    setFocusPolicy(Qt::NoFocus);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(this, &QAbstractButton::clicked, this, [this] { guardQt([this] { fireClick(); }); });
}

bool SpeedButton::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut) {
        if (isEnabled() && isVisible())
            guardQt([this] { fireClick(); });
        return true;
    }
    return QToolButton::event(event);
}

// ---- Button -------------------------------------------------------------------

Button::Button(QWidget* parent, const QString& name) : QPushButton(parent), Control(this, parent, name)
{
    // A focused button takes Enter itself.
    setAutoDefault(true);
    connect(this, &QAbstractButton::clicked, this, [this] { guardQt([this] { click(); }); });
}

void Button::setDefault(bool on)
{
    m_default = on;
    QPushButton::setDefault(on);
}

void Button::click()
{
    Guarded<Form> f(form());
    fireClick();
    if (modalResult != mrNone && f)
        f->setModalResult(modalResult);
}

bool Button::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut) {
        if (isEnabled() && isVisible())
            guardQt([this] { click(); });
        return true;
    }
    return QPushButton::event(event);
}

Button* dialogButton(Form* form, int virtualKey)
{
    if (!form || (virtualKey != VK_RETURN && virtualKey != VK_ESCAPE))
        return nullptr;
    for (Button* b : form->findChildren<Button*>()) {
        const bool role = virtualKey == VK_RETURN ? b->isDefault() : b->cancel;
        if (role && b->isEnabled() && b->isVisibleTo(form))
            return b;
    }
    return nullptr;
}

// ---- Label --------------------------------------------------------------------

Label::Label(QWidget* parent, const QString& caption, const QString& name)
    : QLabel(caption, parent), Control(this, parent, name)
{
}

void Label::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (isEnabled())
        guardQt([this] { fireClick(); });
}

// ---- Edit ---------------------------------------------------------------------

QString applyCharCase(const QString& text, CharCase charCase)
{
    switch (charCase) {
    case CharCase::Upper: return text.toUpper();
    case CharCase::Lower: return text.toLower();
    case CharCase::Normal: break;
    }
    return text;
}

Edit::Edit(QWidget* parent, const QString& name) : MaskedEdit(parent), Control(this, parent, name)
{
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (OnChange)
            guardQt([this] { OnChange(this); });
    });
}

void Edit::keyPressEvent(QKeyEvent* event)
{
    const QString cased = applyCharCase(event->text(), charCase);
    if (cased != event->text()) {
        QKeyEvent converted(event->type(), event->key(), event->modifiers(), cased, event->isAutoRepeat());
        MaskedEdit::keyPressEvent(&converted);
        event->setAccepted(converted.isAccepted());
        return;
    }
    MaskedEdit::keyPressEvent(event);
}

// ---- RadioGroup ---------------------------------------------------------------

RadioGroup::RadioGroup(QWidget* parent, const QString& name)
    : QGroupBox(parent), Control(this, parent, name), m_group(new QButtonGroup(this))
{
    m_group->setExclusive(true);
    connect(m_group, &QButtonGroup::idClicked, this, [this](int id) { guardQt([this, id] { userClicked(id); }); });
}

void RadioGroup::setItems(const QStringList& items)
{
    m_items = items;
    rebuild();
}

void RadioGroup::setColumns(int columns)
{
    m_columns = std::max(1, columns);
    arrange();
}

QRadioButton* RadioGroup::button(int index) const
{
    return m_buttons.value(index);
}

void RadioGroup::setIndexQuiet(int index)
{
    if (index < -1 || index >= m_items.size())
        index = -1;
    m_settingIndex = true;
    if (index < 0) {
        m_group->setExclusive(false);
        for (QRadioButton* b : m_buttons)
            b->setChecked(false);
        m_group->setExclusive(true);
    } else {
        m_buttons.at(index)->setChecked(true);
    }
    m_settingIndex = false;
    m_index = index;
}

void RadioGroup::setItemIndex(int index)
{
    const int before = m_index;
    setIndexQuiet(index);
    if (m_index != before)
        fireClick();
}

void RadioGroup::userClicked(int index)
{
    if (index == m_index)
        return;
    m_index = index;
    fireClick();
}

void RadioGroup::rebuild()
{
    qDeleteAll(m_buttons);
    m_buttons.clear();
    for (int i = 0; i < m_items.size(); ++i) {
        auto* b = new QRadioButton(m_items.at(i), this);
        b->installEventFilter(ControlFilter::instance());
        m_group->addButton(b, i);
        m_buttons << b;
        b->show();
    }
    if (m_index >= m_items.size())
        m_index = -1;
    if (m_index >= 0)
        m_buttons.at(m_index)->setChecked(true);
    arrange();
}

void RadioGroup::arrange()
{
    if (m_buttons.isEmpty())
        return;
    // The group's contents margins already leave out its title and frame.
    const QRect r = contentsRect().adjusted(8, 0, -4, 0);
    const int perColumn = (int(m_buttons.size()) + m_columns - 1) / m_columns;
    const int colWidth = std::max(1, r.width() / m_columns);
    const int rowHeight = std::max(fontMetrics().height() + 4, r.height() / std::max(1, perColumn));
    for (int i = 0; i < m_buttons.size(); ++i) {
        const int col = i / perColumn;
        const int row = i % perColumn;
        m_buttons.at(i)->setGeometry(r.left() + col * colWidth, r.top() + row * rowHeight, colWidth, rowHeight);
    }
}

void RadioGroup::resizeEvent(QResizeEvent* event)
{
    QGroupBox::resizeEvent(event);
    arrange();
}

// ---- PageControl --------------------------------------------------------------

TabSheet::TabSheet(PageControl* pageControl, const QString& caption, const QString& name)
    : QWidget(nullptr), Control(this, pageControl, name), m_pageControl(pageControl), m_caption(caption)
{
    pageControl->addPage(this);
}

void TabSheet::setCaption(const QString& caption)
{
    m_caption = caption;
    m_pageControl->rebuildTabs();
}

void TabSheet::setTabVisible(bool on)
{
    if (m_tabVisible == on)
        return;
    m_tabVisible = on;
    m_pageControl->rebuildTabs();
}

int TabSheet::pageIndex() const
{
    return m_pageControl->m_pages.indexOf(const_cast<TabSheet*>(this));
}

void TabSheet::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    realign(this);
}

PageControl::PageControl(QWidget* parent, const QString& name)
    : QWidget(parent), Control(this, parent, name), m_bar(new QTabBar(this)), m_stack(new QStackedWidget(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_bar);
    layout->addWidget(m_stack, 1);
    m_bar->setDrawBase(true);
    connect(m_bar, &QTabBar::currentChanged, this, [this](int tab) {
        if (m_rebuilding || tab < 0)
            return;
        TabSheet* page = m_pages.value(m_bar->tabData(tab).toInt());
        if (page && page != m_active) {
            guardQt([this, page] {
                setActivePage(page);
                if (OnChange)
                    OnChange(this);
            });
        }
    });
}

void PageControl::addPage(TabSheet* page)
{
    m_pages << page;
    m_stack->addWidget(page);
    if (!m_active)
        m_active = page;
    rebuildTabs();
}

void PageControl::removePage(TabSheet* page)
{
    m_pages.removeAll(page);
    if (m_active == page)
        m_active = m_pages.value(0);
    rebuildTabs();
}

void PageControl::setActivePage(TabSheet* page)
{
    if (page && page->pageControl() != this)
        return;
    m_active = page;
    if (page)
        m_stack->setCurrentWidget(page);
    rebuildTabs();
}

QStringList PageControl::visibleTabs() const
{
    QStringList out;
    for (TabSheet* p : m_pages)
        if (p->tabVisible())
            out << p->caption();
    return out;
}

void PageControl::rebuildTabs()
{
    m_rebuilding = true;
    // Switching pages leaves the tabs as they are: only a changed caption, a tab shown
    // or hidden, or a page added or taken away lays the tab row out again.
    bool same = true;
    int tab = 0;
    for (int i = 0; i < m_pages.size() && same; ++i) {
        const TabSheet* p = m_pages.at(i);
        if (!p->tabVisible())
            continue;
        same = tab < m_bar->count() && m_bar->tabData(tab).toInt() == i && m_bar->tabText(tab) == p->caption();
        ++tab;
    }
    same = same && tab == m_bar->count();
    if (!same) {
        while (m_bar->count() > 0)
            m_bar->removeTab(0);
        for (int i = 0; i < m_pages.size(); ++i)
            if (m_pages.at(i)->tabVisible())
                m_bar->setTabData(m_bar->addTab(m_pages.at(i)->caption()), i);
    }
    int current = -1;
    for (int t = 0; t < m_bar->count() && current < 0; ++t)
        if (m_pages.value(m_bar->tabData(t).toInt()) == m_active)
            current = t;
    // A bar filled afresh has its first tab current when the active page has no tab.
    m_bar->setCurrentIndex(current >= 0 ? current : 0);
    m_bar->setVisible(m_bar->count() > 0);
    if (m_active)
        m_stack->setCurrentWidget(m_active);
    m_rebuilding = false;
}

// ---- PopupMenu ----------------------------------------------------------------

PopupMenu::PopupMenu(Component* owner) : Component(owner), m_root(new MenuItem(nullptr))
{
}

PopupMenu::~PopupMenu()
{
    Component::free(m_root);
}

MenuItem* PopupMenu::add(const QString& caption, bool enabled)
{
    auto* item = new MenuItem(nullptr);
    item->caption = caption;
    item->enabled = enabled;
    m_root->add(item);
    return item;
}

void PopupMenu::fill(QMenu* menu) const
{
    menu->clear();
    for (int i = 0; i < m_root->count(); ++i) {
        MenuItem* item = m_root->item(i);
        if (!item->visible)
            continue;
        if (item->caption == QLatin1String("-")) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(item->caption);
        action->setEnabled(item->enabled);
        Guarded<MenuItem> guard(item);
        QObject::connect(action, &QAction::triggered, menu, [guard] {
            if (MenuItem* it = guard.get())
                guardQt([it] { it->click(); });
        });
    }
}

void PopupMenu::attachTo(QWidget* widget)
{
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    Guarded<PopupMenu> self(this);
    QObject::connect(widget, &QWidget::customContextMenuRequested, widget, [self, widget](const QPoint& pos) {
        PopupMenu* menu = self.get();
        if (!menu)
            return;
        QMenu qmenu(widget);
        menu->fill(&qmenu);
        qmenu.exec(widget->mapToGlobal(pos));
    });
}

} // namespace vorta::ui
