// Controls moved by code raise the events a user's input raises, and the layout rules.
#include "toolkit/Forms.h"
#include "toolkit/Spin.h"

#include <QAbstractSlider>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMenuBar>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

using namespace tk;

namespace {

// Counts the events raised by a control.
struct EventCounter {
    int count = 0;
    TNotifyEvent Handler() {
        return [this](TObject*) { ++count; };
    }
};

void SendClick(QWidget* widget, QPoint at) {
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 400, 300);
    }
    std::unique_ptr<TForm> form;
};

TEST_F(ControlsTest, TrackBarClampsAndRaisesOneChangePerChange) {
    auto* bar = new TTrackBar(form.get());
    bar->SetParent(form.get());
    bar->SetMin(10);
    bar->SetMax(500);
    EXPECT_EQ(bar->GetPosition(), 10) << "a new minimum pulls the position up";
    EventCounter changes;
    bar->OnChange = changes.Handler();

    bar->SetPosition(600);
    EXPECT_EQ(bar->GetPosition(), 500);
    EXPECT_EQ(changes.count, 1);
    bar->SetPosition(700); // clamps to the same end: no change
    EXPECT_EQ(changes.count, 1);
    bar->SetPosition(-3);
    EXPECT_EQ(bar->GetPosition(), 10);
    EXPECT_EQ(changes.count, 2);
    bar->SetPosition(10);
    EXPECT_EQ(changes.count, 2);
    bar->SetPosition(250);
    bar->SetMax(100); // the range moves the position
    EXPECT_EQ(bar->GetPosition(), 100);
    EXPECT_EQ(changes.count, 4);
}

TEST_F(ControlsTest, TrackBarHandlerSeesTheNewPositionWhenTheUserMovesIt) {
    auto* bar = new TTrackBar(form.get());
    bar->SetParent(form.get());
    bar->SetMax(100);
    std::vector<int> seen;
    bar->OnChange = [&](TObject*) { seen.push_back(bar->GetPosition()); };
    static_cast<QAbstractSlider*>(bar->Widget())->setValue(42);
    EXPECT_EQ(seen, std::vector<int>{42});
}

TEST_F(ControlsTest, CheckBoxClicksOnEveryChangeOfStateOnly) {
    auto* box = new TCheckBox(form.get());
    box->SetParent(form.get());
    std::vector<bool> seen;
    box->OnClick = [&](TObject*) { seen.push_back(box->GetChecked()); };
    box->SetChecked(false);
    EXPECT_TRUE(seen.empty());
    box->SetChecked(true);
    box->SetChecked(true);
    box->SetChecked(false);
    EXPECT_EQ(seen, (std::vector<bool>{true, false}));
}

TEST_F(ControlsTest, RadioButtonClicksWhenItBecomesCheckedAndTurnsSiblingsOff) {
    auto* a = new TRadioButton(form.get());
    auto* b = new TRadioButton(form.get());
    a->SetParent(form.get());
    b->SetParent(form.get());
    EventCounter aClicks;
    EventCounter bClicks;
    a->OnClick = aClicks.Handler();
    b->OnClick = bClicks.Handler();

    a->SetChecked(true);
    EXPECT_EQ(aClicks.count, 1);
    b->SetChecked(true);
    EXPECT_FALSE(a->GetChecked());
    EXPECT_EQ(aClicks.count, 1) << "being unchecked raises nothing";
    EXPECT_EQ(bClicks.count, 1);
    b->SetChecked(true);
    EXPECT_EQ(bClicks.count, 1);
    b->SetChecked(false);
    EXPECT_EQ(bClicks.count, 1);
}

TEST_F(ControlsTest, RadioGroupClampsItemIndexAndClicksWhenTheSelectionMovesToAnItem) {
    auto* group = new TRadioGroup(form.get());
    group->SetParent(form.get());
    for (const char* item : {"Left", "Right", "Middle"}) {
        group->GetItems()->Add(item);
    }
    std::vector<int> seen;
    group->OnClick = [&](TObject*) { seen.push_back(group->GetItemIndex()); };

    group->SetItemIndex(1);
    group->SetItemIndex(1);
    group->SetItemIndex(7);
    EXPECT_EQ(group->GetItemIndex(), 2);
    group->SetItemIndex(-5);
    EXPECT_EQ(group->GetItemIndex(), -1);
    EXPECT_EQ(seen, (std::vector<int>{1, 2})) << "moving to no item raises nothing";
    EXPECT_FALSE(group->GetButton(2)->GetChecked());

    // A click on an item's button is a user's selection.
    group->SetItemIndex(0);
    group->GetButton(2)->SetChecked(true);
    EXPECT_EQ(group->GetItemIndex(), 2);
    EXPECT_FALSE(group->GetButton(0)->GetChecked());
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 0, 2}));
}

