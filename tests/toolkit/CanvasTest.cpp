// Pixel rules of the canvas and loading of bitmap files.
#include "toolkit/Graphics.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>

using namespace tk;

namespace {

class CanvasTest : public ::testing::Test {
protected:
    void SetUp() override {
        bitmap.SetSize(40, 30);
        canvas = bitmap.GetCanvas();
        canvas->GetBrush()->SetColor(clWhite);
        canvas->FillRect(Rect(0, 0, 40, 30));
    }

    // The columns of one row that are not white.
    std::vector<int> InkedColumns(int y) {
        std::vector<int> columns;
        for (int x = 0; x < bitmap.GetWidth(); ++x) {
            if (canvas->GetPixel(x, y) != clWhite) {
                columns.push_back(x);
            }
        }
        return columns;
    }
    std::vector<int> InkedRows(int x) {
        std::vector<int> rows;
        for (int y = 0; y < bitmap.GetHeight(); ++y) {
            if (canvas->GetPixel(x, y) != clWhite) {
                rows.push_back(y);
            }
        }
        return rows;
    }

    TBitmap bitmap;
    TCanvas* canvas = nullptr;
};

TEST_F(CanvasTest, LineToLeavesOutItsEndPoint) {
    canvas->GetPen()->SetColor(clRed);
    canvas->MoveTo(2, 5);
    canvas->LineTo(10, 5);
    EXPECT_EQ(InkedColumns(5), (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9}));
    canvas->MoveTo(20, 2);
    canvas->LineTo(20, 6);
    EXPECT_EQ(InkedRows(20), (std::vector<int>{2, 3, 4, 5}));
    EXPECT_EQ(canvas->GetPixel(2, 5), clRed);
    EXPECT_EQ(canvas->GetPenPos(), Point(20, 6));
    // Drawing leftwards leaves out the end point too.
    canvas->MoveTo(30, 10);
    canvas->LineTo(25, 10);
    EXPECT_EQ(InkedColumns(10), (std::vector<int>{26, 27, 28, 29, 30}));
}

TEST_F(CanvasTest, ZeroLengthStrokeIsADotOfThePenWidthOrNothing) {
    canvas->GetPen()->SetColor(clGreen);
    canvas->MoveTo(5, 5);
    canvas->LineTo(5, 5);
    EXPECT_TRUE(InkedColumns(5).empty()) << "a thin pen draws nothing for a zero-length line";

    canvas->GetPen()->SetWidth(5);
    canvas->MoveTo(20, 15);
    canvas->LineTo(20, 15);
    EXPECT_EQ(InkedColumns(15), (std::vector<int>{18, 19, 20, 21, 22}));
    EXPECT_EQ(InkedRows(20), (std::vector<int>{13, 14, 15, 16, 17}));
    // Round, not square: the box's corners stay clear.
    EXPECT_EQ(canvas->GetPixel(18, 13), clWhite);
    EXPECT_EQ(canvas->GetPixel(22, 17), clWhite);
    EXPECT_EQ(canvas->GetPixel(20, 15), clGreen);
}

