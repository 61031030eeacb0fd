// A bar graph: a list of values, one per horizontal band stacked from top to bottom. Each band
// is a TKX3_GraphItem owned by the graph.
#pragma once

#include "toolkit/ExtCtrls.h"

#include <vector>

class TKX3_GraphItem;

class TKX3_Graph : public tk::TCustomPanel {
public:
    explicit TKX3_Graph(tk::TComponent* AOwner);

    // A change of less than 0.001 does nothing; otherwise every band takes the new bound.
    float GetMin() const { return itsMin; }
    void SetMin(float value);
    float GetMax() const { return itsMax; }
    void SetMax(float value);
    // The number of bands. Bands are removed from and added at the end; the others keep their
    // positions. A count below 1 empties the graph.
    int GetLength() const { return static_cast<int>(itsItems.size()); }
    void SetLength(int count);

    // Shows a batch of count values (values must hold at least count floats): the graph takes
    // count bands and moves their lines. A count of 0 leaves the graph as it was.
    void Input(tk::TObject* Sender, int count, const float* values);
    // Nothing to reset: the bands keep their values until the next batch.
    void Reset(tk::TObject* Sender);

protected:
    void Paint() override;
    void Resize() override;
    // Lays the bands out over the client area.
    void ReSize();

private:
    std::vector<TKX3_GraphItem*> itsItems;
    float itsMin = 0.0f;
    float itsMax = 100.0f;
};