TEST_F(ControlsTest, AlignStacksTopBottomLeftRightThenClient) {
    auto add = [&](TAlign align, int size) {
        auto* panel = new TPanel(form.get());
        panel->SetParent(form.get());
        panel->SetBounds(0, 0, size, size);
        panel->SetAlign(align);
        return panel;
    };
    TPanel* client = add(alClient, 10);
    TPanel* top1 = add(alTop, 20);
    TPanel* top2 = add(alTop, 30);
    TPanel* bottom = add(alBottom, 40);
    TPanel* left = add(alLeft, 50);
    TPanel* right = add(alRight, 60);

    EXPECT_EQ(top1->GetBoundsRect(), Rect(0, 0, 400, 20));
    EXPECT_EQ(top2->GetBoundsRect(), Rect(0, 20, 400, 50));
    EXPECT_EQ(bottom->GetBoundsRect(), Rect(0, 260, 400, 300));
    EXPECT_EQ(left->GetBoundsRect(), Rect(0, 50, 50, 260));
    EXPECT_EQ(right->GetBoundsRect(), Rect(340, 50, 400, 260));
    EXPECT_EQ(client->GetBoundsRect(), Rect(50, 50, 340, 260));

    // Hidden controls take no room; a resize lays everything out again.
    top1->SetVisible(false);
    EXPECT_EQ(top2->GetBoundsRect(), Rect(0, 0, 400, 30));
    form->SetBounds(0, 0, 500, 400);
    EXPECT_EQ(client->GetBoundsRect(), Rect(50, 30, 440, 360));
    top1->SetVisible(true);
    EXPECT_EQ(top1->GetBoundsRect(), Rect(0, 0, 500, 20)) << "it returns to its place";
    EXPECT_EQ(top2->GetTop(), 20);
}

TEST_F(ControlsTest, HiddenAlignedControlKeepsItsPlaceInTheStack) {
    auto add = [&](TAlign align, int size, bool visible) {
        auto* panel = new TPanel(form.get());
        panel->SetVisible(visible);
        panel->SetAlign(align);
        panel->SetHeight(size);
        panel->SetWidth(size);
        panel->SetParent(form.get());
        return panel;
    };
    TPanel* first = add(alTop, 10, true);
    TPanel* hidden = add(alTop, 20, false);
    TPanel* third = add(alTop, 30, true);
    TPanel* low = add(alBottom, 40, true);
    TPanel* lower = add(alBottom, 50, true);
    EXPECT_EQ(third->GetTop(), 10);
    hidden->SetVisible(true);
    EXPECT_EQ(first->GetTop(), 0);
    EXPECT_EQ(hidden->GetTop(), 10);
    EXPECT_EQ(third->GetTop(), 30);
    EXPECT_EQ(low->GetTop(), 260) << "the first bottom-aligned control sits lowest";
    EXPECT_EQ(lower->GetTop(), 210);

    // An explicit place orders the stack.
    third->SetTop(0);
    EXPECT_EQ(third->GetTop(), 0);
    EXPECT_EQ(first->GetTop(), 30);
}

TEST_F(ControlsTest, PanelChildrenAlignInsideTheBevel) {
    auto* panel = new TPanel(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(0, 0, 100, 50);
    auto* inner = new TPanel(form.get());
    inner->SetParent(panel);
    inner->SetAlign(alClient);
    EXPECT_EQ(inner->GetBoundsRect(), Rect(1, 1, 99, 49));
    panel->SetBevelOuter(bvNone);
    EXPECT_EQ(inner->GetBoundsRect(), Rect(0, 0, 100, 50));
}

TEST_F(ControlsTest, DisabledFrameKeepsItsChildrenFromInput) {
    form->Show();
    auto* frame = new TFrame(form.get());
    frame->SetParent(form.get());
    frame->SetBounds(0, 0, 200, 100);
    auto* panel = new TPanel(form.get());
    panel->SetParent(frame);
    panel->SetBounds(10, 10, 50, 30);
    EventCounter clicks;
    panel->OnClick = clicks.Handler();

    SendClick(panel->Widget(), QPoint(5, 5));
    EXPECT_EQ(clicks.count, 1);
    frame->SetEnabled(false);
    EXPECT_TRUE(panel->GetEnabled()) << "the child's own property stays";
    SendClick(panel->Widget(), QPoint(5, 5));
    EXPECT_EQ(clicks.count, 1);
    frame->SetEnabled(true);
    SendClick(panel->Widget(), QPoint(5, 5));
    EXPECT_EQ(clicks.count, 2);
}

// A control that counts its paints and draws a marker pixel.
class CountingControl : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    int paints = 0;

protected:
    void Paint() override {
        ++paints;
        GetCanvas()->GetBrush()->SetColor(clWhite);
        GetCanvas()->FillRect(GetClientRect());
    }
};

