// Shows where the screen is touched: a white field on which each reported point is a dot, or
// with Trace on a line from the previous point. The point's type picks the colour. Points are
// drawn at once when they arrive, not through a repaint; a repaint keeps only the last dot.
#pragma once

#include "toolkit/ExtCtrls.h"

class TKX3_GaugeXY : public tk::TCustomPanel {
public:
    explicit TKX3_GaugeXY(tk::TComponent* AOwner);

    bool GetTrace() const { return itsTrace; }
    void SetTrace(bool value);

    // A new point: x and y as fractions of the client width and height (0 = left/top,
    // 1 = right/bottom). Type 0 is white (invisible), 1 green, 2 red, any other black.
    // A point with an infinite or undefined coordinate is ignored.
    void Input(tk::TObject* Sender, float x, float y, int type);
    // Forgets the point's type and repaints, which leaves a plain white field.
    void Clear(tk::TObject* Sender);

    // Whitens the field and draws the last point as a dot.
    void ReDraw();
    // The dot of a point.
    void Draw(float x, float y, int type);
    // The trace line between two points.
    void Draw(float x1, float y1, float x2, float y2, int type);

protected:
    void Paint() override;
    void Resize() override;

private:
    // Draws from client coordinates onto the paint box.
    void Stroke(int x1, int y1, int x2, int y2, int penWidth, int type);

    tk::TPaintBox* itsPaintBox;
    bool itsTrace = false;
    float itsLastX = 0.0f;
    float itsLastY = 0.0f;
    int itsLastType = 0;
};
