// The main menu of a form: a bar of items, each with an optional OnClick.
#pragma once

#include "toolkit/Classes.h"

#include <QMetaObject>

#include <string>
#include <vector>

class QMenuBar;
class QAction;

namespace tk {

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    const std::string& GetCaption() const { return itsCaption; }
    void SetCaption(const std::string& caption);
    bool GetEnabled() const { return itsEnabled; }
    void SetEnabled(bool enabled);
    // Sub-items (the item does not own them; their owner does).
    void Add(TMenuItem* item);
    int GetCount() const { return static_cast<int>(itsItems.size()); }
    TMenuItem* GetItem(int index) const { return itsItems.at(index); }
    TMenuItem* GetParentItem() const { return itsParentItem; }

    // Raises OnClick, as choosing the item does.
    void Click();

    TNotifyEvent OnClick;

private:
    friend class TMainMenu;
    void Detach(TMenuItem* item);
    void Changed();

    std::string itsCaption;
    bool itsEnabled = true;
    std::vector<TMenuItem*> itsItems;
    TMenuItem* itsParentItem = nullptr;
    class TMainMenu* itsMenu = nullptr;
};

// The top-level items are GetItems()'s sub-items; a form shows the menu after SetMenu.
class TMainMenu : public TComponent {
public:
    explicit TMainMenu(TComponent* AOwner);
    ~TMainMenu() override;

    TMenuItem* GetItems() { return &itsItems; }
    // Fills a menu bar with the items (the form calls this).
    void BuildMenuBar(QMenuBar* bar);
    void Rebuild();

private:
    friend class TMenuItem;
    TMenuItem itsItems{nullptr};
    std::vector<QMenuBar*> itsBars;
    std::vector<QMetaObject::Connection> itsConnections;
};

} // namespace tk
