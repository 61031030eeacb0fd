#include "toolkit/ExtCtrls.h"

#include <QFontMetrics>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace tk {

namespace {

// Draws a 3D frame of the given width inside rect and shrinks rect by it: the top and left
// edges in topLeft, the bottom and right edges in bottomRight.
void Frame3D(TCanvas* canvas, TRect& rect, TColor topLeft, TColor bottomRight, int width) {
    TPen* pen = canvas->GetPen();
    pen->SetWidth(1);
    pen->SetStyle(psSolid);
    for (int i = 0; i < width && rect.Width() > 0 && rect.Height() > 0; ++i) {
        pen->SetColor(topLeft);
        canvas->MoveTo(rect.Left, rect.Bottom - 1);
        canvas->LineTo(rect.Left, rect.Top);
        canvas->LineTo(rect.Right - 1, rect.Top);
        pen->SetColor(bottomRight);
        canvas->LineTo(rect.Right - 1, rect.Bottom - 1);
        canvas->LineTo(rect.Left - 1, rect.Bottom - 1);
        rect = {rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
    }
}

void BevelColors(TBevelCut bevel, TColor& topLeft, TColor& bottomRight) {
    topLeft = bevel == bvLowered ? clBtnShadow : clBtnHighlight;
    bottomRight = bevel == bvLowered ? clBtnHighlight : clBtnShadow;
}

} // namespace

// ---- TCustomPanel ----

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    SetBounds(0, 0, 185, 41);
}

void TCustomPanel::SetBevelInner(TBevelCut bevel) {
    itsBevelInner = bevel;
    LayoutChanged();
}

void TCustomPanel::SetBevelOuter(TBevelCut bevel) {
    itsBevelOuter = bevel;
    LayoutChanged();
}

void TCustomPanel::SetBevelWidth(int width) {
    itsBevelWidth = std::max(1, width);
    LayoutChanged();
}

void TCustomPanel::SetBorderWidth(int width) {
    itsBorderWidth = std::max(0, width);
    LayoutChanged();
}

void TCustomPanel::SetBorderStyle(TBorderStyle style) {
    itsBorderStyle = style;
    LayoutChanged();
}

void TCustomPanel::SetAlignment(TAlignment alignment) {
    itsAlignment = alignment;
    Invalidate();
}

void TCustomPanel::LayoutChanged() {
    Realign();
    Invalidate();
}

int TCustomPanel::BorderExtent() const {
    int extent = itsBorderWidth;
    if (itsBevelOuter != bvNone) {
        extent += itsBevelWidth;
    }
    if (itsBevelInner != bvNone) {
        extent += itsBevelWidth;
    }
    if (itsBorderStyle == bsSingle) {
        extent += 1;
    }
    return extent;
}

void TCustomPanel::AdjustClientRect(TRect& rect) const {
    const int extent = BorderExtent();
    rect = {rect.Left + extent, rect.Top + extent, rect.Right - extent, rect.Bottom - extent};
}

void TCustomPanel::FontChanged() {
    TCustomControl::FontChanged();
    Invalidate();
}

void TCustomPanel::ColorChanged() {
    TCustomControl::ColorChanged();
    Invalidate();
}

// Frame, bevels, background, then the caption centred; the canvas is left with the panel's
// font and a clear brush.
void TCustomPanel::Paint() {
    TCanvas* canvas = GetCanvas();
    TRect rect = GetClientRect();
    if (itsBorderStyle == bsSingle) {
        Frame3D(canvas, rect, clBlack, clBlack, 1);
    }
    TColor topLeft = clBtnHighlight;
    TColor bottomRight = clBtnShadow;
    if (itsBevelOuter != bvNone) {
        BevelColors(itsBevelOuter, topLeft, bottomRight);
        Frame3D(canvas, rect, topLeft, bottomRight, itsBevelWidth);
    }
    Frame3D(canvas, rect, GetColor(), GetColor(), itsBorderWidth);
    if (itsBevelInner != bvNone) {
        BevelColors(itsBevelInner, topLeft, bottomRight);
        Frame3D(canvas, rect, topLeft, bottomRight, itsBevelWidth);
    }
    canvas->GetPen()->SetColor(clBlack);
    canvas->GetBrush()->SetColor(GetColor());
    canvas->FillRect(rect);
    canvas->GetBrush()->SetStyle(bsClear);
    canvas->SetFont(GetFont());
    const std::string& caption = GetCaption();
    if (!caption.empty()) {
        const TSize size = canvas->TextExtent(caption);
        int x = rect.Left + (rect.Width() - size.cx) / 2;
        if (itsAlignment == taLeftJustify) {
            x = rect.Left;
        } else if (itsAlignment == taRightJustify) {
            x = rect.Right - size.cx;
        }
        canvas->TextOut(x, rect.Top + (rect.Height() - size.cy) / 2, caption);
    }
}

// ---- TPaintBox ----

TPaintBox::TPaintBox(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetBounds(0, 0, 105, 105);
}

void TPaintBox::Paint() {
    if (OnPaint) {
        OnPaint(this);
    }
}

// ---- TImage ----

TImage::TImage(TComponent* AOwner)
    : TGraphicControl(AOwner), itsPicture(std::make_unique<TPicture>()) {
    itsPicture->OnChange = [this](TObject*) { Invalidate(); };
    SetBounds(0, 0, 105, 105);
}

TImage::~TImage() = default;

void TImage::SetStretch(bool stretch) {
    itsStretch = stretch;
    Invalidate();
}

void TImage::SetCenter(bool center) {
    itsCenter = center;
    Invalidate();
}

void TImage::SetTransparent(bool transparent) {
    itsTransparent = transparent;
    Invalidate();
}

