#include "toolkit/StdCtrls.h"

#include "toolkit/Forms.h"
#include "toolkit/WidgetBridge.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace tk {

namespace {

QString ToQString(const std::string& text) {
    return QString::fromUtf8(text.c_str());
}

// Shows the control's font (face and colour) on a widget the platform draws. The colour is
// the enabled text's; disabled text keeps the platform's disabled colour, so that a disabled
// control looks disabled.
void ApplyFont(QWidget* widget, TFont* font) {
    widget->setFont(font->ToQFont());
    const QPalette platform = QApplication::palette();
    QPalette palette = widget->palette();
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
        palette.setColor(QPalette::Active, role, ToQColor(font->GetColor()));
        palette.setColor(QPalette::Inactive, role, ToQColor(font->GetColor()));
        palette.setColor(QPalette::Disabled, role, platform.color(QPalette::Disabled, role));
    }
    widget->setPalette(palette);
}

// The push button of a TButton. The style marks a focused button with the default look
// alone, which the Default button also has while the focus is elsewhere; so the focused
// button gets the focus rectangle as well.
class ButtonWidget : public Bridged<QPushButton> {
public:
    using Bridged<QPushButton>::Bridged;

protected:
    void paintEvent(QPaintEvent* event) override {
        QPushButton::paintEvent(event);
        if (hasFocus()) {
            DrawFocusRect();
        }
    }

private:
    void DrawFocusRect() {
        QStyleOptionButton button;
        initStyleOption(&button);
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.state |= QStyle::State_KeyboardFocusChange; // drawn however the focus came
        focus.rect = style()->subElementRect(QStyle::SE_PushButtonFocusRect, &button, this);
        focus.backgroundColor = palette().button().color();
        QStylePainter painter(this);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
};

TForm* ParentFormOf(TControl* control) {
    for (TControl* c = control; c != nullptr; c = c->GetParent()) {
        if (auto* form = dynamic_cast<TForm*>(c)) {
            return form;
        }
    }
    return nullptr;
}

} // namespace

// ---- TLabel ----

TLabel::TLabel(TComponent* AOwner) : TControl(AOwner, new Bridged<QLabel>(this)) {
    Label()->setTextFormat(Qt::PlainText);
    SetHandlesMouse(true);
    SetParentColor(true);
    ApplyAlignment();
    SetBounds(0, 0, 65, 17);
    AdjustBounds();
}

QLabel* TLabel::Label() const {
    return static_cast<QLabel*>(Widget());
}

void TLabel::SetAutoSize(bool autoSize) {
    itsAutoSize = autoSize;
    AdjustBounds();
}

void TLabel::SetAlignment(TAlignment alignment) {
    itsAlignment = alignment;
    ApplyAlignment();
}

void TLabel::SetLayout(TTextLayout layout) {
    itsLayout = layout;
    ApplyAlignment();
}

void TLabel::SetWordWrap(bool wordWrap) {
    itsWordWrap = wordWrap;
    Label()->setWordWrap(wordWrap);
    AdjustBounds();
}

void TLabel::SetTransparent(bool transparent) {
    itsTransparent = transparent;
    ColorChanged();
}

void TLabel::ApplyAlignment() {
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (itsAlignment == taCenter) {
        horizontal = Qt::AlignHCenter;
    } else if (itsAlignment == taRightJustify) {
        horizontal = Qt::AlignRight;
    }
    Qt::Alignment vertical = Qt::AlignTop;
    if (itsLayout == tlCenter) {
        vertical = Qt::AlignVCenter;
    } else if (itsLayout == tlBottom) {
        vertical = Qt::AlignBottom;
    }
    Label()->setAlignment(horizontal | vertical);
}

void TLabel::CaptionChanged() {
    Label()->setText(ToQString(GetCaption()));
    AdjustBounds();
}

void TLabel::FontChanged() {
    ApplyFont(Label(), GetFont());
    AdjustBounds();
}

void TLabel::ColorChanged() {
    Label()->setAutoFillBackground(!itsTransparent);
    QPalette palette = Label()->palette();
    palette.setColor(QPalette::Window, ToQColor(GetColor()));
    Label()->setPalette(palette);
}

// An auto-sized label takes its text's size; a right-justified one keeps its right edge.
void TLabel::AdjustBounds() {
    if (!itsAutoSize) {
        return;
    }
    const QFontMetrics metrics(GetFont()->ToQFont());
    const QString text = ToQString(GetCaption());
    int width = 0;
    int height = 0;
    if (itsWordWrap) {
        const QRect box =
            metrics.boundingRect(QRect(0, 0, GetWidth(), 100000), Qt::TextWordWrap, text);
        width = GetWidth();
        height = std::max(box.height(), metrics.height());
    } else {
        width = metrics.horizontalAdvance(text);
        height = metrics.height();
    }
    int left = GetLeft();
    if (itsAlignment == taRightJustify && !itsWordWrap) {
        left += GetWidth() - width;
    }
    SetBounds(left, GetTop(), width, height);
}

