#include "components/KX3_Graph.h"

#include "components/KX3_GraphItem.h"

#include <cmath>

using namespace tk;

TKX3_Graph::TKX3_Graph(TComponent* AOwner) : TCustomPanel(AOwner) {}

void TKX3_Graph::SetMin(float value) {
    if (std::fabs(itsMin - value) >= 0.001f) {
        itsMin = value;
        for (TKX3_GraphItem* item : itsItems) {
            item->SetMin(itsMin);
        }
    }
}

void TKX3_Graph::SetMax(float value) {
    if (std::fabs(itsMax - value) >= 0.001f) {
        itsMax = value;
        for (TKX3_GraphItem* item : itsItems) {
            item->SetMax(itsMax);
        }
    }
}

void TKX3_Graph::SetLength(int count) {
    if (count < 1) {
        count = 0;
    }
    if (count == GetLength()) {
        return;
    }
    while (count < GetLength()) {
        delete itsItems.back();
        itsItems.pop_back();
    }
    while (count > GetLength()) {
        auto* item = new TKX3_GraphItem(this);
        item->SetParent(this);
        item->SetMin(itsMin);
        item->SetMax(itsMax);
        itsItems.push_back(item);
    }
    Invalidate();
}

void TKX3_Graph::Input(TObject* Sender, int count, const float* values) {
    if (count == 0) {
        Reset(Sender);
        return;
    }
    if (values == nullptr) {
        return;
    }
    SetLength(count);
    for (int i = 0; i < GetLength(); ++i) {
        itsItems[i]->SetPosition(values[i]);
    }
}

void TKX3_Graph::Reset(TObject* /*Sender*/) {}

void TKX3_Graph::Paint() {
    TCustomPanel::Paint();
    ReSize();
}

void TKX3_Graph::Resize() {
    TCustomPanel::Resize();
    ReSize();
}

void TKX3_Graph::ReSize() {
    if (itsItems.empty()) {
        return;
    }
    const int width = GetClientWidth();
    const float height = static_cast<float>(static_cast<double>(GetClientHeight()) /
                                            static_cast<double>(itsItems.size()));
    float top = 0.0f;
    for (TKX3_GraphItem* item : itsItems) {
        item->SetBounds(0, static_cast<int>(top), width, static_cast<int>(height));
        top += height;
    }
}
