// The sensitivity frame's components and their properties. Inside each group box the rows are
// top-aligned and stack in the order of their tops.
#include "control/KXB3_SenseA.h"

#include "components/KX3_Graph.h"
#include "components/KX3_Ruler.h"

using namespace tk;

namespace {

constexpr int kMinMaxRowHeight = 20;
constexpr int kTrackBarHeight = 32;
constexpr int kRulerHeight = 25;
constexpr int kGraphRowHeight = 35;
constexpr int kSpacerWidth = 8;

TLabel* NewItalicLabel(TComponent* owner, TWinControl* parent, TAlign align, const char* caption) {
    auto* label = new TLabel(owner);
    label->SetParent(parent);
    label->SetAutoSize(false);
    label->SetWidth(41);
    label->SetAlign(align);
    label->SetAlignment(taCenter);
    label->GetFont()->SetStyle(fsItalic);
    label->SetCaption(caption);
    return label;
}

TPanel* NewRow(TComponent* owner, TWinControl* parent, int top, int height) {
    auto* row = new TPanel(owner);
    row->SetParent(parent);
    row->SetBevelOuter(bvNone);
    row->SetBounds(0, top, parent->GetWidth(), height);
    row->SetAlign(alTop);
    return row;
}

TGroupBox* NewGroup(TComponent* owner, TWinControl* parent, int top, int height,
                    const char* caption) {
    auto* group = new TGroupBox(owner);
    group->SetParent(parent);
    group->SetBounds(0, top, parent->GetWidth(), height);
    group->SetAlign(alTop);
    group->SetCaption(caption);
    return group;
}

TTrackBar* NewTrackBar(TComponent* owner, TWinControl* parent, int top, int min, int max,
                       int frequency) {
    auto* bar = new TTrackBar(owner);
    bar->SetParent(parent);
    bar->SetBounds(0, top, parent->GetWidth(), kTrackBarHeight);
    bar->SetAlign(alTop);
    bar->SetMin(min);
    bar->SetMax(max);
    bar->SetPosition(min);
    bar->SetPageSize(1);
    bar->SetFrequency(frequency);
    bar->SetTickStyle(tsNone);
    return bar;
}

TButton* NewButton(TComponent* owner, TWinControl* parent, int left, const char* caption) {
    auto* button = new TButton(owner);
    button->SetParent(parent);
    button->SetBounds(left, 344, 137, 40);
    button->SetCaption(caption);
    return button;
}

} // namespace

// The "min" and "max" labels over a bar's two ends.
void TKXBW3_SenseA::AddMinMaxRow(TWinControl* parent, int top) {
    TPanel* row = NewRow(this, parent, top, kMinMaxRowHeight);
    NewItalicLabel(this, row, alLeft, "min");
    NewItalicLabel(this, row, alRight, "max");
}

TKX3_Ruler* TKXBW3_SenseA::AddRuler(TWinControl* parent, int top) {
    auto* ruler = new TKX3_Ruler(this);
    ruler->SetParent(parent);
    ruler->SetBounds(0, top, parent->GetWidth(), kRulerHeight);
    ruler->SetAlign(alTop);
    ruler->SetBevelOuter(bvNone);
    ruler->SetMax(10);
    ruler->SetEndSize(0.2f);
    ruler->GetFont()->SetStyle(fsItalic);
    return ruler;
}

// A one-band graph between two spacers.
TKX3_Graph* TKXBW3_SenseA::AddGraph(TWinControl* parent, int top) {
    TPanel* row = NewRow(this, parent, top, kGraphRowHeight);
    for (TAlign side : {alLeft, alRight}) {
        auto* spacer = new TPanel(this);
        spacer->SetParent(row);
        spacer->SetBevelOuter(bvNone);
        spacer->SetWidth(kSpacerWidth);
        spacer->SetAlign(side);
    }
    auto* graph = new TKX3_Graph(this);
    graph->SetParent(row);
    graph->SetAlign(alClient);
    graph->SetMax(100);
    graph->SetLength(1);
    return graph;
}

void TKXBW3_SenseA::CreateLayout() {
    SetBounds(0, 0, 656, 398);

    GroupBox3 = NewGroup(this, this, 0, 100, "Sensitivity");
    AddMinMaxRow(GroupBox3, 0);
    FixedThreshold = NewTrackBar(this, GroupBox3, 20, 10, 500, 50);
    KX3_Ruler1 = AddRuler(GroupBox3, 52);

    GroupBox2 = NewGroup(this, this, 100, 134, "Activation Threshold");
    AddMinMaxRow(GroupBox2, 0);
    PressRatio = NewTrackBar(this, GroupBox2, 20, 0, 100, 10);
    KX3_Ruler2 = AddRuler(GroupBox2, 52);
    KX3_GraphPressThresh = AddGraph(GroupBox2, 77);

    GroupBox7 = NewGroup(this, this, 234, 100, "Applied Touch Level");
    AddMinMaxRow(GroupBox7, 0);
    KX3_GraphPressValue = AddGraph(GroupBox7, 20);
    KX3_Ruler3 = AddRuler(GroupBox7, 55);

    ChangeSettingsButton = NewButton(this, this, 80, "Change Settings");
    KeepChangesButton = NewButton(this, this, 264, "Keep Changes");
    DiscardChangesButton = NewButton(this, this, 448, "Discard Changes");

    // Events last, so that the stored positions above raise nothing.
    FixedThreshold->OnChange = Bind(this, &TKXBW3_SenseA::FixedThresholdChange);
    PressRatio->OnChange = Bind(this, &TKXBW3_SenseA::PressRatioChange);
    ChangeSettingsButton->OnClick = Bind(this, &TKXBW3_SenseA::ChangeSettingsButtonClick);
    KeepChangesButton->OnClick = Bind(this, &TKXBW3_SenseA::KeepChangesButtonClick);
    DiscardChangesButton->OnClick = Bind(this, &TKXBW3_SenseA::DiscardChangesButtonClick);
}