TEST_F(CanvasTest, RectangleAndEllipseExcludeRightAndBottom) {
    canvas->GetPen()->SetColor(clBlack);
    canvas->GetBrush()->SetColor(clRed);
    canvas->Rectangle(2, 3, 8, 9);
    EXPECT_EQ(InkedColumns(5), (std::vector<int>{2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(InkedRows(4), (std::vector<int>{3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(canvas->GetPixel(2, 5), clBlack);
    EXPECT_EQ(canvas->GetPixel(4, 5), clRed) << "the brush fills the inside";

    canvas->GetBrush()->SetStyle(bsClear);
    canvas->Ellipse(20, 2, 31, 13);
    std::vector<int> middleRow = InkedColumns(7);
    std::erase_if(middleRow, [](int x) { return x < 15; }); // leave out the rectangle
    ASSERT_FALSE(middleRow.empty());
    EXPECT_EQ(middleRow.front(), 20);
    EXPECT_EQ(middleRow.back(), 30);
    const std::vector<int> middleColumn = InkedRows(25);
    ASSERT_FALSE(middleColumn.empty());
    EXPECT_EQ(middleColumn.front(), 2);
    EXPECT_EQ(middleColumn.back(), 12);
    EXPECT_EQ(canvas->GetPixel(25, 7), clWhite) << "a clear brush leaves the inside alone";
}

TEST_F(CanvasTest, FillRectCoversExactlyTheRectangle) {
    canvas->GetBrush()->SetColor(clBlue);
    canvas->FillRect(Rect(3, 4, 6, 8));
    EXPECT_EQ(InkedColumns(4), (std::vector<int>{3, 4, 5}));
    EXPECT_EQ(InkedRows(3), (std::vector<int>{4, 5, 6, 7}));
}

TEST_F(CanvasTest, TextOutIsOpaqueOnASolidBrushAndTransparentOnAClearOne) {
    canvas->GetBrush()->SetColor(clYellow);
    canvas->GetFont()->SetColor(clBlack);
    const TSize size = canvas->TextExtent("i");
    ASSERT_GT(size.cx, 0);
    ASSERT_GT(size.cy, 0);
    canvas->TextOut(1, 1, "i");
    // The whole text box takes the brush colour where no glyph is.
    EXPECT_EQ(canvas->GetPixel(1, 1), clYellow);
    EXPECT_EQ(canvas->GetPixel(1 + size.cx - 1, 1 + size.cy - 1), clYellow);
    EXPECT_EQ(canvas->GetPixel(1 + size.cx, 1), clWhite);

    canvas->GetBrush()->SetStyle(bsClear);
    canvas->TextOut(20, 1, "i");
    EXPECT_EQ(canvas->GetPixel(20, 1), clWhite);
    bool inked = false;
    for (int y = 1; y < 1 + size.cy; ++y) {
        for (int x = 20; x < 20 + size.cx; ++x) {
            const TColor c = canvas->GetPixel(x, y);
            EXPECT_TRUE(c == clWhite || c == clBlack) << "antialiasing is off";
            inked = inked || c == clBlack;
        }
    }
    EXPECT_TRUE(inked);
}

TEST_F(CanvasTest, StretchDrawAndCopyRectScaleWithoutSmoothing) {
    TBitmap source;
    source.SetSize(2, 1);
    source.GetCanvas()->SetPixel(0, 0, clRed);
    source.GetCanvas()->SetPixel(1, 0, clBlue);
    canvas->StretchDraw(Rect(0, 0, 10, 4), &source);
    EXPECT_EQ(canvas->GetPixel(4, 3), clRed);
    EXPECT_EQ(canvas->GetPixel(5, 0), clBlue);
    EXPECT_EQ(canvas->GetPixel(10, 0), clWhite);

    TBitmap target;
    target.SetSize(5, 2);
    target.GetCanvas()->CopyRect(Rect(0, 0, 5, 2), canvas, Rect(3, 0, 8, 2));
    EXPECT_EQ(target.GetCanvas()->GetPixel(1, 1), clRed);
    EXPECT_EQ(target.GetCanvas()->GetPixel(2, 0), clBlue);
}

class BitmapFileTest : public ::testing::Test {
protected:
    std::string PathOf(const char* name) { return (dir.path() + "/" + name).toStdString(); }
    QTemporaryDir dir;
};

TEST_F(BitmapFileTest, LoadsAWindowsBitmap) {
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::green);
    ASSERT_TRUE(image.save(QString::fromStdString(PathOf("ok.bmp")), "BMP"));
    TBitmap bitmap;
    bitmap.LoadFromFile(PathOf("ok.bmp"));
    EXPECT_EQ(bitmap.GetWidth(), 3);
    EXPECT_EQ(bitmap.GetHeight(), 2);
    EXPECT_EQ(bitmap.GetCanvas()->GetPixel(2, 1), clLime);
}

TEST_F(BitmapFileTest, RaisesOnAnyFailureAndKeepsTheOldImage) {
    TBitmap bitmap;
    bitmap.SetSize(4, 4);
    EXPECT_THROW(bitmap.LoadFromFile(PathOf("missing.bmp")), Exception);

    QImage png(3, 3, QImage::Format_RGB32);
    png.fill(Qt::red);
    ASSERT_TRUE(png.save(QString::fromStdString(PathOf("picture.png")), "PNG"));
    EXPECT_THROW(bitmap.LoadFromFile(PathOf("picture.png")), Exception) << "not a bitmap file";

    std::ofstream(PathOf("broken.bmp")) << "BM this is not a bitmap";
    EXPECT_THROW(bitmap.LoadFromFile(PathOf("broken.bmp")), Exception);
    EXPECT_THROW(bitmap.LoadFromFile(dir.path().toStdString()), Exception) << "a directory";
    EXPECT_EQ(bitmap.GetWidth(), 4);
}

} // namespace
