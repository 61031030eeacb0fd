// Standard controls drawn by the platform: label, push button, check box, radio button and
// group box. Moving them from code raises the same events as a user's input.
#pragma once

#include "toolkit/Controls.h"

class QLabel;
class QPushButton;
class QCheckBox;
class QRadioButton;

namespace tk {

enum TTextLayout { tlTop, tlCenter, tlBottom };

class TLabel : public TControl {
public:
    explicit TLabel(TComponent* AOwner);

    // With AutoSize (the default) the label takes its text's size after every change.
    bool GetAutoSize() const { return itsAutoSize; }
    void SetAutoSize(bool autoSize);
    TAlignment GetAlignment() const { return itsAlignment; }
    void SetAlignment(TAlignment alignment);
    TTextLayout GetLayout() const { return itsLayout; }
    void SetLayout(TTextLayout layout);
    bool GetWordWrap() const { return itsWordWrap; }
    void SetWordWrap(bool wordWrap);
    // A transparent label shows its parent's background; otherwise it fills with Color.
    bool GetTransparent() const { return itsTransparent; }
    void SetTransparent(bool transparent);

protected:
    void CaptionChanged() override;
    void FontChanged() override;
    void ColorChanged() override;

private:
    QLabel* Label() const;
    void ApplyAlignment();
    void AdjustBounds();

    bool itsAutoSize = true;
    TAlignment itsAlignment = taLeftJustify;
    TTextLayout itsLayout = tlTop;
    bool itsWordWrap = false;
    bool itsTransparent = true;
};

// Modal results, carried by buttons and returned by TForm::ShowModal.
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* AOwner);

    // A click gives its form this modal result (ending a modal display) before OnClick runs.
    TModalResult GetModalResult() const { return itsModalResult; }
    void SetModalResult(TModalResult result) { itsModalResult = result; }
    // Default: Enter presses it while no other button has the focus, and it is drawn as the
    // default then; Cancel: Esc presses it.
    bool GetDefault() const { return itsDefault; }
    void SetDefault(bool isDefault);
    bool GetCancel() const { return itsCancel; }
    void SetCancel(bool isCancel) { itsCancel = isCancel; }

    void Click() override;

protected:
    void CaptionChanged() override;
    void FontChanged() override;

private:
    QPushButton* Button() const;

    TModalResult itsModalResult = mrNone;
    bool itsDefault = false;
    bool itsCancel = false;
};

// Raises OnClick whenever its checked state changes, by the user or by SetChecked.
class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* AOwner);

    bool GetChecked() const { return itsChecked; }
    void SetChecked(bool checked);
    TAlignment GetAlignment() const { return itsAlignment; }
    void SetAlignment(TAlignment alignment) { itsAlignment = alignment; }

protected:
    void CaptionChanged() override;
    void FontChanged() override;

private:
    QCheckBox* Box() const;
    void UserToggled(bool checked);

    bool itsChecked = false;
    TAlignment itsAlignment = taRightJustify;
};

// Raises OnClick when it becomes checked, by the user or by SetChecked(true); becoming
// checked unchecks the radio buttons that share its parent (silently).
class TRadioButton : public TWinControl {
public:
    explicit TRadioButton(TComponent* AOwner);

    bool GetChecked() const { return itsChecked; }
    void SetChecked(bool checked);

protected:
    void CaptionChanged() override;
    void FontChanged() override;

private:
    QRadioButton* Radio() const;
    void UserClicked();
    void TurnSiblingsOff();

    bool itsChecked = false;
};

// A framed box with a caption; aligned children share the area inside the frame.
class TCustomGroupBox : public TWinControl {
public:
    explicit TCustomGroupBox(TComponent* AOwner);

protected:
    void CaptionChanged() override;
    void FontChanged() override;
    void AdjustClientRect(TRect& rect) const override;
};

class TGroupBox : public TCustomGroupBox {
public:
    using TCustomGroupBox::TCustomGroupBox;
};

} // namespace tk
