#include "toolkit/Menus.h"

#include "toolkit/Controls.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>

namespace tk {

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
    for (TMenuItem* item : itsItems) {
        item->itsParentItem = nullptr;
    }
    if (itsParentItem != nullptr) {
        itsParentItem->Detach(this);
    }
}

void TMenuItem::SetCaption(const std::string& caption) {
    itsCaption = caption;
    Changed();
}

void TMenuItem::SetEnabled(bool enabled) {
    itsEnabled = enabled;
    Changed();
}

void TMenuItem::Add(TMenuItem* item) {
    if (item->itsParentItem != nullptr) {
        item->itsParentItem->Detach(item);
    }
    item->itsParentItem = this;
    itsItems.push_back(item);
    Changed();
}

void TMenuItem::Detach(TMenuItem* item) {
    itsItems.erase(std::remove(itsItems.begin(), itsItems.end(), item), itsItems.end());
    Changed();
}

void TMenuItem::Click() {
    if (OnClick) {
        OnClick(this);
    }
}

void TMenuItem::Changed() {
    for (TMenuItem* item = this; item != nullptr; item = item->itsParentItem) {
        if (item->itsMenu != nullptr) {
            item->itsMenu->Rebuild();
            return;
        }
    }
}

TMainMenu::TMainMenu(TComponent* AOwner) : TComponent(AOwner) {
    itsItems.itsMenu = this;
}

TMainMenu::~TMainMenu() {
    itsItems.itsMenu = nullptr;
    for (const QMetaObject::Connection& connection : itsConnections) {
        QObject::disconnect(connection);
    }
    for (QMenuBar* bar : itsBars) {
        bar->clear();
    }
}

namespace {

void AddItems(QWidget* target, TMenuItem* parent) {
    for (int i = 0; i < parent->GetCount(); ++i) {
        TMenuItem* item = parent->GetItem(i);
        const QString caption = QString::fromUtf8(item->GetCaption().c_str());
        if (item->GetCount() > 0) {
            auto* menu = new QMenu(caption, target);
            AddItems(menu, item);
            menu->setEnabled(item->GetEnabled());
            target->addAction(menu->menuAction());
        } else {
            auto* action = new QAction(caption, target);
            action->setEnabled(item->GetEnabled());
            QObject::connect(action, &QAction::triggered,
                             [item] { CallGuarded([item] { item->Click(); }); });
            target->addAction(action);
        }
    }
}

} // namespace

void TMainMenu::BuildMenuBar(QMenuBar* bar) {
    if (std::find(itsBars.begin(), itsBars.end(), bar) == itsBars.end()) {
        itsBars.push_back(bar);
        itsConnections.push_back(QObject::connect(bar, &QObject::destroyed, [this, bar] {
            itsBars.erase(std::remove(itsBars.begin(), itsBars.end(), bar), itsBars.end());
        }));
    }
    bar->clear();
    AddItems(bar, &itsItems);
}

void TMainMenu::Rebuild() {
    for (QMenuBar* bar : std::vector<QMenuBar*>(itsBars)) {
        BuildMenuBar(bar);
    }
}

} // namespace tk
