// Drawing: colours, fonts, pens, brushes, the canvas with pixel-exact drawing rules, bitmaps,
// pictures and icons.
//
// Canvas rules (antialiasing is always off, so every pixel is exact):
// - MoveTo/LineTo: the end point of a line is not drawn. A stroke of length zero with a pen
//   wider than 1 draws a round dot of the pen's width centred on the point.
// - Rectangle/Ellipse(x1, y1, x2, y2): the shape's box covers x1..x2-1 and y1..y2-1 (right and
//   bottom exclusive); the outline uses the pen, the inside the brush (nothing with bsClear).
// - FillRect covers the rectangle (right and bottom exclusive) with the brush.
// - TextOut draws the text's box with the brush colour first when the brush is solid, so the
//   text is opaque; with bsClear only the glyphs are drawn.
#pragma once

#include "toolkit/Classes.h"

#include <cstdint>
#include <memory>
#include <string>

class QImage;
class QIcon;
class QFont;
class QColor;

namespace tk {

// A colour as 0x00BBGGRR.
using TColor = uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
// The desktop's theme colours, fixed here so drawings are the same everywhere.
constexpr TColor clBtnFace = 0xF0F0F0;
constexpr TColor clBtnHighlight = 0xFFFFFF;
constexpr TColor clBtnShadow = 0xA0A0A0;
constexpr TColor clBtnText = 0x000000;
constexpr TColor clWindow = 0xFFFFFF;
constexpr TColor clWindowText = 0x000000;

constexpr TColor RGB(int r, int g, int b) {
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(TColor c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GetGValue(TColor c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int GetBValue(TColor c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

struct TPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    bool operator==(const TSize&) const = default;
};

// A rectangle whose Right and Bottom are exclusive.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TRect&) const = default;
};

inline TRect Rect(int left, int top, int right, int bottom) {
    return {left, top, right, bottom};
}
inline TPoint Point(int x, int y) {
    return {x, y};
}

// Font styles, combined with |.
using TFontStyles = unsigned;
constexpr TFontStyles fsBold = 1;
constexpr TFontStyles fsItalic = 2;
constexpr TFontStyles fsUnderline = 4;
constexpr TFontStyles fsStrikeOut = 8;

// A font. Height is the character height in pixels given negative (the usual form, e.g. -11),
// Size is in points (96 pixels to the inch); setting one sets the other.
class TFont : public TObject {
public:
    TFont();
    ~TFont() override;

    const std::string& GetName() const { return itsName; }
    void SetName(const std::string& name);
    int GetHeight() const { return itsHeight; }
    void SetHeight(int height);
    int GetSize() const;
    void SetSize(int points);
    TFontStyles GetStyle() const { return itsStyle; }
    void SetStyle(TFontStyles style);
    TColor GetColor() const { return itsColor; }
    void SetColor(TColor color);
    void Assign(const TFont* source);

    // Raised after every change.
    TNotifyEvent OnChange;

    // The Qt font for this description (no antialiasing).
    QFont ToQFont() const;

private:
    void Changed();

    std::string itsName = "MS Sans Serif";
    int itsHeight = -11;
    TFontStyles itsStyle = 0;
    TColor itsColor = clWindowText;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };

class TPen : public TObject {
public:
    TColor GetColor() const { return itsColor; }
    void SetColor(TColor color) { itsColor = color; }
    int GetWidth() const { return itsWidth; }
    // Widths below 1 draw as 1.
    void SetWidth(int width) { itsWidth = width; }
    TPenStyle GetStyle() const { return itsStyle; }
    void SetStyle(TPenStyle style) { itsStyle = style; }
    void Assign(const TPen* source);

private:
    TColor itsColor = clBlack;
    int itsWidth = 1;
    TPenStyle itsStyle = psSolid;
};

enum TBrushStyle { bsSolid, bsClear };

class TBrush : public TObject {
public:
    TColor GetColor() const { return itsColor; }
    // Setting a colour makes a clear brush solid again.
    void SetColor(TColor color);
    TBrushStyle GetStyle() const { return itsStyle; }
    void SetStyle(TBrushStyle style) { itsStyle = style; }
    void Assign(const TBrush* source);

private:
    TColor itsColor = clWhite;
    TBrushStyle itsStyle = bsSolid;
};

class TBitmap;

// Draws on an image owned by someone else (a bitmap or a control's backing image).
class TCanvas : public TObject {
public:
    TCanvas();
    ~TCanvas() override;

    TPen* GetPen() { return &itsPen; }
    TBrush* GetBrush() { return &itsBrush; }
    TFont* GetFont() { return &itsFont; }
    void SetFont(const TFont* font) { itsFont.Assign(font); }
    TPoint GetPenPos() const { return itsPenPos; }
    void SetPenPos(TPoint p) { itsPenPos = p; }

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    void FillRect(const TRect& r);
    // A one-pixel frame in the brush colour.
    void FrameRect(const TRect& r);
    void TextOut(int x, int y, const std::string& text);
    int TextWidth(const std::string& text);
    int TextHeight(const std::string& text);
    TSize TextExtent(const std::string& text);
    // Draws the whole bitmap scaled into the rectangle.
    void StretchDraw(const TRect& dest, const TBitmap* bitmap);
    void Draw(int x, int y, const TBitmap* bitmap);
    // Copies the source rectangle of another canvas, scaled into dest.
    void CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect);
    TColor GetPixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);
    TRect GetClipRect() const;

    // Binds the canvas to its image; onChanged runs after each drawing operation.
    void Attach(QImage* image, std::function<void()> onChanged = {});
    QImage* Image() const { return itsImage; }

private:
    void Changed();
    void PlotLine(int x0, int y0, int x1, int y1);
    void Dot(int cx, int cy, int width);

    QImage* itsImage = nullptr;
    std::function<void()> itsOnChanged;
    TPen itsPen;
    TBrush itsBrush;
    TFont itsFont;
    TPoint itsPenPos;
};

// An image in memory with its own canvas. LoadFromFile reads Windows bitmap (.bmp) files and
// raises tk::Exception on any failure, leaving the bitmap as it was.
class TBitmap : public TObject {
public:
    TBitmap();
    ~TBitmap() override;