TEST_F(ControlsTest, InvalidateAsksForPaintWhileDirectDrawingShowsAtOnce) {
    auto* control = new CountingControl(form.get());
    control->SetParent(form.get());
    control->SetBounds(0, 0, 30, 20);
    control->Update();
    const int before = control->paints;
    EXPECT_GE(before, 1);

    control->GetCanvas()->SetPixel(3, 3, clRed);
    control->Update();
    EXPECT_EQ(control->paints, before) << "drawing outside Paint is no repaint request";
    EXPECT_EQ(control->GetCanvas()->GetPixel(3, 3), clRed);
    const QImage shown = control->Widget()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(3, 3), QColor(Qt::red)) << "the drawing is on screen";

    control->Invalidate();
    control->Invalidate();
    control->Update();
    EXPECT_EQ(control->paints, before + 1) << "invalidations between paints give one Paint";
    EXPECT_EQ(control->GetCanvas()->GetPixel(3, 3), clWhite);

    control->SetBounds(0, 0, 40, 20);
    EXPECT_EQ(control->GetCanvas()->GetClipRect(), Rect(0, 0, 40, 20));
}

TEST_F(ControlsTest, PageControlChangesPagesAndRaisesOnChangeForTheUserOnly) {
    auto* pages = new TPageControl(form.get());
    pages->SetParent(form.get());
    pages->SetBounds(0, 0, 300, 200);
    TTabSheet* sheets[3];
    for (auto*& sheet : sheets) {
        sheet = new TTabSheet(form.get());
        sheet->SetPageControl(pages);
    }
    EventCounter changes;
    pages->OnChange = changes.Handler();
    EXPECT_EQ(pages->GetPageCount(), 3);
    EXPECT_EQ(sheets[2]->GetPageIndex(), 2);
    EXPECT_EQ(pages->GetActivePage(), sheets[0]);

    pages->SetActivePage(sheets[2]);
    EXPECT_EQ(changes.count, 0);
    EXPECT_TRUE(sheets[2]->GetVisible());
    EXPECT_FALSE(sheets[0]->GetVisible());
    pages->SelectTabAsUser(1);
    EXPECT_EQ(pages->GetActivePage(), sheets[1]);
    EXPECT_EQ(changes.count, 1);
    pages->SelectTabAsUser(1);
    EXPECT_EQ(changes.count, 1);
    EXPECT_GT(sheets[1]->GetWidth(), 0);
    EXPECT_GT(sheets[1]->GetHeight(), 0);

    delete sheets[1];
    EXPECT_EQ(pages->GetPageCount(), 2);
    EXPECT_NE(pages->GetActivePage(), nullptr);
}

TEST_F(ControlsTest, DestructionIsSafeInEitherOrder) {
    auto* outer = new TPanel(form.get());
    outer->SetParent(form.get());
    auto* inner = new TPanel(form.get());
    inner->SetParent(outer);
    auto* label = new TLabel(form.get());
    label->SetParent(inner);
    const int owned = form->ComponentCount();

    delete label; // the owner and the parent both forget it
    EXPECT_EQ(form->ComponentCount(), owned - 1);
    EXPECT_EQ(inner->ControlCount(), 0);
    delete outer; // takes the inner panel with it
    EXPECT_EQ(form->ComponentCount(), owned - 3);
    EXPECT_EQ(form->ControlCount(), 0);

    // Owner first: a control owned by a form but placed on another form's panel.
    auto other = std::make_unique<TForm>(nullptr);
    auto* host = new TPanel(other.get());
    host->SetParent(other.get());
    auto* guest = new TButton(form.get());
    guest->SetParent(host);
    form.reset();
    EXPECT_EQ(host->ControlCount(), 0);
    other.reset();
}

