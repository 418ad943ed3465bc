#pragma once

#include "platform/core/Component.h"
#include "platform/ui/MaskedEdit.h"

#include <QFont>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStringList>
#include <QTabBar>
#include <QToolButton>

#include <functional>

class QButtonGroup;
class QKeyEvent;
class QMenu;
class QRadioButton;
class QStackedWidget;

namespace vorta::ui {

class Form;
class MenuItem;

// Where a control sits in its parent, as the class library aligns: top and bottom
// controls stack along the edges in creation order, a client control takes the rest.
enum class Align { None, Top, Bottom, Left, Right, Client };

void setAlign(QWidget* widget, Align align);
Align alignOf(const QWidget* widget);
// Lays out the aligned children of container again.
void realign(QWidget* container);

// font at factor times its size, whether it is sized in pixels (the interface font) or
// in points.
QFont scaledFont(QFont font, double factor);

// The class library's virtual key codes for the keys the suite looks at.
enum VirtualKey : int {
    VK_BACK = 8, VK_TAB = 9, VK_RETURN = 13, VK_ESCAPE = 27, VK_SPACE = 32,
    VK_PRIOR = 33, VK_NEXT = 34, VK_END = 35, VK_HOME = 36, VK_LEFT = 37, VK_UP = 38,
    VK_RIGHT = 39, VK_DOWN = 40, VK_INSERT = 45, VK_DELETE = 46, VK_F1 = 112
};
int virtualKey(const QKeyEvent* event);
int qtKey(int virtualKey);

// The part every visual control of the suite shares: a component owned by its form
// (so a form finds its controls by name), the class library's events, and a hint.
// The events run through one event filter; key events go to the form first when it
// previews keys.
class Control : public Component {
public:
    Control(QWidget* self, QWidget* parent, const QString& name = QString());
    ~Control() override;

    QWidget* widget() const { return m_self; }
    Form* form() const;

    QString hint() const { return m_hint; }
    void setHint(const QString& hint);
    bool showHint = true;

    void setAlign(Align align) { ui::setAlign(m_self, align); }
    Align align() const { return alignOf(m_self); }

    using Notify = std::function<void(QWidget* sender)>;
    using KeyEvent = std::function<void(QWidget* sender, int& key, Qt::KeyboardModifiers shift)>;
    using KeyPressEvent = std::function<void(QWidget* sender, QChar& key)>;
    Notify OnEnter, OnExit, OnClick, OnDblClick;
    KeyEvent OnKeyDown, OnKeyUp;
    KeyPressEvent OnKeyPress;

    // A control that handles Tab itself (a grid moving through its cells).
    virtual bool wantsTab() const { return false; }

    // The control of a widget, or null.
    static Control* of(QObject* object);

protected:
    // Runs OnClick; the button and label classes call it.
    void fireClick();

private:
    QWidget* m_self;
    QString m_hint;
};

// Runs the class library's key order for one key press on widget: the form's
// preview OnKeyDown, the control's OnKeyDown, the form's preview OnKeyPress and the
// control's OnKeyPress; a key set to 0 is consumed, a key turned into Tab moves the
// focus. Returns true when the key was consumed. For forms and tests that send keys.
bool dispatchKeyPress(QWidget* widget, QKeyEvent* event);
// The same for a key release: the form's preview OnKeyUp, then the control's.
bool dispatchKeyRelease(QWidget* widget, QKeyEvent* event);
// True while a key already dispatched is being delivered to its widget (and its
// parents): the form does not run its handlers for it a second time.
bool deliveringDispatchedKey();

// A panel: a frame with bevels that holds and aligns other controls.
class Panel : public QFrame, public Control {
    Q_OBJECT
public:
    explicit Panel(QWidget* parent, const QString& name = QString());
    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);
    enum class Bevel { None, Lowered, Raised };
    void setBevel(Bevel outer, Bevel inner = Bevel::None);
    // A caption too long for one line breaks between words instead of being cut.
    void setWordWrap(bool on);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_caption;
    bool m_wordWrap = false;
};

// A scroll box: its children live on contents(); it takes the focus when asked, which
// forms use to make the control being left run its exit step.
class ScrollBox : public QScrollArea, public Control {
    Q_OBJECT
public:
    explicit ScrollBox(QWidget* parent, const QString& name = QString());
    QWidget* contents() const { return m_contents; }

    // Makes the contents as large as their children need, so that the scroll bars reach
    // every control.
    void updateExtent();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_contents;
    bool m_updating = false;
};

// A flat button that never takes the focus, so clicking it leaves the focus where it
// was. "&" in the caption gives the Alt-letter accelerator.
class SpeedButton : public QToolButton, public Control {
    Q_OBJECT
public:
    explicit SpeedButton(QWidget* parent, const QString& name = QString());
    QString caption() const { return text(); }
    void setCaption(const QString& caption) { setText(caption); }
    // The class library's Click: runs OnClick, enabled or not (mouse and Alt-letter
    // reach enabled buttons only).
    void click() { fireClick(); }
    void setBounds(int left, int top, int width, int height) { setGeometry(left, top, width, height); }

protected:
    // The Alt-letter clicks at once, not after the pressed look Qt would show first.
    bool event(QEvent* event) override;
};

