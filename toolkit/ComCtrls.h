// Track bar, page control and tab sheets.
#pragma once

#include "toolkit/Controls.h"

#include <vector>

class QSlider;
class QTabBar;

namespace tk {

enum TTrackBarOrientation { trHorizontal, trVertical };
enum TTickStyle { tsNone, tsAuto, tsManual };
enum TTickMark { tmBottomRight, tmTopLeft, tmBoth };

// Position stays within Min..Max: a value outside is clamped. OnChange runs once for every
// actual change of Position, whether the user or code moved it (also when a new Min or Max
// moves it); an unchanged position raises nothing.
class TTrackBar : public TWinControl {
public:
    explicit TTrackBar(TComponent* AOwner);

    int GetMin() const { return itsMin; }
    // A Min above Max raises Max to it.
    void SetMin(int min);
    int GetMax() const { return itsMax; }
    // A Max below Min lowers Min to it.
    void SetMax(int max);
    int GetPosition() const { return itsPosition; }
    void SetPosition(int position);
    int GetFrequency() const { return itsFrequency; }
    void SetFrequency(int frequency);
    int GetPageSize() const { return itsPageSize; }
    void SetPageSize(int pageSize);
    int GetLineSize() const { return itsLineSize; }
    void SetLineSize(int lineSize);
    TTrackBarOrientation GetOrientation() const { return itsOrientation; }
    void SetOrientation(TTrackBarOrientation orientation);
    TTickStyle GetTickStyle() const { return itsTickStyle; }
    void SetTickStyle(TTickStyle style);
    TTickMark GetTickMarks() const { return itsTickMarks; }
    void SetTickMarks(TTickMark marks);

    TNotifyEvent OnChange;

protected:
    virtual void Changed();

private:
    QSlider* Slider() const;
    void SetParams(int position, int min, int max);
    void UserMoved(int value);
    void ApplyTicks();

    int itsMin = 0;
    int itsMax = 10;
    int itsPosition = 0;
    int itsFrequency = 1;
    int itsPageSize = 2;
    int itsLineSize = 1;
    TTrackBarOrientation itsOrientation = trHorizontal;
    TTickStyle itsTickStyle = tsAuto;
    TTickMark itsTickMarks = tmBottomRight;
};

class TPageControl;

// One page of a page control; its Caption is the tab's text.
class TTabSheet : public TWinControl {
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;

    TPageControl* GetPageControl() const { return itsPageControl; }
    // Adds the sheet as the last page of the page control (or takes it off with nullptr).
    void SetPageControl(TPageControl* pageControl);
    int GetPageIndex() const;

protected:
    void CaptionChanged() override;

private:
    friend class TPageControl;
    TPageControl* itsPageControl = nullptr;
};

// Tabs in the order the sheets joined; only the active sheet shows. OnChange runs after the
// user selected another tab; setting ActivePage from code raises nothing.
class TPageControl : public TWinControl {
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;

    int GetPageCount() const { return static_cast<int>(itsPages.size()); }
    TTabSheet* GetPage(int index) const { return itsPages.at(index); }
    TTabSheet* GetActivePage() const { return itsActivePage; }
    void SetActivePage(TTabSheet* page);
    int GetActivePageIndex() const;
    void SetActivePageIndex(int index);
    bool GetMultiLine() const { return itsMultiLine; }
    void SetMultiLine(bool multiLine) { itsMultiLine = multiLine; }
    // Fixed tab sizes in pixels (0: sized to the caption).
    int GetTabHeight() const { return itsTabHeight; }
    void SetTabHeight(int height);
    int GetTabWidth() const { return itsTabWidth; }
    void SetTabWidth(int width);

    // Selects a tab as the user's click does (raises OnChange when the page changes).
    void SelectTabAsUser(int index);

    TNotifyEvent OnChange;

protected:
    void Resize() override;
    void FontChanged() override;
    void AdjustClientRect(TRect& rect) const override;
    virtual void Change();

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void PageCaptionChanged(TTabSheet* page);
    void LayoutPages();
    void ShowActivePage();
    void ApplyTabStyle();
    void TabBarClicked(int index);
    QTabBar* itsTabBar = nullptr;
    std::vector<TTabSheet*> itsPages;
    TTabSheet* itsActivePage = nullptr;
    bool itsMultiLine = false;
    int itsTabHeight = 0;
    int itsTabWidth = 0;
    bool itsSyncingTabs = false;
};

} // namespace tk
