#include "toolkit/Buttons.h"

namespace tk {

namespace {

void Edge(TCanvas* canvas, const TRect& r, TColor topLeft, TColor bottomRight) {
    TPen* pen = canvas->GetPen();
    pen->SetWidth(1);
    pen->SetColor(topLeft);
    canvas->MoveTo(r.Left, r.Bottom - 1);
    canvas->LineTo(r.Left, r.Top);
    canvas->LineTo(r.Right - 1, r.Top);
    pen->SetColor(bottomRight);
    canvas->LineTo(r.Right - 1, r.Bottom - 1);
    canvas->LineTo(r.Left - 1, r.Bottom - 1);
}

} // namespace

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetBounds(0, 0, 23, 22);
}

void TSpeedButton::SetFlat(bool flat) {
    itsFlat = flat;
    Invalidate();
}

void TSpeedButton::SetDown(bool down) {
    if (down != itsDown) {
        itsDown = down;
        Invalidate();
    }
}

// The face: background, raised edge (sunken while pressed or down), then glyph and caption
// centred as one row. The canvas is left with the button's font and a clear brush.
void TSpeedButton::Paint() {
    TCanvas* canvas = GetCanvas();
    const TRect rect = GetClientRect();
    const bool sunk = itsPressed || itsDown;
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->GetBrush()->SetColor(GetColor());
    canvas->FillRect(rect);
    if (!itsFlat || sunk) {
        Edge(canvas, rect, sunk ? clBtnShadow : clBtnHighlight,
             sunk ? clBtnHighlight : clBtnShadow);
    }
    const int shift = sunk ? 1 : 0;
    canvas->SetFont(GetFont());
    canvas->GetBrush()->SetStyle(bsClear);
    const std::string& caption = GetCaption();
    const TSize text = caption.empty() ? TSize{} : canvas->TextExtent(caption);
    const int glyphWidth = itsGlyph.Empty() ? 0 : itsGlyph.GetWidth();
    const int gap = glyphWidth > 0 && text.cx > 0 ? 4 : 0;
    int x = (rect.Width() - glyphWidth - gap - text.cx) / 2 + shift;
    if (glyphWidth > 0) {
        canvas->Draw(x, (rect.Height() - itsGlyph.GetHeight()) / 2 + shift, &itsGlyph);
        x += glyphWidth + gap;
    }
    if (!caption.empty()) {
        canvas->TextOut(x, (rect.Height() - text.cy) / 2 + shift, caption);
    }
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft) {
        itsPressed = true;
        Invalidate();
    }
    TGraphicControl::MouseDown(button, shift, x, y);
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft && itsPressed) {
        itsPressed = false;
        Invalidate();
    }
    TGraphicControl::MouseUp(button, shift, x, y);
}

} // namespace tk
