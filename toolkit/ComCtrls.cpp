#include "toolkit/ComCtrls.h"

#include "toolkit/WidgetBridge.h"

#include <QSignalBlocker>
#include <QSlider>
#include <QTabBar>

#include <algorithm>

namespace tk {

// ---- TTrackBar ----

TTrackBar::TTrackBar(TComponent* AOwner) : TWinControl(AOwner, new Bridged<QSlider>(this)) {
    Slider()->setOrientation(Qt::Horizontal);
    Slider()->setRange(itsMin, itsMax);
    Slider()->setPageStep(itsPageSize);
    QObject::connect(Slider(), &QSlider::valueChanged,
                     [this](int value) { CallGuarded([this, value] { UserMoved(value); }); });
    ApplyTicks();
    SetParentColor(true);
    SetTabStop(true);
    SetBounds(0, 0, 150, 45);
}

QSlider* TTrackBar::Slider() const {
    return static_cast<QSlider*>(Widget());
}

void TTrackBar::SetMin(int min) {
    SetParams(itsPosition, min, std::max(min, itsMax));
}

void TTrackBar::SetMax(int max) {
    SetParams(itsPosition, std::min(itsMin, max), max);
}

void TTrackBar::SetPosition(int position) {
    SetParams(position, itsMin, itsMax);
}

// Takes a new range and position; the position is clamped into the range, and a position
// that differs from the old one raises OnChange once.
void TTrackBar::SetParams(int position, int min, int max) {
    position = std::clamp(position, min, max);
    {
        const QSignalBlocker blocker(Slider());
        itsMin = min;
        itsMax = max;
        Slider()->setRange(min, max);
        Slider()->setValue(position);
    }
    if (position != itsPosition) {
        itsPosition = position;
        Changed();
    }
}

void TTrackBar::UserMoved(int value) {
    if (value != itsPosition) {
        itsPosition = value;
        Changed();
    }
}

void TTrackBar::Changed() {
    if (OnChange) {
        OnChange(this);
    }
}

void TTrackBar::SetFrequency(int frequency) {
    itsFrequency = std::max(1, frequency);
    ApplyTicks();
}

void TTrackBar::SetPageSize(int pageSize) {
    itsPageSize = pageSize;
    Slider()->setPageStep(pageSize);
}

void TTrackBar::SetLineSize(int lineSize) {
    itsLineSize = lineSize;
    Slider()->setSingleStep(lineSize);
}

void TTrackBar::SetOrientation(TTrackBarOrientation orientation) {
    itsOrientation = orientation;
    Slider()->setOrientation(orientation == trHorizontal ? Qt::Horizontal : Qt::Vertical);
    // A vertical bar has its minimum at the top.
    Slider()->setInvertedAppearance(orientation == trVertical);
    Slider()->setInvertedControls(orientation == trVertical);
    ApplyTicks();
}

void TTrackBar::SetTickStyle(TTickStyle style) {
    itsTickStyle = style;
    ApplyTicks();
}

void TTrackBar::SetTickMarks(TTickMark marks) {
    itsTickMarks = marks;
    ApplyTicks();
}

void TTrackBar::ApplyTicks() {
    QSlider::TickPosition position = QSlider::NoTicks;
    if (itsTickStyle == tsAuto) {
        switch (itsTickMarks) {
        case tmBottomRight:
            position = QSlider::TicksBelow;
            break;
        case tmTopLeft:
            position = QSlider::TicksAbove;
            break;
        case tmBoth:
            position = QSlider::TicksBothSides;
            break;
        }
    }
    Slider()->setTickPosition(position);
    Slider()->setTickInterval(itsFrequency);
}

// ---- TTabSheet ----

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
    SetParentColor(true);
    TControl::SetVisible(false);
}

TTabSheet::~TTabSheet() {
    if (itsPageControl != nullptr) {
        itsPageControl->RemovePage(this);
    }
}

void TTabSheet::SetPageControl(TPageControl* pageControl) {
    if (pageControl == itsPageControl) {
        return;
    }
    if (itsPageControl != nullptr) {
        itsPageControl->RemovePage(this);
    }
    itsPageControl = pageControl;
    SetParent(pageControl);
    if (pageControl != nullptr) {
        pageControl->InsertPage(this);
    }
}

int TTabSheet::GetPageIndex() const {
    if (itsPageControl == nullptr) {
        return -1;
    }
    for (int i = 0; i < itsPageControl->GetPageCount(); ++i) {
        if (itsPageControl->GetPage(i) == this) {
            return i;
        }
    }
    return -1;
}

void TTabSheet::CaptionChanged() {
    if (itsPageControl != nullptr) {
        itsPageControl->PageCaptionChanged(this);
    }
}

// ---- TPageControl ----

TPageControl::TPageControl(TComponent* AOwner) : TWinControl(AOwner) {
    itsTabBar = new QTabBar(Widget());
    itsTabBar->setDrawBase(true);
    itsTabBar->setExpanding(false);
    QObject::connect(itsTabBar, &QTabBar::currentChanged, [this](int index) {
        if (!itsSyncingTabs) {
            CallGuarded([this, index] { TabBarClicked(index); });
        }
    });
    SetTabStop(true);
    SetBounds(0, 0, 289, 193);
}

