// Every caption of the panel's forms and pages fits its control at the font the forms ask for.
#include "main_test_support.h"

#include "components/KX3_Button.h"
#include "toolkit/Forms.h"

#include <QAbstractButton>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace tk;

namespace {

int TextWidth(const TControl* control, const std::string& text) {
    return QFontMetrics(control->GetFont()->ToQFont())
        .horizontalAdvance(QString::fromStdString(text));
}

// The width the control shows of itself: its bounds cut by its parent's client area.
int ShownWidth(const TControl* control) {
    int left = control->GetLeft();
    int right = left + control->GetWidth();
    if (const TWinControl* parent = control->GetParent()) {
        left = std::max(left, 0);
        right = std::min(right, parent->GetClientWidth());
    }
    return right - left;
}

// The width the caption needs, with what each kind draws beside it: the button's frame, the
// check box's or radio button's indicator, the group box's frame, the panel's bevel.
int NeededWidth(const TControl* control) {
    const std::string& caption = control->GetCaption();
    const int text = TextWidth(control, caption);
    QWidget* widget = control->Widget();
    if (auto* push = qobject_cast<QPushButton*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(push);
        const QRect contents =
            push->style()->subElementRect(QStyle::SE_PushButtonContents, &option, push);
        return text + push->width() - contents.width();
    }
    if (qobject_cast<QAbstractButton*>(widget) != nullptr) {
        return widget->sizeHint().width(); // indicator, spacing and text
    }
    if (dynamic_cast<const TCustomGroupBox*>(control) != nullptr) {
        return text + 16;
    }
    if (dynamic_cast<const TCustomPanel*>(control) != nullptr ||
        dynamic_cast<const TSpeedButton*>(control) != nullptr) {
        return text + 4;
    }
    return text; // a label
}

void CollectClipped(const TControl* control, const std::string& form,
                    std::vector<std::string>& clipped) {
    if (auto* sheet = dynamic_cast<const TTabSheet*>(control)) {
        const int room = sheet->GetPageControl()->GetTabWidth() - 8;
        if (TextWidth(sheet, sheet->GetCaption()) > room) {
            clipped.push_back(form + ": tab \"" + sheet->GetCaption() + "\"");
        }
    } else if (!control->GetCaption().empty() && dynamic_cast<const TForm*>(control) == nullptr &&
               NeededWidth(control) > ShownWidth(control)) {
        clipped.push_back(form + ": \"" + control->GetCaption() + "\" needs " +
                          std::to_string(NeededWidth(control)) + ", has " +
                          std::to_string(ShownWidth(control)));
    }
    if (auto* container = dynamic_cast<const TWinControl*>(control)) {
        for (int i = 0; i < container->ControlCount(); ++i) {
            CollectClipped(container->GetControl(i), form, clipped);
        }
    }
}

TEST(Captions, EveryCaptionFitsItsControlAtTheMappedFont) {
    PanelForms forms;
    const TFont dialogFont;
    // Where several foundries make the family, its name carries the foundry: "Nimbus Sans [urw]".
    const std::string family = QFontInfo(dialogFont.ToQFont()).family().toStdString();
    ASSERT_TRUE(family == "Nimbus Sans" || family.rfind("Nimbus Sans [", 0) == 0)
        << family << ": the font the forms ask for must be installed (fonts-urw-base35)";
    const std::vector<TForm*> all = {KXBW3_Main,    KXBW3_CalibScreen, KXBW3_SenseScreen,
                                     KXBW3_Save,    KXBW3_Exit,        KXBW3_UserManual,
                                     KXBW3_Version, KXBW3_License,     KXBW3_About};
    std::vector<std::string> clipped;
    for (TForm* form : all) {
        CollectClipped(form, form->GetCaption(), clipped);
    }
    EXPECT_TRUE(clipped.empty()) << ::testing::PrintToString(clipped);
}

} // namespace
