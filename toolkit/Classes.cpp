#include "Classes.h"

#include <algorithm>

namespace tk {

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner != nullptr) {
        AOwner->Insert(this);
    }
}

TComponent::~TComponent() {
    while (!itsComponents.empty()) {
        TComponent* last = itsComponents.back();
        Remove(last);
        delete last;
    }
    if (itsOwner != nullptr) {
        itsOwner->Remove(this);
    }
}

void TComponent::Insert(TComponent* component) {
    itsComponents.push_back(component);
    component->itsOwner = this;
}

void TComponent::Remove(TComponent* component) {
    auto it = std::find(itsComponents.begin(), itsComponents.end(), component);
    if (it != itsComponents.end()) {
        ComponentRemoved(component);
        itsComponents.erase(it);
        component->itsOwner = nullptr;
    }
}

} // namespace tk
