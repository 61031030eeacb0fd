// A touch target: a circle with a cross-hair (or a plain rectangle) in which a coloured ring
// grows or shrinks with Position, with lines of text centred over it and an optional picture
// behind. Every frame is drawn off-screen and copied to the face in one go, and the
// background is never erased, so the target does not flicker while its progress moves.
#pragma once

#include "toolkit/ExtCtrls.h"
#include "toolkit/Graphics.h"
#include "toolkit/Strings.h"

#include <memory>
#include <string>

enum TargetGaugeShapeType { tgst_Circle = 0, tgst_Rectangle = 1 };

class TKX3_TargetGauge : public tk::TCustomPanel {
public:
    explicit TKX3_TargetGauge(tk::TComponent* AOwner);

    int GetLineWidth() const { return itsLineWidth; }
    // A negative width is stored as 0.
    void SetLineWidth(int value);
    tk::TColor GetLineColour() const { return itsLineColour; }
    void SetLineColour(tk::TColor value);
    int GetMin() const { return itsMin; }
    void SetMin(int value);
    int GetMax() const { return itsMax; }
    void SetMax(int value);
    int GetPosition() const { return itsPosition; }
    // Moves the ring (always repaints, also for an unchanged value).
    void SetPosition(int value);
    // While set, the gauge shows exactly when Min <= Position <= Max.
    bool GetAutoHide() const { return itsAutoHide; }
    void SetAutoHide(bool value);
    // The ring shrinks (instead of growing) as Position goes up. Takes effect at the next paint.
    bool GetContract() const { return itsContract; }
    void SetContract(bool value) { itsContract = value; }
    TargetGaugeShapeType GetShape() const { return itsShape; }
    void SetShape(TargetGaugeShapeType value);
    // The bitmap file drawn stretched behind the target; a file that cannot be loaded leaves
    // the name empty, and the background falls back to Color.
    std::string GetPicture() const { return itsPicture; }
    void SetPicture(const std::string& fileName);
    // The gauge's own list: changes to it show at the next paint.
    tk::TStrings* GetCaptions() { return itsCaptions.get(); }
    // Copies the lines of captions (clears the list for nullptr) and repaints.
    void SetCaptions(const tk::TStrings* captions);

    // Draws one complete frame off-screen and copies it to the face.
    void DrawTarget();

protected:
    void Paint() override;
    void Resize() override;
    void DoAutoHide();
    void DoCaptionsChanged(tk::TObject* Sender);
    // A click anywhere on the face is the gauge's click.
    void DoClick(tk::TObject* Sender);

private:
    void DrawOutline(tk::TCanvas* canvas, int hw, int hh);
    void DrawShape(tk::TCanvas* canvas, const tk::TRect& box);

    std::unique_ptr<tk::TStringList> itsCaptions;
    std::unique_ptr<tk::TBitmap> itsPictureBitmap;
    std::unique_ptr<tk::TBitmap> itsBuffer;
    tk::TPaintBox* itsPaintBox;
    int itsLineWidth = 4;
    tk::TColor itsLineColour = tk::clRed;
    int itsMin = 0;
    int itsMax = 100;
    int itsPosition = 50;
    bool itsAutoHide = false;
    bool itsContract = false;
    TargetGaugeShapeType itsShape = tgst_Circle;
    std::string itsPicture;
};