    int GetWidth() const;
    int GetHeight() const;
    void SetWidth(int width);
    void SetHeight(int height);
    void SetSize(int width, int height);
    bool Empty() const;
    TCanvas* GetCanvas() { return &itsCanvas; }
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;
    void Assign(const TBitmap* source);
    // When Transparent is set, pixels of TransparentColor are not drawn by StretchDraw/Draw.
    // The transparent colour defaults to the bottom-left pixel.
    bool GetTransparent() const { return itsTransparent; }
    void SetTransparent(bool transparent) { itsTransparent = transparent; }
    TColor GetTransparentColor() const;
    void SetTransparentColor(TColor color);

    QImage& Image() { return *itsImage; }
    const QImage& Image() const { return *itsImage; }
    // The image as drawn: with the transparent colour cut out when Transparent is set.
    QImage DrawableImage() const;

private:
    std::unique_ptr<QImage> itsImage;
    TCanvas itsCanvas;
    bool itsTransparent = false;
    bool itsHasTransparentColor = false;
    TColor itsTransparentColor = clBlack;
};

// A picture as images hold it: a bitmap.
class TPicture : public TObject {
public:
    TBitmap* GetBitmap() { return &itsBitmap; }
    // Raises tk::Exception when the file cannot be read as a bitmap.
    void LoadFromFile(const std::string& fileName);
    void Assign(const TBitmap* bitmap);
    int GetWidth() const { return itsBitmap.GetWidth(); }
    int GetHeight() const { return itsBitmap.GetHeight(); }

    TNotifyEvent OnChange;

private:
    void Changed();

    TBitmap itsBitmap;
};

// A window icon.
class TIcon : public TObject {
public:
    TIcon();
    ~TIcon() override;
    // Any image format Qt reads; raises tk::Exception on failure.
    void LoadFromFile(const std::string& fileName);
    void Assign(const TIcon* source);
    bool Empty() const;
    const QIcon& Icon() const { return *itsIcon; }
    void SetIcon(const QIcon& icon);

    TNotifyEvent OnChange;

private:
    std::unique_ptr<QIcon> itsIcon;
};

// Colour conversions for the widgets.
QColor ToQColor(TColor color);
TColor FromQColor(const QColor& color);

} // namespace tk
