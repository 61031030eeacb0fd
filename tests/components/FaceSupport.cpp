#include "FaceSupport.h"

#include <QPixmap>
#include <QWidget>

#include <algorithm>

namespace facetest {

QImage Face(tk::TControl* control) {
    control->Update();
    return control->Widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

tk::TColor At(const QImage& image, int x, int y) {
    return tk::FromQColor(QColor(image.pixel(x, y)));
}

tk::TRect BoundsOf(const QImage& image, tk::TColor colour) {
    tk::TRect r{image.width(), image.height(), 0, 0};
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (At(image, x, y) == colour) {
                r = {std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1),
                     std::max(r.Bottom, y + 1)};
            }
        }
    }
    return r.Right == 0 ? tk::TRect{} : r;
}

int CountOf(const QImage& image, tk::TColor colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += At(image, x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

Sketch::Sketch(const QImage& start) : itsImage(start) {
    itsCanvas.Attach(&itsImage);
}

} // namespace facetest
