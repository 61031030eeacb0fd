// The "Graph" page: two live sensor graphs side by side, each fed from the driver's "Diff"
// values of its section ("Grapher0" left, "Grapher1" right) whenever the driver announces a
// new "Length".
#pragma once

#include "components/KX3_Graph.h"
#include "store/ShareVarBase.h"
#include "store/ShareVarPoly.h"
#include "toolkit/Forms.h"

class TKXBW3_Graph : public tk::TFrame {
public:
    // A graph shows at most this many values, although "Diff" holds 66.
    static constexpr int kMaxValues = 64;

    explicit TKXBW3_Graph(tk::TComponent* AOwner);
    ~TKXBW3_Graph() override;

    void DoLength0Change(tk::TObject* Sender);
    void DoLength1Change(tk::TObject* Sender);
    // Reads "Length" values of "Diff" (the first 64 when there are more) and shows them on
    // graph index 0 (left) or any other index (right), while the page is enabled.
    void PlotGraph(int index, TShareVarBase* length, TShareVarBase* values);
    void FrameResize(tk::TObject* Sender);

    TKX3_Graph* KX3_Graph1;
    TKX3_Graph* KX3_Graph2;

private:
    void CreateLayout();
    void CreateVariables();

    TShareVarPoly* itsShareVarPoly;
    TShareVarBase* itsLength0;
    TShareVarBase* itsDiff0;
    TShareVarBase* itsLength1;
    TShareVarBase* itsDiff1;
};