// A push button (also the bitmap button): a modal result that it hands to its form
// after OnClick, and the default (Enter) and cancel (Escape) roles in its form.
class Button : public QPushButton, public Control {
    Q_OBJECT
public:
    explicit Button(QWidget* parent, const QString& name = QString());
    QString caption() const { return text(); }
    void setCaption(const QString& caption) { setText(caption); }
    int modalResult = 0;
    // Enter anywhere in the form clicks the default button, unless a button has the focus.
    bool isDefault() const { return m_default; }
    void setDefault(bool on);
    // Escape anywhere in the form clicks the cancel button.
    bool cancel = false;
    // The class library's Click: OnClick, then the modal result (a handler that
    // aborts keeps the form open).
    void click();
    void setBounds(int left, int top, int width, int height) { setGeometry(left, top, width, height); }

protected:
    // The Alt-letter clicks at once, as on the speed buttons.
    bool event(QEvent* event) override;

private:
    bool m_default = false;
};

// The enabled, shown default (Enter) or cancel (Escape) button of the form, or null.
Button* dialogButton(Form* form, int virtualKey);

// A label; OnClick runs on a mouse click.
class Label : public QLabel, public Control {
    Q_OBJECT
public:
    explicit Label(QWidget* parent, const QString& caption = QString(), const QString& name = QString());
    QString caption() const { return text(); }
    void setCaption(const QString& caption) { setText(caption); }
    void click() { fireClick(); }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

enum class CharCase { Normal, Upper, Lower };

// The class library's text alignment; check boxes take the first two (their caption
// stands left or right of the box).
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// A plain edit (masked when given a mask) with the class library's character case
// and OnChange.
class Edit : public MaskedEdit, public Control {
    Q_OBJECT
public:
    explicit Edit(QWidget* parent, const QString& name = QString());
    CharCase charCase = CharCase::Normal;
    Notify OnChange;
    void selectAll() { QLineEdit::selectAll(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// The text with the character case applied.
QString applyCharCase(const QString& text, CharCase charCase);

// A radio group that is not bound to data: items, the selected index, columns.
class RadioGroup : public QGroupBox, public Control {
    Q_OBJECT
public:
    explicit RadioGroup(QWidget* parent, const QString& name = QString());
    QString caption() const { return title(); }
    void setCaption(const QString& caption) { setTitle(caption); }
    QStringList items() const { return m_items; }
    void setItems(const QStringList& items);
    int columns() const { return m_columns; }
    void setColumns(int columns);
    int itemIndex() const { return m_index; }
    void setItemIndex(int index);
    QRadioButton* button(int index) const;
    // OnClick runs whenever the chosen item changes, from the user or from code.

protected:
    void resizeEvent(QResizeEvent* event) override;
    void arrange();
    void rebuild();
    // A click on an item by the user.
    virtual void userClicked(int index);
    // Shows the item chosen without running OnClick.
    void setIndexQuiet(int index);

    QStringList m_items;
    int m_columns = 1;
    int m_index = -1;
    QList<QRadioButton*> m_buttons;
    QButtonGroup* m_group;
    bool m_settingIndex = false;
};

// A tab sheet of a page control: its tab can be hidden while the page stays usable.
class PageControl;
class TabSheet : public QWidget, public Control {
    Q_OBJECT
public:
    TabSheet(PageControl* pageControl, const QString& caption, const QString& name = QString());
    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);
    bool tabVisible() const { return m_tabVisible; }
    void setTabVisible(bool on);
    int pageIndex() const;
    PageControl* pageControl() const { return m_pageControl; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    PageControl* m_pageControl;
    QString m_caption;
    bool m_tabVisible = true;
};

// Pages with tabs; the active page shows whether its tab is visible or not, and the
// tab row disappears when no tab is visible.
class PageControl : public QWidget, public Control {
    Q_OBJECT
public:
    explicit PageControl(QWidget* parent, const QString& name = QString());
    int pageCount() const { return int(m_pages.size()); }
    TabSheet* page(int index) const { return m_pages.value(index); }
    TabSheet* activePage() const { return m_active; }
    void setActivePage(TabSheet* page);
    int activePageIndex() const { return m_pages.indexOf(m_active); }
    // Captions of the tabs shown, in order.
    QStringList visibleTabs() const;
    QTabBar* tabBar() const { return m_bar; }
    // The user switched pages.
    Notify OnChange;

private:
    friend class TabSheet;
    void addPage(TabSheet* page);
    void removePage(TabSheet* page);
    void rebuildTabs();
    QTabBar* m_bar;
    QStackedWidget* m_stack;
    QList<TabSheet*> m_pages;
    TabSheet* m_active = nullptr;
    bool m_rebuilding = false;
};

// A pop-up menu of items; shown on a control's context menu request.
class PopupMenu : public Component {
public:
    explicit PopupMenu(Component* owner = nullptr);
    ~PopupMenu() override;
    MenuItem* items() const { return m_root; }
    // "-" items are separators.
    MenuItem* add(const QString& caption, bool enabled = true);
    // Fills a Qt menu with the items (for showing and for tests).
    void fill(QMenu* menu) const;
    // Makes widget show this menu on a context-menu request.
    void attachTo(QWidget* widget);
    // "Manual" hot keys: the captions are taken as written.
    bool autoHotkeys = false;

private:
    MenuItem* m_root;
};

} // namespace vorta::ui
