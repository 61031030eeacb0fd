#include "control/KXB3_Graph.h"

#include <algorithm>
#include <string>

using namespace tk;

namespace {

constexpr int kDiffCount = 66;

std::string GrapherSection(int index) {
    return "Grapher" + std::to_string(index);
}

} // namespace

TKXBW3_Graph::TKXBW3_Graph(TComponent* AOwner) : TFrame(AOwner) {
    CreateLayout();
    CreateVariables();
}

TKXBW3_Graph::~TKXBW3_Graph() = default;

void TKXBW3_Graph::CreateLayout() {
    SetBounds(0, 0, 594, 454);
    TKX3_Graph** graphs[] = {&KX3_Graph1, &KX3_Graph2};
    for (TKX3_Graph** graph : graphs) {
        *graph = new TKX3_Graph(this);
        (*graph)->SetParent(this);
        (*graph)->SetMin(-10.0f);
        (*graph)->SetMax(400.0f);
    }
    OnResize = Bind(this, &TKXBW3_Graph::FrameResize);
    FrameResize(this);
}

void TKXBW3_Graph::CreateVariables() {
    itsShareVarPoly = new TShareVarPoly(this);
    itsLength0 =
        itsShareVarPoly->AddItem(GrapherSection(0), "Length", "Int", 1,
                                 Bind(this, &TKXBW3_Graph::DoLength0Change), nullptr, false);
    itsDiff0 = itsShareVarPoly->AddItem(GrapherSection(0), "Diff", "Float", kDiffCount, nullptr,
                                        nullptr, false);
    itsLength1 =
        itsShareVarPoly->AddItem(GrapherSection(1), "Length", "Int", 1,
                                 Bind(this, &TKXBW3_Graph::DoLength1Change), nullptr, false);
    itsDiff1 = itsShareVarPoly->AddItem(GrapherSection(1), "Diff", "Float", kDiffCount, nullptr,
                                        nullptr, false);
}

void TKXBW3_Graph::DoLength0Change(TObject* /*Sender*/) {
    PlotGraph(0, itsLength0, itsDiff0);
}

void TKXBW3_Graph::DoLength1Change(TObject* /*Sender*/) {
    PlotGraph(1, itsLength1, itsDiff1);
}

// The values go through a fixed buffer of 64 on the stack, read one element at a time from the
// shared block. A longer "Length" shows the first 64 values; no more is ever read or passed.
void TKXBW3_Graph::PlotGraph(int index, TShareVarBase* length, TShareVarBase* values) {
    if (!GetEnabled())
        return;
    const int n = std::min(length->GetValueInt(), kMaxValues);
    float buffer[kMaxValues];
    for (int i = 0; i < n; ++i)
        buffer[i] = values->GetValueFloatA(i);
    TKX3_Graph* graph = index == 0 ? KX3_Graph1 : KX3_Graph2;
    graph->Input(this, n, buffer);
}

// When the client width is odd, the rightmost pixel column stays uncovered.
void TKXBW3_Graph::FrameResize(TObject* /*Sender*/) {
    const int hw = GetClientWidth() / 2;
    const int ch = GetClientHeight();
    KX3_Graph1->SetBounds(0, 0, hw, ch);
    KX3_Graph2->SetBounds(hw, 0, hw, ch);
}