TPageControl::~TPageControl() {
    QObject::disconnect(itsTabBar, nullptr, nullptr, nullptr);
    for (TTabSheet* page : itsPages) {
        page->itsPageControl = nullptr;
    }
    itsPages.clear();
}

void TPageControl::InsertPage(TTabSheet* page) {
    itsPages.push_back(page);
    itsSyncingTabs = true;
    itsTabBar->addTab(QString::fromUtf8(page->GetCaption().c_str()));
    itsSyncingTabs = false;
    itsTabBar->setVisible(true);
    LayoutPages();
    if (itsActivePage == nullptr) {
        SetActivePage(page);
    } else {
        ShowActivePage();
    }
}

void TPageControl::RemovePage(TTabSheet* page) {
    auto it = std::find(itsPages.begin(), itsPages.end(), page);
    if (it == itsPages.end()) {
        return;
    }
    const int index = static_cast<int>(it - itsPages.begin());
    itsPages.erase(it);
    itsSyncingTabs = true;
    itsTabBar->removeTab(index);
    itsSyncingTabs = false;
    if (itsActivePage == page) {
        itsActivePage = nullptr;
        if (!itsPages.empty()) {
            SetActivePage(itsPages[static_cast<size_t>(std::min(index, GetPageCount() - 1))]);
        }
    }
}

void TPageControl::PageCaptionChanged(TTabSheet* page) {
    const int index = page->GetPageIndex();
    if (index >= 0) {
        itsTabBar->setTabText(index, QString::fromUtf8(page->GetCaption().c_str()));
        LayoutPages();
    }
}

void TPageControl::SetActivePage(TTabSheet* page) {
    if (page == itsActivePage || (page != nullptr && page->GetPageControl() != this)) {
        return;
    }
    itsActivePage = page;
    itsSyncingTabs = true;
    itsTabBar->setCurrentIndex(page != nullptr ? page->GetPageIndex() : -1);
    itsSyncingTabs = false;
    ShowActivePage();
}

int TPageControl::GetActivePageIndex() const {
    return itsActivePage != nullptr ? itsActivePage->GetPageIndex() : -1;
}

void TPageControl::SetActivePageIndex(int index) {
    SetActivePage(index >= 0 && index < GetPageCount() ? itsPages[static_cast<size_t>(index)]
                                                       : nullptr);
}

void TPageControl::SelectTabAsUser(int index) {
    if (index < 0 || index >= GetPageCount()) {
        return;
    }
    TTabSheet* page = itsPages[static_cast<size_t>(index)];
    if (page != itsActivePage) {
        SetActivePage(page);
        Change();
    }
}

void TPageControl::TabBarClicked(int index) {
    SelectTabAsUser(index);
}

void TPageControl::Change() {
    if (OnChange) {
        OnChange(this);
    }
}

void TPageControl::SetTabHeight(int height) {
    itsTabHeight = std::max(0, height);
    ApplyTabStyle();
}

void TPageControl::SetTabWidth(int width) {
    itsTabWidth = std::max(0, width);
    ApplyTabStyle();
}

void TPageControl::ApplyTabStyle() {
    QString style = QStringLiteral("padding: 0px;");
    if (itsTabHeight > 0) {
        style += QStringLiteral("height: %1px;").arg(itsTabHeight);
    }
    if (itsTabWidth > 0) {
        style += QStringLiteral("width: %1px;").arg(itsTabWidth);
    }
    itsTabBar->setStyleSheet(QStringLiteral("QTabBar::tab {%1}").arg(style));
    LayoutPages();
}

void TPageControl::ShowActivePage() {
    for (TTabSheet* page : itsPages) {
        page->SetVisible(page == itsActivePage);
    }
}

// The page area lies under the tabs, inside a thin border. A fixed tab height is the row's
// height, whatever the style would make of the font; only tabs sized to their captions ask it.
void TPageControl::AdjustClientRect(TRect& rect) const {
    int tabs = 0;
    if (!itsPages.empty()) {
        tabs = itsTabHeight > 0 ? itsTabHeight : itsTabBar->sizeHint().height();
    }
    rect = {rect.Left + 4, rect.Top + tabs + 4, rect.Right - 4, rect.Bottom - 4};
}

void TPageControl::LayoutPages() {
    TRect area = GetClientRect();
    AdjustClientRect(area);
    itsTabBar->setGeometry(0, 0, GetWidth(), std::max(0, area.Top - 4));
    for (TTabSheet* page : itsPages) {
        page->SetBounds(area.Left, area.Top, std::max(0, area.Width()), std::max(0, area.Height()));
    }
}

void TPageControl::FontChanged() {
    TWinControl::FontChanged();
    itsTabBar->setFont(GetFont()->ToQFont());
    LayoutPages();
}

void TPageControl::Resize() {
    LayoutPages();
    TWinControl::Resize();
}

} // namespace tk
