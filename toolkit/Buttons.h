// The speed button: a flat-faced button painted on its own canvas, clicked with the mouse.
#pragma once

#include "toolkit/Controls.h"

namespace tk {

class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* AOwner);

    bool GetFlat() const { return itsFlat; }
    void SetFlat(bool flat);
    // A button that is Down shows sunk until Down is cleared.
    bool GetDown() const { return itsDown; }
    void SetDown(bool down);
    // A picture drawn left of the caption (nothing when empty).
    TBitmap* GetGlyph() { return &itsGlyph; }

protected:
    // Paints the face: background, raised or sunken edge, glyph and Caption centred.
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void CaptionChanged() override { Invalidate(); }

private:
    bool itsFlat = false;
    bool itsDown = false;
    bool itsPressed = false;
    TBitmap itsGlyph;
};

} // namespace tk
