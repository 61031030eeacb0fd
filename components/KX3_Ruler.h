// A strip of integer scale numbers from Min at the left to Max at the right, placed under a
// track bar as its scale. The first and last numbers sit EndSize spacings in from the ends.
#pragma once

#include "toolkit/ExtCtrls.h"

class TKX3_Ruler : public tk::TCustomPanel {
public:
    explicit TKX3_Ruler(tk::TComponent* AOwner);

    int GetMin() const { return itsMin; }
    void SetMin(int value);
    int GetMax() const { return itsMax; }
    void SetMax(int value);
    // Stored and repainted; the numbers are drawn the same either way.
    bool GetShowTick() const { return itsShowTick; }
    void SetShowTick(bool value);
    // "+" before positive numbers.
    bool GetShowPlus() const { return itsShowPlus; }
    void SetShowPlus(bool value);
    // "-" before negative numbers; without it they show as their magnitude.
    bool GetShowMinus() const { return itsShowMinus; }
    void SetShowMinus(bool value);
    // The inset of the first and last number as a fraction of the spacing, clamped to 0..1.
    float GetEndSize() const { return itsEndSize; }
    void SetEndSize(float value);

protected:
    void Paint() override;
    void Resize() override;
    void DoPaint();
    void DoPaintNumber(int value, float x);

private:
    tk::TPaintBox* itsPaintBox;
    int itsMin = 0;
    int itsMax = 10;
    bool itsShowTick = false;
    bool itsShowPlus = false;
    bool itsShowMinus = false;
    float itsEndSize = 0.5f;
};