void TImage::Paint() {
    // Where the picture does not reach (or is cut out), the parent shows through.
    GetCanvas()->Image()->fill(Qt::transparent);
    TBitmap* bitmap = itsPicture->GetBitmap();
    if (bitmap->Empty()) {
        return;
    }
    const bool wasTransparent = bitmap->GetTransparent();
    bitmap->SetTransparent(itsTransparent);
    TCanvas* canvas = GetCanvas();
    if (itsStretch) {
        canvas->StretchDraw(GetClientRect(), bitmap);
    } else if (itsCenter) {
        canvas->Draw((GetClientWidth() - bitmap->GetWidth()) / 2,
                     (GetClientHeight() - bitmap->GetHeight()) / 2, bitmap);
    } else {
        canvas->Draw(0, 0, bitmap);
    }
    bitmap->SetTransparent(wasTransparent);
}

// ---- TTimer ----

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner), itsTimer(std::make_unique<QTimer>()) {
    QObject::connect(itsTimer.get(), &QTimer::timeout,
                     [this] { CallGuarded([this] { Timer(); }); });
    UpdateTimer();
}

TTimer::~TTimer() {
    // The timer may be going from inside its own tick: let Qt delete the QTimer afterwards.
    itsTimer->stop();
    QObject::disconnect(itsTimer.get(), nullptr, nullptr, nullptr);
    itsTimer.release()->deleteLater();
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled != itsEnabled) {
        itsEnabled = enabled;
        UpdateTimer();
    }
}

void TTimer::SetInterval(unsigned interval) {
    if (interval != itsInterval) {
        itsInterval = interval;
        UpdateTimer();
    }
}

void TTimer::UpdateTimer() {
    itsTimer->stop();
    if (itsEnabled && itsInterval > 0) {
        itsTimer->start(static_cast<int>(itsInterval));
    }
}

void TTimer::Timer() {
    if (OnTimer) {
        // A copy, so that a handler may destroy the timer (and with it OnTimer) as it runs.
        const TNotifyEvent handler = OnTimer;
        handler(this);
    }
}

// ---- TCustomRadioGroup ----

TCustomRadioGroup::TCustomRadioGroup(TComponent* AOwner) : TCustomGroupBox(AOwner) {
    itsItems.OnChange = [this](TObject*) { ItemsChanged(); };
}

TCustomRadioGroup::~TCustomRadioGroup() {
    itsItems.OnChange = nullptr;
}

void TCustomRadioGroup::SetItemIndex(int index) {
    index = std::clamp(index, -1, static_cast<int>(itsButtons.size()) - 1);
    if (index == itsItemIndex) {
        return;
    }
    if (itsItemIndex >= 0) {
        itsButtons[static_cast<size_t>(itsItemIndex)]->SetChecked(false);
    }
    itsItemIndex = index;
    if (index >= 0) {
        // Checking the button raises its click, which the group passes on as its own.
        itsButtons[static_cast<size_t>(index)]->SetChecked(true);
    }
}

void TCustomRadioGroup::SetColumns(int columns) {
    columns = std::clamp(columns, 1, 16);
    if (columns != itsColumns) {
        itsColumns = columns;
        ArrangeButtons();
    }
}

// One button per item; the selection stays on its index while that still exists, silently.
void TCustomRadioGroup::ItemsChanged() {
    const size_t count = static_cast<size_t>(itsItems.GetCount());
    while (itsButtons.size() > count) {
        delete itsButtons.back();
        itsButtons.pop_back();
    }
    while (itsButtons.size() < count) {
        auto* button = new TRadioButton(this);
        button->SetParent(this);
        button->OnClick = [this](TObject* sender) { ButtonClicked(sender); };
        itsButtons.push_back(button);
    }
    if (itsItemIndex >= static_cast<int>(count)) {
        itsItemIndex = static_cast<int>(count) - 1;
    }
    itsUpdating = true;
    for (size_t i = 0; i < count; ++i) {
        itsButtons[i]->SetCaption(itsItems.GetString(static_cast<int>(i)));
        itsButtons[i]->SetChecked(static_cast<int>(i) == itsItemIndex);
    }
    itsUpdating = false;
    ArrangeButtons();
}

void TCustomRadioGroup::ButtonClicked(TObject* sender) {
    if (itsUpdating) {
        return;
    }
    auto it = std::find(itsButtons.begin(), itsButtons.end(), sender);
    if (it == itsButtons.end()) {
        return;
    }
    itsItemIndex = static_cast<int>(it - itsButtons.begin());
    Click();
}

// The buttons fill the box in columns, top to bottom, under the caption.
void TCustomRadioGroup::ArrangeButtons() {
    if (itsButtons.empty()) {
        return;
    }
    const int count = static_cast<int>(itsButtons.size());
    const int perColumn = (count + itsColumns - 1) / itsColumns;
    const int textHeight = QFontMetrics(GetFont()->ToQFont()).height();
    const int buttonWidth = (GetWidth() - 10) / itsColumns;
    const int space = GetHeight() - textHeight - 5;
    const int buttonHeight = std::max(1, space / perColumn);
    const int topMargin = textHeight + 1 + (space % perColumn) / 2;
    for (int i = 0; i < count; ++i) {
        itsButtons[static_cast<size_t>(i)]->SetBounds((i / perColumn) * buttonWidth + 8,
                                                      (i % perColumn) * buttonHeight + topMargin,
                                                      buttonWidth, buttonHeight);
    }
}

void TCustomRadioGroup::Resize() {
    ArrangeButtons();
    TCustomGroupBox::Resize();
}

void TCustomRadioGroup::FontChanged() {
    TCustomGroupBox::FontChanged();
    ArrangeButtons();
}

} // namespace tk
