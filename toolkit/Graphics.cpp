#include "toolkit/Graphics.h"

#include <QColor>
#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QIcon>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <utility>

namespace tk {

namespace {

// Families the forms ask for, mapped to metric-alike families installed here.
QString FamilyFor(const std::string& name) {
    if (name == "MS Sans Serif" || name == "Tahoma" || name == "Arial" || name == "Helvetica") {
        return QStringLiteral("Nimbus Sans");
    }
    if (name == "Courier New" || name == "Courier") {
        return QStringLiteral("Nimbus Mono PS");
    }
    if (name == "Times New Roman") {
        return QStringLiteral("Nimbus Roman");
    }
    return QString::fromStdString(name);
}

QString ToQString(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// A painter with every kind of smoothing off, so pixels come out exact.
void PrepareExact(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

QRect ToQRect(const TRect& r) {
    return QRect(r.Left, r.Top, r.Width(), r.Height());
}

} // namespace

QColor ToQColor(TColor color) {
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

TColor FromQColor(const QColor& color) {
    return RGB(color.red(), color.green(), color.blue());
}

// ---- TFont ----

TFont::TFont() = default;
TFont::~TFont() = default;

void TFont::SetName(const std::string& name) {
    itsName = name;
    Changed();
}

void TFont::SetHeight(int height) {
    itsHeight = height;
    Changed();
}

int TFont::GetSize() const {
    return -static_cast<int>(std::lround(itsHeight * 72.0 / 96.0));
}

void TFont::SetSize(int points) {
    SetHeight(-static_cast<int>(std::lround(points * 96.0 / 72.0)));
}

void TFont::SetStyle(TFontStyles style) {
    itsStyle = style;
    Changed();
}

void TFont::SetColor(TColor color) {
    itsColor = color;
    Changed();
}

void TFont::Assign(const TFont* source) {
    if (source == nullptr || source == this) {
        return;
    }
    itsName = source->itsName;
    itsHeight = source->itsHeight;
    itsStyle = source->itsStyle;
    itsColor = source->itsColor;
    Changed();
}

void TFont::Changed() {
    if (OnChange) {
        OnChange(this);
    }
}

QFont TFont::ToQFont() const {
    QFont font(FamilyFor(itsName));
    // A negative height is the character height; a positive one includes the internal leading.
    const int pixels = itsHeight < 0 ? -itsHeight : std::max(1, itsHeight * 4 / 5);
    font.setPixelSize(std::max(1, pixels));
    font.setBold((itsStyle & fsBold) != 0);
    font.setItalic((itsStyle & fsItalic) != 0);
    font.setUnderline((itsStyle & fsUnderline) != 0);
    font.setStrikeOut((itsStyle & fsStrikeOut) != 0);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// ---- TPen, TBrush ----

void TPen::Assign(const TPen* source) {
    if (source != nullptr) {
        itsColor = source->itsColor;
        itsWidth = source->itsWidth;
        itsStyle = source->itsStyle;
    }
}

void TBrush::SetColor(TColor color) {
    itsColor = color;
    if (itsStyle == bsClear) {
        itsStyle = bsSolid;
    }
}

void TBrush::Assign(const TBrush* source) {
    if (source != nullptr) {
        itsColor = source->itsColor;
        itsStyle = source->itsStyle;
    }
}

// ---- TCanvas ----

TCanvas::TCanvas() = default;
TCanvas::~TCanvas() = default;

void TCanvas::Attach(QImage* image, std::function<void()> onChanged) {
    itsImage = image;
    itsOnChanged = std::move(onChanged);
}

void TCanvas::Changed() {
    if (itsOnChanged) {
        itsOnChanged();
    }
}

void TCanvas::MoveTo(int x, int y) {
    itsPenPos = {x, y};
}

void TCanvas::LineTo(int x, int y) {
    const TPoint from = itsPenPos;
    itsPenPos = {x, y};
    if (itsImage == nullptr || itsImage->isNull() || itsPen.GetStyle() == psClear) {
        return;
    }
    const int width = std::max(1, itsPen.GetWidth());
    if (width == 1) {
        PlotLine(from.X, from.Y, x, y);
    } else if (from.X == x && from.Y == y) {
        Dot(x, y, width);
    } else {
        QPainter painter(itsImage);
        PrepareExact(painter);
        painter.setPen(
            QPen(ToQColor(itsPen.GetColor()), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawLine(from.X, from.Y, x, y);
    }
    Changed();
}

// Bresenham's line from (x0, y0) towards (x1, y1), leaving out the end point.
void TCanvas::PlotLine(int x0, int y0, int x1, int y1) {
    const QRgb rgb = ToQColor(itsPen.GetColor()).rgb();
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    while (x0 != x1 || y0 != y1) {
        if (itsImage->valid(x0, y0)) {
            itsImage->setPixel(x0, y0, rgb);
        }
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

// A filled round spot of the given diameter centred on the pixel (cx, cy).
void TCanvas::Dot(int cx, int cy, int width) {
    const QRgb rgb = ToQColor(itsPen.GetColor()).rgb();
    const int x0 = cx - width / 2;
    const int y0 = cy - width / 2;
    const double centreX = x0 + width / 2.0;
    const double centreY = y0 + width / 2.0;
    const double radius2 = (width / 2.0) * (width / 2.0);
    for (int j = 0; j < width; ++j) {
        for (int i = 0; i < width; ++i) {
            const double dx = x0 + i + 0.5 - centreX;
            const double dy = y0 + j + 0.5 - centreY;
            if (dx * dx + dy * dy <= radius2 && itsImage->valid(x0 + i, y0 + j)) {
                itsImage->setPixel(x0 + i, y0 + j, rgb);
            }
        }
    }
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    if (itsImage == nullptr || itsImage->isNull()) {
        return;
    }
    if (x2 < x1) {
        std::swap(x1, x2);
    }
    if (y2 < y1) {
        std::swap(y1, y2);
    }
    if (x2 - x1 < 1 || y2 - y1 < 1) {
        return;
    }
    QPainter painter(itsImage);
    PrepareExact(painter);
    const bool hasPen = itsPen.GetStyle() != psClear;
    const int width = std::max(1, itsPen.GetWidth());
    if (itsBrush.GetStyle() == bsSolid) {
        const int inset = hasPen ? 1 : 0;
        painter.fillRect(QRect(x1 + inset, y1 + inset, x2 - x1 - 2 * inset, y2 - y1 - 2 * inset),
                         ToQColor(itsBrush.GetColor()));
    }
    if (hasPen) {
        const QColor color = ToQColor(itsPen.GetColor());
        if (width == 1) {
            painter.fillRect(QRect(x1, y1, x2 - x1, 1), color);
            painter.fillRect(QRect(x1, y2 - 1, x2 - x1, 1), color);
            painter.fillRect(QRect(x1, y1, 1, y2 - y1), color);
            painter.fillRect(QRect(x2 - 1, y1, 1, y2 - y1), color);
        } else {
            painter.setPen(QPen(color, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
        }
    }
    painter.end();
    Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    if (itsImage == nullptr || itsImage->isNull()) {
        return;
    }
    if (x2 < x1) {
        std::swap(x1, x2);
    }
    if (y2 < y1) {
        std::swap(y1, y2);
    }
    if (x2 - x1 < 1 || y2 - y1 < 1) {
        return;
    }
    QPainter painter(itsImage);
    PrepareExact(painter);
    if (itsPen.GetStyle() == psClear) {
        painter.setPen(Qt::NoPen);
    } else {
        painter.setPen(QPen(ToQColor(itsPen.GetColor()), std::max(1, itsPen.GetWidth())));
    }
    if (itsBrush.GetStyle() == bsSolid) {
        painter.setBrush(ToQColor(itsBrush.GetColor()));
    } else {
        painter.setBrush(Qt::NoBrush);
    }
    // An integer rectangle's outline covers its width plus one pixel: x1..x2-1.
    painter.drawEllipse(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
    painter.end();
    Changed();
}

void TCanvas::FillRect(const TRect& r) {
    if (itsImage == nullptr || itsImage->isNull() || itsBrush.GetStyle() == bsClear) {
        return;
    }
    QPainter painter(itsImage);
    painter.fillRect(ToQRect(r), ToQColor(itsBrush.GetColor()));
    painter.end();
    Changed();
}

void TCanvas::FrameRect(const TRect& r) {
    if (itsImage == nullptr || itsImage->isNull() || r.Width() < 1 || r.Height() < 1) {
        return;
    }
    QPainter painter(itsImage);
    const QColor color = ToQColor(itsBrush.GetColor());
    painter.fillRect(QRect(r.Left, r.Top, r.Width(), 1), color);
    painter.fillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1), color);
    painter.fillRect(QRect(r.Left, r.Top, 1, r.Height()), color);
    painter.fillRect(QRect(r.Right - 1, r.Top, 1, r.Height()), color);
    painter.end();
    Changed();
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    const TSize size = TextExtent(text);
    itsPenPos = {x + size.cx, y};
    if (itsImage == nullptr || itsImage->isNull()) {
        return;
    }
    QPainter painter(itsImage);
    PrepareExact(painter);
    if (itsBrush.GetStyle() == bsSolid) {
        painter.fillRect(QRect(x, y, size.cx, size.cy), ToQColor(itsBrush.GetColor()));
    }
    const QFont font = itsFont.ToQFont();
    painter.setFont(font);
    painter.setPen(ToQColor(itsFont.GetColor()));
    painter.drawText(x, y + QFontMetrics(font).ascent(), ToQString(text));
    painter.end();
    Changed();
}

int TCanvas::TextWidth(const std::string& text) {
    return TextExtent(text).cx;
}

int TCanvas::TextHeight(const std::string& text) {
    return TextExtent(text).cy;
}

TSize TCanvas::TextExtent(const std::string& text) {
    const QFontMetrics metrics(itsFont.ToQFont());
    return {metrics.horizontalAdvance(ToQString(text)), metrics.height()};
}

void TCanvas::StretchDraw(const TRect& dest, const TBitmap* bitmap) {
    if (itsImage == nullptr || itsImage->isNull() || bitmap == nullptr || bitmap->Empty()) {
        return;
    }
    QPainter painter(itsImage);
    PrepareExact(painter);
    painter.drawImage(ToQRect(dest), bitmap->DrawableImage());
    painter.end();
    Changed();
}

void TCanvas::Draw(int x, int y, const TBitmap* bitmap) {
    if (itsImage == nullptr || itsImage->isNull() || bitmap == nullptr || bitmap->Empty()) {
        return;
    }
    QPainter painter(itsImage);
    painter.drawImage(QPoint(x, y), bitmap->DrawableImage());
    painter.end();
    Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect) {
    if (itsImage == nullptr || itsImage->isNull() || source == nullptr ||
        source->itsImage == nullptr || source->itsImage->isNull()) {
        return;
    }
    // Copy first: the source may be this very image.
    const QImage part = source->itsImage->copy(ToQRect(sourceRect));
    QPainter painter(itsImage);
    PrepareExact(painter);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(ToQRect(dest), part);
    painter.end();
    Changed();
}

TColor TCanvas::GetPixel(int x, int y) const {
    if (itsImage == nullptr || !itsImage->valid(x, y)) {
        return 0xFFFFFFFF;
    }
    const QRgb rgb = itsImage->pixel(x, y);
    return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

void TCanvas::SetPixel(int x, int y, TColor color) {
    if (itsImage == nullptr || !itsImage->valid(x, y)) {
        return;
    }
    itsImage->setPixel(x, y, ToQColor(color).rgb());
    Changed();
}

TRect TCanvas::GetClipRect() const {
    if (itsImage == nullptr) {
        return {};
    }
    return {0, 0, itsImage->width(), itsImage->height()};
}

// ---- TBitmap ----

TBitmap::TBitmap() : itsImage(std::make_unique<QImage>()) {
    itsCanvas.Attach(itsImage.get());
}

TBitmap::~TBitmap() = default;

int TBitmap::GetWidth() const {
    return itsImage->width();
}
int TBitmap::GetHeight() const {
    return itsImage->height();
}
void TBitmap::SetWidth(int width) {
    SetSize(width, GetHeight());
}
void TBitmap::SetHeight(int height) {
    SetSize(GetWidth(), height);
}
bool TBitmap::Empty() const {
    return itsImage->isNull() || itsImage->width() == 0 || itsImage->height() == 0;
}

void TBitmap::SetSize(int width, int height) {
    width = std::max(0, width);
    height = std::max(0, height);
    if (width == GetWidth() && height == GetHeight()) {
        return;
    }
    if (width == 0 || height == 0) {
        *itsImage = QImage();
        return;
    }
    QImage resized(width, height, QImage::Format_RGB32);
    resized.fill(Qt::white);
    if (!itsImage->isNull()) {
        QPainter painter(&resized);
        painter.drawImage(0, 0, *itsImage);
    }
    *itsImage = resized;
}

void TBitmap::LoadFromFile(const std::string& fileName) {
    QFile file(ToQString(fileName));
    if (!file.open(QIODevice::ReadOnly)) {
        throw Exception("Cannot open file \"" + fileName + "\"");
    }
    const QByteArray data = file.readAll();
    if (data.size() < 2 || data[0] != 'B' || data[1] != 'M') {
        throw Exception("\"" + fileName + "\" is not a bitmap file");
    }
    QImage loaded;
    if (!loaded.loadFromData(data, "BMP") || loaded.isNull()) {
        throw Exception("Bitmap file \"" + fileName + "\" is damaged");
    }
    *itsImage = loaded.convertToFormat(QImage::Format_RGB32);
}

void TBitmap::SaveToFile(const std::string& fileName) const {
    if (!itsImage->save(ToQString(fileName), "BMP")) {
        throw Exception("Cannot write bitmap file \"" + fileName + "\"");
    }
}

void TBitmap::Assign(const TBitmap* source) {
    if (source == nullptr || source == this) {
        return;
    }
    *itsImage = *source->itsImage;
    itsTransparent = source->itsTransparent;
    itsHasTransparentColor = source->itsHasTransparentColor;
    itsTransparentColor = source->itsTransparentColor;
}

TColor TBitmap::GetTransparentColor() const {
    if (itsHasTransparentColor || Empty()) {
        return itsTransparentColor;
    }
    const QRgb rgb = itsImage->pixel(0, itsImage->height() - 1);
    return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

void TBitmap::SetTransparentColor(TColor color) {
    itsTransparentColor = color;
    itsHasTransparentColor = true;
}

QImage TBitmap::DrawableImage() const {
    if (!itsTransparent || Empty()) {
        return *itsImage;
    }
    QImage cut = itsImage->convertToFormat(QImage::Format_ARGB32);
    const QRgb key = ToQColor(GetTransparentColor()).rgb() & 0xFFFFFF;
    for (int y = 0; y < cut.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(cut.scanLine(y));
        for (int x = 0; x < cut.width(); ++x) {
            if ((line[x] & 0xFFFFFF) == key) {
                line[x] = 0;
            }
        }
    }
    return cut;
}

// ---- TPicture ----

void TPicture::LoadFromFile(const std::string& fileName) {
    itsBitmap.LoadFromFile(fileName);
    Changed();
}

void TPicture::Assign(const TBitmap* bitmap) {
    itsBitmap.Assign(bitmap);
    Changed();
}

void TPicture::Changed() {
    if (OnChange) {
        OnChange(this);
    }
}

// ---- TIcon ----

TIcon::TIcon() : itsIcon(std::make_unique<QIcon>()) {}
TIcon::~TIcon() = default;

void TIcon::LoadFromFile(const std::string& fileName) {
    QImage image;
    if (!image.load(ToQString(fileName))) {
        throw Exception("Cannot load icon \"" + fileName + "\"");
    }
    SetIcon(QIcon(QPixmap::fromImage(image)));
}

void TIcon::Assign(const TIcon* source) {
    if (source != nullptr && source != this) {
        SetIcon(*source->itsIcon);
    }
}

bool TIcon::Empty() const {
    return itsIcon->isNull();
}

void TIcon::SetIcon(const QIcon& icon) {
    *itsIcon = icon;
    if (OnChange) {
        OnChange(this);
    }
}

} // namespace tk
