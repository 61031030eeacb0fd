#include "control/KXB3_Edge.h"

#include "control/KXB3_Mapping.h"

using namespace tk;

namespace {

// Top and left bars run from gain 2 at position 0 to gain 0 at 100; bottom and right bars the
// other way round.
int FallingPosition(float gain) {
    return FloorPosition(MapRange(gain, 0, 2, 100, 0));
}

int RisingPosition(float gain) {
    return FloorPosition(MapRange(gain, 0, 2, 0, 100));
}

float FallingGain(int position) {
    return MapRange(CentrePosition(position), 0, 100, 2, 0);
}

float RisingGain(int position) {
    return MapRange(CentrePosition(position), 0, 100, 0, 2);
}

void MoveBar(TTrackBar* bar, int position) {
    if (position != bar->GetPosition())
        bar->SetPosition(position);
}

} // namespace

TKXBW3_Edge::TKXBW3_Edge(TComponent* AOwner) : TFrame(AOwner) {
    CreateLayout();
    itsShareVarPoly = new TShareVarPoly(this);
    itsTopGain = itsShareVarPoly->AddItem("Edge", "TopGain", "Float", 1, {}, {}, false);
    itsBottomGain = itsShareVarPoly->AddItem("Edge", "BottomGain", "Float", 1, {}, {}, false);
    itsLeftGain = itsShareVarPoly->AddItem("Edge", "LeftGain", "Float", 1, {}, {}, false);
    itsRightGain = itsShareVarPoly->AddItem("Edge", "RightGain", "Float", 1, {}, {}, false);
}

// All four positions are taken before any bar moves, since a moving bar writes its gain.
void TKXBW3_Edge::SlowTick() {
    const int top = FallingPosition(itsTopGain->GetValueFloat());
    const int bottom = RisingPosition(itsBottomGain->GetValueFloat());
    const int left = FallingPosition(itsLeftGain->GetValueFloat());
    const int right = RisingPosition(itsRightGain->GetValueFloat());
    MoveBar(TopGain, top);
    MoveBar(BottomGain, bottom);
    MoveBar(LeftGain, left);
    MoveBar(RightGain, right);
}

void TKXBW3_Edge::TopGainChange(TObject* /*Sender*/) {
    itsTopGain->SetValueFloat(FallingGain(TopGain->GetPosition()));
}

void TKXBW3_Edge::BottomGainChange(TObject* /*Sender*/) {
    itsBottomGain->SetValueFloat(RisingGain(BottomGain->GetPosition()));
}

void TKXBW3_Edge::LeftGainChange(TObject* /*Sender*/) {
    itsLeftGain->SetValueFloat(FallingGain(LeftGain->GetPosition()));
}

void TKXBW3_Edge::RightGainChange(TObject* /*Sender*/) {
    itsRightGain->SetValueFloat(RisingGain(RightGain->GetPosition()));
}

void TKXBW3_Edge::FrameResize(TObject* /*Sender*/) {
    const int u = EdgeGroup->GetWidth() / 21;
    const int v = EdgeGroup->GetHeight() / 21;
    TopPanel->SetBounds(9 * u, v, 3 * u, 8 * v);
    BottomPanel->SetBounds(9 * u, 12 * v, 3 * u, 8 * v);
    LeftPanel->SetBounds(u, 9 * v, 6 * u, 3 * v);
    RightPanel->SetBounds(14 * u, 9 * v, 6 * u, 3 * v);
}
