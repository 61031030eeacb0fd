// The edge gain frame's components and their properties.
#include "control/KXB3_Edge.h"

using namespace tk;

namespace {

constexpr int kEndColumnWidth = 40;
constexpr int kCaptionRowHeight = 24;

TLabel* NewLabel(TComponent* owner, TWinControl* parent, TAlign align, const char* caption,
                 bool italic) {
    auto* label = new TLabel(owner);
    label->SetParent(parent);
    label->SetAutoSize(false);
    label->SetHeight(kCaptionRowHeight / 2 + 4);
    label->SetWidth(kEndColumnWidth);
    label->SetAlign(align);
    label->SetAlignment(taCenter);
    label->SetLayout(tlCenter);
    if (italic)
        label->GetFont()->SetStyle(fsItalic);
    label->SetCaption(caption);
    return label;
}

TPanel* NewPanel(TComponent* owner, TWinControl* parent, TAlign align, int size) {
    auto* panel = new TPanel(owner);
    panel->SetParent(parent);
    panel->SetBevelOuter(bvNone);
    if (align == alLeft || align == alRight)
        panel->SetWidth(size);
    else
        panel->SetHeight(size);
    panel->SetAlign(align);
    return panel;
}

TTrackBar* NewGainBar(TComponent* owner, TWinControl* parent, TTrackBarOrientation orientation,
                      int position) {
    auto* bar = new TTrackBar(owner);
    bar->SetParent(parent);
    bar->SetOrientation(orientation);
    bar->SetMin(0);
    bar->SetMax(100);
    bar->SetPosition(position);
    bar->SetPageSize(1);
    bar->SetFrequency(1);
    bar->SetTickStyle(tsNone);
    bar->SetAlign(alClient);
    return bar;
}

} // namespace

// The edge's caption above or below a row of the end labels' column and the vertical bar.
TTrackBar* TKXBW3_Edge::AddVerticalEdge(TPanel* panel, const char* caption, bool captionOnTop,
                                        const char* upperEnd, const char* lowerEnd,
                                        int storedPosition) {
    TLabel* name = NewLabel(this, panel, captionOnTop ? alTop : alBottom, caption, false);
    name->SetHeight(kCaptionRowHeight);
    TPanel* row = NewPanel(this, panel, alClient, 0);
    TPanel* ends = NewPanel(this, row, alLeft, kEndColumnWidth);
    NewLabel(this, ends, alTop, upperEnd, true);
    NewLabel(this, ends, alBottom, lowerEnd, true);
    return NewGainBar(this, row, trVertical, storedPosition);
}

// A row of the two end labels around the edge's caption, above the horizontal bar.
TTrackBar* TKXBW3_Edge::AddHorizontalEdge(TPanel* panel, const char* caption, const char* leftEnd,
                                          const char* rightEnd, int storedPosition) {
    TPanel* row = NewPanel(this, panel, alTop, kCaptionRowHeight);
    NewLabel(this, row, alLeft, leftEnd, true);
    NewLabel(this, row, alRight, rightEnd, true);
    NewLabel(this, row, alClient, caption, false);
    return NewGainBar(this, panel, trHorizontal, storedPosition);
}

void TKXBW3_Edge::CreateLayout() {
    SetBounds(0, 0, 594, 454);

    EdgeGroup = new TGroupBox(this);
    EdgeGroup->SetParent(this);
    EdgeGroup->SetAlign(alClient);
    EdgeGroup->SetCaption("Edge Gain");

    auto newEdgePanel = [this]() {
        auto* panel = new TPanel(this);
        panel->SetParent(EdgeGroup);
        return panel;
    };
    TopPanel = newEdgePanel();
    TopGain = AddVerticalEdge(TopPanel, "Top of Monitor", true, "Max", "Min", 100);
    BottomPanel = newEdgePanel();
    BottomGain = AddVerticalEdge(BottomPanel, "Bottom of Monitor", false, "Min", "Max", 0);
    LeftPanel = newEdgePanel();
    LeftGain = AddHorizontalEdge(LeftPanel, "Left of Monitor", "Max", "Min", 100);
    RightPanel = newEdgePanel();
    RightGain = AddHorizontalEdge(RightPanel, "Right of Monitor", "Min", "Max", 0);

    // The stored positions all stand for gain 0. Events last, so that they raise nothing.
    TopGain->OnChange = Bind(this, &TKXBW3_Edge::TopGainChange);
    BottomGain->OnChange = Bind(this, &TKXBW3_Edge::BottomGainChange);
    LeftGain->OnChange = Bind(this, &TKXBW3_Edge::LeftGainChange);
    RightGain->OnChange = Bind(this, &TKXBW3_Edge::RightGainChange);
    OnResize = Bind(this, &TKXBW3_Edge::FrameResize);
    FrameResize(this);
}
