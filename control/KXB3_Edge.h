// The frame of the "Edge Gain" tab: the driver's gain at each edge of the screen, 0 to 2, on
// four track bars laid out like the edges of a monitor. On every bar the "Max" end is the one
// nearest the edge it controls.
#pragma once

#include "store/ShareVarBase.h"
#include "store/ShareVarPoly.h"
#include "toolkit/Forms.h"

class TKXBW3_Edge : public tk::TFrame {
public:
    explicit TKXBW3_Edge(tk::TComponent* AOwner);

    // Per-tick step: brings the bars into line with the four gains.
    void SlowTick();

    void TopGainChange(tk::TObject* Sender);
    void BottomGainChange(tk::TObject* Sender);
    void LeftGainChange(tk::TObject* Sender);
    void RightGainChange(tk::TObject* Sender);
    // Places the four edge panels as a cross on a 21 x 21 grid over the group box.
    void FrameResize(tk::TObject* Sender);

    tk::TGroupBox* EdgeGroup;
    tk::TPanel* TopPanel;
    tk::TTrackBar* TopGain;
    tk::TPanel* BottomPanel;
    tk::TTrackBar* BottomGain;
    tk::TPanel* LeftPanel;
    tk::TTrackBar* LeftGain;
    tk::TPanel* RightPanel;
    tk::TTrackBar* RightGain;

private:
    void CreateLayout();
    tk::TTrackBar* AddVerticalEdge(tk::TPanel* panel, const char* caption, bool captionOnTop,
                                   const char* upperEnd, const char* lowerEnd, int storedPosition);
    tk::TTrackBar* AddHorizontalEdge(tk::TPanel* panel, const char* caption, const char* leftEnd,
                                     const char* rightEnd, int storedPosition);

    TShareVarPoly* itsShareVarPoly;
    TShareVarBase* itsTopGain;
    TShareVarBase* itsBottomGain;
    TShareVarBase* itsLeftGain;
    TShareVarBase* itsRightGain;
};
