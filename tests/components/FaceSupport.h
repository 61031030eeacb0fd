// Looking at what a control shows: its face as one image, and simple pixel searches in it.
#pragma once

#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"

#include <QImage>

namespace facetest {

// The control as it reaches the screen (its own image with its children's over it), after any
// pending paint, as 32-bit RGB.
QImage Face(tk::TControl* control);

// The colour at (x, y) of the image in the library's encoding.
tk::TColor At(const QImage& image, int x, int y);

// The smallest rectangle (right and bottom exclusive) holding every pixel of the colour;
// an empty rectangle when there is none.
tk::TRect BoundsOf(const QImage& image, tk::TColor colour);

// How many pixels have the colour.
int CountOf(const QImage& image, tk::TColor colour);

// A canvas drawing on a copy of an image, to build the picture a control should show.
class Sketch {
public:
    explicit Sketch(const QImage& start);
    tk::TCanvas* Canvas() { return &itsCanvas; }
    const QImage& Image() const { return itsImage; }

private:
    QImage itsImage;
    tk::TCanvas itsCanvas;
};

} // namespace facetest
