#pragma once

#include "platform/core/Component.h"

#include <QKeySequence>
#include <QMenuBar>
#include <QString>

#include <functional>
#include <vector>

class QMenu;

namespace vorta::ui {

class MainMenu;

// A menu item: caption, shortcut, state, click handler and sub-items. The item list
// holds its sub-items and frees them with it; an item freed by its owner leaves its
// parent's list.
class MenuItem : public Component {
public:
    explicit MenuItem(Component* owner = nullptr);
    ~MenuItem() override;

    QString caption;
    QKeySequence shortcut;
    bool checked = false;
    bool enabled = true;
    bool visible = true;
    int helpContext = 0;
    std::function<void(MenuItem*)> OnClick;

    int count() const { return static_cast<int>(m_items.size()); }
    MenuItem* item(int index) const { return m_items.at(static_cast<size_t>(index)); }
    MenuItem* parent() const { return m_parent; }
    void add(MenuItem* item);
    void insert(int index, MenuItem* item);
    void remove(MenuItem* item);
    // Removes and frees the sub-item at index.
    void deleteItem(int index);
    MenuItem* find(const QString& caption) const;

    void click();
    // Tells the menu that shows this item to show it anew.
    void changed();

private:
    friend class MainMenu;
    MenuItem* m_parent = nullptr;
    MainMenu* m_menu = nullptr; // set on the root item only
    std::vector<MenuItem*> m_items;
};

// A form's menu bar, reached from the keyboard as the suite's users expect, also where
// the captions carry no "&": a lone Alt highlights the first entry (Enter or Down opens
// it), F10 opens the first entry's menu on its first command; the arrows move between
// commands and entries, Enter runs the highlighted command, Escape steps back.
class MenuBar : public QMenuBar {
    Q_OBJECT
public:
    explicit MenuBar(QWidget* parent);

    void openFirstMenu();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void leaveWithoutFocus();
};

// A form's main menu: a root item whose sub-items are the menu bar's entries.
class MainMenu : public Component {
public:
    explicit MainMenu(Component* owner = nullptr);
    ~MainMenu() override;

    MenuItem* items() const { return m_root; }
    std::function<void()> onChanged;

    // Builds the Qt menu bar from the items.
    void fill(QMenuBar* bar) const;

private:
    MenuItem* m_root;
};

} // namespace vorta::ui
