// One band of a bar graph: a white face with a red vertical line at Position's place between
// Min and Max. A change of position draws at once (wipe the old line, draw the new one)
// instead of repainting the band, so a graph fed many values does not flicker.
#pragma once

#include "toolkit/ExtCtrls.h"

class TKX3_GraphItem : public tk::TCustomPanel {
public:
    explicit TKX3_GraphItem(tk::TComponent* AOwner);

    float GetMin() const { return itsMin; }
    void SetMin(float value);
    float GetMax() const { return itsMax; }
    void SetMax(float value);
    float GetPosition() const { return itsPosition; }
    // Moves the line; a change of less than 0.001 does nothing.
    void SetPosition(float value);

    // Whitens the face and draws the line at the current position.
    void ReDraw();
    // Draws the vertical line for position x in the colour.
    void Draw(float x, tk::TColor colour);

protected:
    void Paint() override;
    void Resize() override;

private:
    tk::TPaintBox* itsPaintBox;
    float itsMin = 0.0f;
    float itsMax = 100.0f;
    float itsPosition = 0.0f;
};