// ---- TButton ----

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner, new ButtonWidget(this)) {
    Button()->setAutoDefault(false);
    QObject::connect(Button(), &QPushButton::clicked, [this] { CallGuarded([this] { Click(); }); });
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
}

QPushButton* TButton::Button() const {
    return static_cast<QPushButton*>(Widget());
}

void TButton::SetDefault(bool isDefault) {
    itsDefault = isDefault;
    if (TForm* form = ParentFormOf(this)) {
        form->UpdateDefaultButton();
    }
}

void TButton::Click() {
    if (itsModalResult != mrNone) {
        if (TForm* form = ParentFormOf(this)) {
            form->SetModalResult(itsModalResult);
        }
    }
    TWinControl::Click();
}

void TButton::CaptionChanged() {
    Button()->setText(ToQString(GetCaption()));
}

void TButton::FontChanged() {
    TWinControl::FontChanged();
    ApplyFont(Button(), GetFont());
}

// ---- TCheckBox ----

TCheckBox::TCheckBox(TComponent* AOwner) : TWinControl(AOwner, new Bridged<QCheckBox>(this)) {
    QObject::connect(Box(), &QCheckBox::toggled, [this](bool checked) {
        CallGuarded([this, checked] { UserToggled(checked); });
    });
    SetParentColor(true);
    SetTabStop(true);
    SetBounds(0, 0, 97, 17);
}

QCheckBox* TCheckBox::Box() const {
    return static_cast<QCheckBox*>(Widget());
}

void TCheckBox::SetChecked(bool checked) {
    if (checked == itsChecked) {
        return;
    }
    itsChecked = checked;
    {
        const QSignalBlocker blocker(Box());
        Box()->setChecked(checked);
    }
    Click();
}

void TCheckBox::UserToggled(bool checked) {
    if (checked == itsChecked) {
        return;
    }
    itsChecked = checked;
    Click();
}

void TCheckBox::CaptionChanged() {
    Box()->setText(ToQString(GetCaption()));
}

void TCheckBox::FontChanged() {
    TWinControl::FontChanged();
    ApplyFont(Box(), GetFont());
}

// ---- TRadioButton ----

TRadioButton::TRadioButton(TComponent* AOwner)
    : TWinControl(AOwner, new Bridged<QRadioButton>(this)) {
    // Grouping is done here, among the buttons of one parent, not by the platform.
    Radio()->setAutoExclusive(false);
    QObject::connect(Radio(), &QRadioButton::clicked,
                     [this] { CallGuarded([this] { UserClicked(); }); });
    SetParentColor(true);
    SetTabStop(true);
    SetBounds(0, 0, 113, 17);
}

QRadioButton* TRadioButton::Radio() const {
    return static_cast<QRadioButton*>(Widget());
}

void TRadioButton::SetChecked(bool checked) {
    if (checked == itsChecked) {
        return;
    }
    itsChecked = checked;
    {
        const QSignalBlocker blocker(Radio());
        Radio()->setChecked(checked);
    }
    if (checked) {
        TurnSiblingsOff();
        Click();
    }
}

// A click checks the button; clicking a checked button leaves it checked.
void TRadioButton::UserClicked() {
    if (itsChecked) {
        const QSignalBlocker blocker(Radio());
        Radio()->setChecked(true);
        return;
    }
    SetChecked(true);
}

void TRadioButton::TurnSiblingsOff() {
    TWinControl* parent = GetParent();
    if (parent == nullptr) {
        return;
    }
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* sibling = dynamic_cast<TRadioButton*>(parent->GetControl(i));
        if (sibling != nullptr && sibling != this) {
            sibling->SetChecked(false);
        }
    }
}

void TRadioButton::CaptionChanged() {
    Radio()->setText(ToQString(GetCaption()));
}

void TRadioButton::FontChanged() {
    TWinControl::FontChanged();
    ApplyFont(Radio(), GetFont());
}

// ---- TCustomGroupBox ----

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner)
    : TWinControl(AOwner, new Bridged<QGroupBox>(this)) {
    SetHandlesMouse(true);
    SetParentColor(true);
    SetBounds(0, 0, 185, 105);
}

void TCustomGroupBox::CaptionChanged() {
    static_cast<QGroupBox*>(Widget())->setTitle(ToQString(GetCaption()));
}

void TCustomGroupBox::FontChanged() {
    TWinControl::FontChanged();
    ApplyFont(Widget(), GetFont());
    Realign();
}

// Inside the frame, under the caption's line.
void TCustomGroupBox::AdjustClientRect(TRect& rect) const {
    const QFontMetrics metrics(GetFont()->ToQFont());
    rect.Top += metrics.height();
    rect.Left += 2;
    rect.Right -= 2;
    rect.Bottom -= 2;
}

} // namespace tk
