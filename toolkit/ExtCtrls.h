// Panels, paint boxes, images, timers and radio groups.
#pragma once

#include "toolkit/Controls.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/Strings.h"

#include <memory>
#include <vector>

class QTimer;

namespace tk {

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
// Border styles of panels and forms.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;

// A panel paints its background in Color, its bevels (outer, then inner, each BevelWidth
// wide, BorderWidth apart) and its Caption centred. Aligned children share the area inside
// the border and bevels.
class TCustomPanel : public TCustomControl {
public:
    explicit TCustomPanel(TComponent* AOwner);

    TBevelCut GetBevelInner() const { return itsBevelInner; }
    void SetBevelInner(TBevelCut bevel);
    TBevelCut GetBevelOuter() const { return itsBevelOuter; }
    void SetBevelOuter(TBevelCut bevel);
    int GetBevelWidth() const { return itsBevelWidth; }
    void SetBevelWidth(int width);
    int GetBorderWidth() const { return itsBorderWidth; }
    void SetBorderWidth(int width);
    // bsSingle adds a one-pixel black frame around the panel.
    TBorderStyle GetBorderStyle() const { return itsBorderStyle; }
    void SetBorderStyle(TBorderStyle style);
    TAlignment GetAlignment() const { return itsAlignment; }
    void SetAlignment(TAlignment alignment);

protected:
    void Paint() override;
    void AdjustClientRect(TRect& rect) const override;
    void CaptionChanged() override { Invalidate(); }
    void FontChanged() override;
    void ColorChanged() override;
    // The width of border, bevels and frame together, on each side.
    int BorderExtent() const;

private:
    void LayoutChanged();

    TBevelCut itsBevelInner = bvNone;
    TBevelCut itsBevelOuter = bvRaised;
    int itsBevelWidth = 1;
    int itsBorderWidth = 0;
    TBorderStyle itsBorderStyle = bsNone;
    TAlignment itsAlignment = taCenter;
};

class TPanel : public TCustomPanel {
public:
    using TCustomPanel::TCustomPanel;
};

// A plain drawing surface: Paint raises OnPaint, drawing on the canvas shows at once.
class TPaintBox : public TGraphicControl {
public:
    explicit TPaintBox(TComponent* AOwner);

    TNotifyEvent OnPaint;

protected:
    void Paint() override;
};

// Shows a picture, at its own size from the top-left corner, centred (Center) or scaled
// to the whole control (Stretch); with Transparent the bitmap's transparent colour is cut out.
class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;

    TPicture* GetPicture() { return itsPicture.get(); }
    bool GetStretch() const { return itsStretch; }
    void SetStretch(bool stretch);
    bool GetCenter() const { return itsCenter; }
    void SetCenter(bool center);
    bool GetTransparent() const { return itsTransparent; }
    void SetTransparent(bool transparent);
    // Redraws after the picture's bitmap was changed directly.
    void PictureChanged() { Invalidate(); }

protected:
    void Paint() override;

private:
    std::unique_ptr<TPicture> itsPicture;
    bool itsStretch = false;
    bool itsCenter = false;
    bool itsTransparent = false;
};

// Raises OnTimer every Interval milliseconds while Enabled, also during modal displays.
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    bool GetEnabled() const { return itsEnabled; }
    void SetEnabled(bool enabled);
    unsigned GetInterval() const { return itsInterval; }
    // An interval of 0 stops the timer.
    void SetInterval(unsigned interval);

    TNotifyEvent OnTimer;

protected:
    // Raises OnTimer.
    virtual void Timer();

private:
    void UpdateTimer();

    std::unique_ptr<QTimer> itsTimer;
    bool itsEnabled = true;
    unsigned itsInterval = 1000;
};

// A group box of radio buttons, one per line of Items, in Columns columns. ItemIndex is
// clamped to -1..Count-1; moving the selection to an item (by the user or by SetItemIndex)
// raises OnClick; an unchanged value or -1 raises nothing.
class TCustomRadioGroup : public TCustomGroupBox {
public:
    explicit TCustomRadioGroup(TComponent* AOwner);
    ~TCustomRadioGroup() override;

    TStrings* GetItems() { return &itsItems; }
    int GetItemIndex() const { return itsItemIndex; }
    void SetItemIndex(int index);
    int GetColumns() const { return itsColumns; }
    void SetColumns(int columns);
    // The radio button of one item (for tests).
    TRadioButton* GetButton(int index) const { return itsButtons.at(index); }

protected:
    void Resize() override;
    void FontChanged() override;

private:
    void ItemsChanged();
    void ArrangeButtons();
    void ButtonClicked(TObject* sender);

    TStringList itsItems;
    std::vector<TRadioButton*> itsButtons;
    int itsItemIndex = -1;
    int itsColumns = 1;
    bool itsUpdating = false;
};

class TRadioGroup : public TCustomRadioGroup {
public:
    using TCustomRadioGroup::TCustomRadioGroup;
};

} // namespace tk
