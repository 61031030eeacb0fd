// What the painting controls put on their canvases, and their mouse clicks.
#include "toolkit/Forms.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>

using namespace tk;

namespace {

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

class PaintingTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 300, 200);
    }
    std::unique_ptr<TForm> form;
};

TEST_F(PaintingTest, PanelPaintsBevelBackgroundAndLeavesAClearBrushAndItsFont) {
    auto* panel = new TPanel(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(0, 0, 60, 30);
    panel->SetColor(clLime);
    panel->GetFont()->SetStyle(fsBold);
    panel->Repaint();
    TCanvas* canvas = panel->GetCanvas();
    EXPECT_EQ(canvas->GetPixel(0, 0), clBtnHighlight) << "raised outer bevel";
    EXPECT_EQ(canvas->GetPixel(59, 29), clBtnShadow);
    EXPECT_EQ(canvas->GetPixel(1, 1), clLime);
    EXPECT_EQ(canvas->GetBrush()->GetStyle(), bsClear);
    EXPECT_EQ(canvas->GetFont()->GetStyle(), fsBold);

    panel->SetBevelOuter(bvLowered);
    panel->Repaint();
    EXPECT_EQ(canvas->GetPixel(0, 0), clBtnShadow);
    panel->SetBevelOuter(bvNone);
    panel->Repaint();
    EXPECT_EQ(canvas->GetPixel(0, 0), clLime);
}

TEST_F(PaintingTest, PanelCaptionIsCentred) {
    auto* panel = new TPanel(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(0, 0, 100, 40);
    panel->SetBevelOuter(bvNone);
    panel->SetColor(clWhite);
    panel->GetFont()->SetColor(clBlack);
    panel->SetCaption("MMMM");
    panel->Repaint();
    TCanvas* canvas = panel->GetCanvas();
    int left = 100;
    int right = -1;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 100; ++x) {
            if (canvas->GetPixel(x, y) == clBlack) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    ASSERT_LE(left, right);
    EXPECT_LE(std::abs((left + right) / 2 - 50), 2);
}

TEST_F(PaintingTest, SpeedButtonClicksWhenReleasedOverItself) {
    form->Show();
    auto* button = new TSpeedButton(form.get());
    button->SetParent(form.get());
    button->SetBounds(10, 10, 40, 20);
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    SendMouse(button->Widget(), QEvent::MouseButtonPress, QPoint(5, 5));
    button->Update();
    EXPECT_EQ(button->GetCanvas()->GetPixel(0, 0), clBtnShadow) << "pressed: sunken edge";
    SendMouse(button->Widget(), QEvent::MouseButtonRelease, QPoint(5, 5));
    EXPECT_EQ(clicks, 1);
    button->Update();
    EXPECT_EQ(button->GetCanvas()->GetPixel(0, 0), clBtnHighlight);

    SendMouse(button->Widget(), QEvent::MouseButtonPress, QPoint(5, 5));
    SendMouse(button->Widget(), QEvent::MouseButtonRelease, QPoint(60, 5));
    EXPECT_EQ(clicks, 1) << "released outside: no click";
}

TEST_F(PaintingTest, MouseEventsReportButtonAndPlace) {
    form->Show();
    auto* box = new TPaintBox(form.get());
    box->SetParent(form.get());
    std::vector<int> seen;
    box->OnMouseDown = [&](TObject*, TMouseButton button, TShiftState shift, int x, int y) {
        seen = {static_cast<int>(button), static_cast<int>(shift & ssLeft), x, y};
    };
    int doubleClicks = 0;
    box->OnDblClick = [&](TObject*) { ++doubleClicks; };
    SendMouse(box->Widget(), QEvent::MouseButtonPress, QPoint(7, 9));
    EXPECT_EQ(seen, (std::vector<int>{mbLeft, static_cast<int>(ssLeft), 7, 9}));
    SendMouse(box->Widget(), QEvent::MouseButtonDblClick, QPoint(7, 9));
    EXPECT_EQ(doubleClicks, 1);
}

TEST_F(PaintingTest, ImageShowsItsPictureStretchedAndTransparent) {
    auto* image = new TImage(form.get());
    image->SetParent(form.get());
    image->SetBounds(0, 0, 20, 10);
    TBitmap* bitmap = image->GetPicture()->GetBitmap();
    bitmap->SetSize(2, 2);
    TCanvas* source = bitmap->GetCanvas();
    source->SetPixel(0, 0, clRed);
    source->SetPixel(1, 0, clBlue);
    source->SetPixel(0, 1, clSilver); // bottom-left: the transparent colour
    source->SetPixel(1, 1, clSilver);
    image->PictureChanged();
    image->Update();
    EXPECT_EQ(image->GetCanvas()->GetPixel(0, 0), clRed);
    EXPECT_EQ(qAlpha(image->GetCanvas()->Image()->pixel(2, 0)), 0) << "outside the picture";

    image->SetStretch(true);
    image->SetTransparent(true);
    image->Update();
    EXPECT_EQ(image->GetCanvas()->GetPixel(15, 2), clBlue);
    EXPECT_EQ(qAlpha(image->GetCanvas()->Image()->pixel(15, 8)), 0) << "silver is cut out";
}

TEST_F(PaintingTest, ClickOnALabelIsTheLabelsNotItsPanels) {
    form->Show();
    auto* panel = new TPanel(form.get());
    panel->SetParent(form.get());
    auto* label = new TLabel(form.get());
    label->SetParent(panel);
    label->SetCaption("Press");
    int panelClicks = 0;
    int labelClicks = 0;
    panel->OnClick = [&](TObject*) { ++panelClicks; };
    label->OnClick = [&](TObject*) { ++labelClicks; };
    SendMouse(label->Widget(), QEvent::MouseButtonPress, QPoint(2, 2));
    SendMouse(label->Widget(), QEvent::MouseButtonRelease, QPoint(2, 2));
    EXPECT_EQ(labelClicks, 1);
    EXPECT_EQ(panelClicks, 0);
}

TEST_F(PaintingTest, ControlMayBeDestroyedByItsOwnClick) {
    form->Show();
    auto* panel = new TPanel(form.get());
    panel->SetParent(form.get());
    bool clicked = false;
    panel->OnClick = [&clicked, panel](TObject*) {
        delete panel;
        clicked = true;
    };
    QPointer<QWidget> widget = panel->Widget();
    SendMouse(widget, QEvent::MouseButtonPress, QPoint(2, 2));
    SendMouse(widget, QEvent::MouseButtonRelease, QPoint(2, 2));
    EXPECT_TRUE(clicked);
    EXPECT_TRUE(widget.isNull());
    EXPECT_EQ(form->ControlCount(), 0);
}

TEST_F(PaintingTest, LabelTakesItsTextSize) {
    auto* label = new TLabel(form.get());
    label->SetParent(form.get());
    label->SetLeft(100);
    label->SetCaption("Scan Rate");
    const int width = label->GetWidth();
    EXPECT_GT(width, 20);
    label->SetCaption("Scan Rate and more");
    EXPECT_GT(label->GetWidth(), width);
    EXPECT_EQ(label->GetLeft(), 100);

    label->SetAutoSize(false);
    label->SetWidth(33);
    label->SetCaption("A much longer caption");
    EXPECT_EQ(label->GetWidth(), 33);
}

} // namespace