TEST_F(ControlsTest, ParentFontReachesChildrenUntilTheyTakeTheirOwn) {
    auto* panel = new TPanel(form.get());
    panel->SetParent(form.get());
    auto* label = new TLabel(form.get());
    label->SetParent(panel);
    panel->GetFont()->SetStyle(fsBold);
    EXPECT_EQ(label->GetFont()->GetStyle(), fsBold);
    label->GetFont()->SetHeight(-20);
    EXPECT_FALSE(label->GetParentFont());
    panel->GetFont()->SetStyle(fsItalic);
    EXPECT_EQ(label->GetFont()->GetStyle(), fsBold);
}

// The font's colour is the enabled text's; a disabled control draws its caption in the
// platform's disabled colour, so no pixel keeps the font's colour.
TEST_F(ControlsTest, DisabledControlsDrawTheirCaptionInTheDisabledColour) {
    const TColor fontColour = RGB(0, 0, 255);
    const std::vector<std::pair<const char*, std::function<TControl*()>>> kinds = {
        {"button", [&] { return new TButton(form.get()); }},
        {"check box", [&] { return new TCheckBox(form.get()); }},
        {"radio button", [&] { return new TRadioButton(form.get()); }},
        {"label", [&] { return new TLabel(form.get()); }},
        {"group box", [&] { return new TGroupBox(form.get()); }},
    };
    form->Show();
    for (const auto& [kind, make] : kinds) {
        TControl* control = make();
        control->SetParent(form.get());
        control->SetBounds(8, 8, 150, 40);
        control->SetCaption("Keep Changes");
        control->GetFont()->SetColor(fontColour);
        auto fontColourShown = [&] {
            const QImage image = control->Widget()->grab().toImage();
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    if (FromQColor(image.pixelColor(x, y)) == fontColour) {
                        return true;
                    }
                }
            }
            return false;
        };
        EXPECT_TRUE(fontColourShown()) << kind << " enabled";
        control->SetEnabled(false);
        EXPECT_FALSE(fontColourShown()) << kind << " disabled";
        delete control;
    }
}

TEST_F(ControlsTest, SpinButtonRaisesItsClicks) {
    auto* spin = new TCSpinButton(form.get());
    spin->SetParent(form.get());
    EventCounter up;
    EventCounter down;
    spin->OnUpClick = up.Handler();
    spin->OnDownClick = down.Handler();
    spin->ClickUp();
    spin->ClickDown();
    spin->ClickDown();
    EXPECT_EQ(up.count, 1);
    EXPECT_EQ(down.count, 2);
}

TEST_F(ControlsTest, TimerTicksOnlyWhileEnabledWithAnInterval) {
    auto* timer = new TTimer(form.get());
    int ticks = 0;
    timer->OnTimer = [&](TObject*) { ++ticks; };
    timer->SetInterval(1);
    auto waitFor = [&](int count) {
        QElapsedTimer clock;
        clock.start();
        while (ticks < count && clock.elapsed() < 5000) {
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
    };
    waitFor(2);
    EXPECT_GE(ticks, 2);

    timer->SetEnabled(false);
    int stopped = ticks;
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    EXPECT_EQ(ticks, stopped);
    timer->SetInterval(0);
    timer->SetEnabled(true);
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    EXPECT_EQ(ticks, stopped) << "an interval of 0 keeps it still";
    timer->SetInterval(1);
    waitFor(stopped + 1);
    EXPECT_GT(ticks, stopped);
}

TEST_F(ControlsTest, TimerMayBeDestroyedInItsOwnTick) {
    auto* timer = new TTimer(form.get());
    timer->SetInterval(1);
    bool gone = false;
    timer->OnTimer = [&](TObject*) {
        delete timer;
        gone = true;
    };
    QElapsedTimer clock;
    clock.start();
    while (!gone && clock.elapsed() < 5000) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    QApplication::processEvents();
    EXPECT_TRUE(gone);
}

TEST_F(ControlsTest, MenuItemsRaiseTheirClicks) {
    auto* menu = new TMainMenu(form.get());
    auto* item = new TMenuItem(form.get());
    item->SetCaption("File");
    int clicks = 0;
    item->OnClick = [&](TObject*) { ++clicks; };
    menu->GetItems()->Add(item);
    form->SetMenu(menu);
    auto* bar = form->Widget()->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->actions().size(), 1);
    EXPECT_EQ(bar->actions()[0]->text(), "File");
    bar->actions()[0]->trigger();
    EXPECT_EQ(clicks, 1);
    item->SetCaption("Edit");
    EXPECT_EQ(bar->actions()[0]->text(), "Edit");
}

} // namespace
