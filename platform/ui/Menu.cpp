#include "platform/ui/Menu.h"
#include "platform/core/QtGuard.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QProxyStyle>

#include <algorithm>

namespace vorta::ui {

MenuItem::MenuItem(Component* owner) : Component(owner) {}

MenuItem::~MenuItem()
{
    while (!m_items.empty()) {
        MenuItem* last = m_items.back();
        m_items.pop_back();
        last->m_parent = nullptr;
        Component::free(last);
    }
    if (m_parent)
        m_parent->remove(this);
}

void MenuItem::add(MenuItem* item)
{
    insert(count(), item);
}

void MenuItem::insert(int index, MenuItem* item)
{
    if (!item)
        return;
    if (item->m_parent)
        item->m_parent->remove(item);
    index = std::clamp(index, 0, count());
    m_items.insert(m_items.begin() + index, item);
    item->m_parent = this;
    changed();
}

void MenuItem::remove(MenuItem* item)
{
    auto it = std::find(m_items.begin(), m_items.end(), item);
    if (it == m_items.end())
        return;
    m_items.erase(it);
    item->m_parent = nullptr;
    changed();
}

void MenuItem::deleteItem(int index)
{
    MenuItem* doomed = item(index);
    remove(doomed);
    Component::free(doomed);
}

MenuItem* MenuItem::find(const QString& text) const
{
    const auto plain = [](QString s) { return s.remove(QLatin1Char('&')).trimmed(); };
    for (MenuItem* i : m_items)
        if (plain(i->caption).compare(plain(text), Qt::CaseInsensitive) == 0)
            return i;
    return nullptr;
}

void MenuItem::click()
{
    if (enabled && OnClick)
        OnClick(this);
}

void MenuItem::changed()
{
    const MenuItem* root = this;
    while (root->m_parent)
        root = root->m_parent;
    if (root->m_menu && root->m_menu->onChanged)
        root->m_menu->onChanged();
}

MainMenu::MainMenu(Component* owner) : Component(owner), m_root(new MenuItem(nullptr))
{
    m_root->m_menu = this;
}

MainMenu::~MainMenu()
{
    m_root->m_menu = nullptr;
    Component::free(m_root);
}

namespace {

// Qt's lone-Alt navigation of a menu bar hangs on this hint, which not every style gives.
class AltNavigationStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == QStyle::SH_MenuBar_AltKeyNavigation)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

MenuBar::MenuBar(QWidget* parent) : QMenuBar(parent)
{
    auto* navigation = new AltNavigationStyle;
    navigation->setParent(this);
    setStyle(navigation);
    connect(this, &QMenuBar::triggered, this, [this] { leaveWithoutFocus(); });
}

void MenuBar::leaveWithoutFocus()
{
    // Qt gives the focus back to the control that had it; with none, the bar lets go.
    if (hasFocus() && !activeAction() && !QApplication::activePopupWidget())
        clearFocus();
}

void MenuBar::keyPressEvent(QKeyEvent* event)
{
    QMenuBar::keyPressEvent(event);
    leaveWithoutFocus();
}

void MenuBar::openFirstMenu()
{
    QAction* first = nullptr;
    for (QAction* a : actions())
        if (a->isVisible() && a->isEnabled() && !a->isSeparator()) {
            first = a;
            break;
        }
    if (!first)
        return;
    setActiveAction(first);
    if (QMenu* menu = first->menu()) {
        for (QAction* a : menu->actions())
            if (a->isVisible() && a->isEnabled() && !a->isSeparator()) {
                menu->setActiveAction(a);
                break;
            }
    }
}

bool MenuBar::eventFilter(QObject* watched, QEvent* event)
{
    // F10 that no control took reaches the window last.
    if (event->type() == QEvent::KeyPress && watched == window() && isVisible()) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F10 && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier
            && !actions().isEmpty()) {
            openFirstMenu();
            return true;
        }
    }
    return QMenuBar::eventFilter(watched, event);
}

namespace {
void fillMenu(QMenu* menu, const MenuItem* parent)
{
    for (int i = 0; i < parent->count(); ++i) {
        MenuItem* item = parent->item(i);
        if (!item->visible)
            continue;
        if (item->caption == QLatin1String("-")) {
            menu->addSeparator();
            continue;
        }
        if (item->count() > 0) {
            QMenu* sub = menu->addMenu(item->caption);
            sub->setEnabled(item->enabled);
            fillMenu(sub, item);
            continue;
        }
        QAction* action = menu->addAction(item->caption);
        action->setShortcut(item->shortcut);
        action->setCheckable(item->checked);
        action->setChecked(item->checked);
        action->setEnabled(item->enabled);
        Guarded<MenuItem> guard(item);
        QObject::connect(action, &QAction::triggered, action, [guard] {
            if (MenuItem* target = guard.get())
                guardQt([target] { target->click(); });
        });
    }
}
} // namespace

void MainMenu::fill(QMenuBar* bar) const
{
    bar->clear();
    for (int i = 0; i < m_root->count(); ++i) {
        MenuItem* item = m_root->item(i);
        if (!item->visible)
            continue;
        if (item->count() == 0) {
            QAction* action = bar->addAction(item->caption);
            action->setEnabled(item->enabled);
            Guarded<MenuItem> guard(item);
            QObject::connect(action, &QAction::triggered, action, [guard] {
                if (MenuItem* target = guard.get())
                    guardQt([target] { target->click(); });
            });
            continue;
        }
        QMenu* menu = bar->addMenu(item->caption);
        menu->setEnabled(item->enabled);
        fillMenu(menu, item);
    }
}

} // namespace vorta::ui
