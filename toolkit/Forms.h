// Forms, frames and the application object.
//
// Usage: a frame built in code, its layout in one place, its logic in handlers.
//
//   class TMyFrame : public tk::TFrame {
//   public:
//       explicit TMyFrame(tk::TComponent* AOwner) : TFrame(AOwner) {
//           using namespace tk;
//           Button = new TButton(this); Button->SetParent(this);
//           Button->SetBounds(8, 8, 75, 25); Button->SetCaption("Start");
//           Button->OnClick = Bind(this, &TMyFrame::ButtonClick);
//           Bar = new TTrackBar(this); Bar->SetParent(this); Bar->SetAlign(alTop);
//           Bar->SetMax(100); Bar->SetPosition(50);              // properties first,
//           Bar->OnChange = Bind(this, &TMyFrame::BarChange);   // then the events
//           Timer = new TTimer(this); Timer->SetInterval(1000);
//           Timer->OnTimer = Bind(this, &TMyFrame::TimerTimer);
//           Box = new TPaintBox(this); Box->SetParent(this); Box->SetAlign(alClient);
//           Box->OnPaint = Bind(this, &TMyFrame::BoxPaint);     // runs after Invalidate
//       }
//   private:
//       void ButtonClick(tk::TObject*) { Box->GetCanvas()->TextOut(0, 0, "now"); } // shows at once
//       void BarChange(tk::TObject*) { Box->Invalidate(); }
//       void TimerTimer(tk::TObject*) {}
//       void BoxPaint(tk::TObject*) { Box->GetCanvas()->FillRect(Box->GetClientRect()); }
//       tk::TButton* Button; tk::TTrackBar* Bar; tk::TTimer* Timer; tk::TPaintBox* Box;
//   };
//
// A program: main() runs tk::Application->Initialize(argc, argv), CreateForm for each form (the
// first is the main form), then Run(), which shows the main form, runs the event loop until
// Terminate and destroys the forms, the last created first. Tests create a QApplication
// themselves (QT_QPA_PLATFORM=offscreen) and may build forms with new/delete directly.
#pragma once

#include "toolkit/Buttons.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Controls.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Graphics.h"
#include "toolkit/Menus.h"
#include "toolkit/StdCtrls.h"

#include <exception>
#include <functional>
#include <memory>
#include <string>

class QWindow;
class QEventLoop;
class QMenuBar;
class QApplication;

namespace tk {

// Title-bar buttons, combined with |.
using TBorderIcons = unsigned;
constexpr TBorderIcons biSystemMenu = 1;
constexpr TBorderIcons biMinimize = 2;
constexpr TBorderIcons biMaximize = 4;
constexpr TBorderIcons biHelp = 8;

enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

// A page's content, placed on a tab sheet or any other parent.
class TFrame : public TCustomControl {
public:
    explicit TFrame(TComponent* AOwner);
};

// A top-level window. Width/Height are the window's size, ClientWidth/ClientHeight the area
// under the menu bar. A form starts hidden.
//
// Closing (Close, the title-bar close button): OnCloseQuery may refuse; then OnClose gets the
// action caHide, which it may change to caNone (stay open), caFree (destroy the form soon)
// or caMinimize. Closing the application's main form terminates the application.
// ShowModal shows the form and runs a nested event loop (timers keep ticking) until
// ModalResult is set (by code or a button's ModalResult) and OnClose does not refuse; any
// other way of closing or hiding it gives mrCancel. Enter presses the focused button, or the
// form's Default button when no button has the focus; Esc presses its Cancel button. A key sent by
// code to the form's Widget() (its window) counts as typed into the form.
class TForm : public TCustomControl {
public:
    explicit TForm(TComponent* AOwner);
    ~TForm() override;

    TFormBorderStyle GetBorderStyle() const { return itsBorderStyle; }
    void SetBorderStyle(TFormBorderStyle style);
    TBorderIcons GetBorderIcons() const { return itsBorderIcons; }
    void SetBorderIcons(TBorderIcons icons);
    // Where the form appears each time it is shown.
    TPosition GetPosition() const { return itsPosition; }
    void SetPosition(TPosition position);
    TWindowState GetWindowState() const { return itsWindowState; }
    void SetWindowState(TWindowState state);
    // With KeyPreview the form's OnKeyPress sees every key typed in the form before its
    // controls do.
    bool GetKeyPreview() const { return itsKeyPreview; }
    void SetKeyPreview(bool preview) { itsKeyPreview = preview; }
    TMainMenu* GetMenu() const { return itsMenu; }
    void SetMenu(TMainMenu* menu);
    TIcon* GetIcon() { return &itsIcon; }

    int GetClientWidth() const override;
    int GetClientHeight() const override;
    void SetClientWidth(int width) override;
    void SetClientHeight(int height) override;
    void SetVisible(bool visible) override;

    void Show();
    void Close();
    bool CloseQuery();
    TModalResult ShowModal();
    TModalResult GetModalResult() const { return itsModalResult; }
    void SetModalResult(TModalResult result);
    bool IsModal() const { return itsModalLoop != nullptr; }
    // Destroys the form once the events being handled have finished.
    void Release();

    // The window, for the window services (created on first use).
    QWindow* GetHandle();
    QWidget* ClientWidget() const override;

    // Raises OnCreate once (CreateForm calls it right after construction; Show does when it
    // has not run yet).
    void DoCreate();

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    bool WidgetEvent(QWidget* widget, QEvent* event) override;
    // The form's preview of a key typed into one of its controls (the application's key
    // filter calls it); returns false when the key was swallowed. A repeated key (held down)
    // presses no button; a held Space clicks the focused button once, as it goes up.
    bool PreviewKey(QEvent* event, bool repeated);
    // Draws the button Enter presses (the focused button, else the Default button) as the
    // default one; runs as the focus moves, when a Default changes, when a control is enabled,
    // disabled, shown or hidden, and when the form shows.
    void UpdateDefaultButton();

protected:
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& action);
    void ApplyGeometry() override;
    void ApplyVisible() override;
    // A form's caption is its window's title.
    void CaptionChanged() override;

private:
    void ApplyWindowFlags();
    void ApplyFrame();
    void PlaceOnShow();
    void CloseModal();
    void SyncGeometryFromWindow();
    void LayoutWindow();
    bool FixedSize() const;
    int MenuHeight() const;

    QWidget* itsClient = nullptr;
    QMenuBar* itsMenuBar = nullptr;
    TMainMenu* itsMenu = nullptr;
    TIcon itsIcon;
    TFormBorderStyle itsBorderStyle = bsSizeable;
    TBorderIcons itsBorderIcons = biSystemMenu | biMinimize | biMaximize;
    TPosition itsPosition = poDesigned;
    TWindowState itsWindowState = wsNormal;
    bool itsKeyPreview = false;
    bool itsCreated = false;
    bool itsShowing = false;
    TModalResult itsModalResult = mrNone;
    QEventLoop* itsModalLoop = nullptr;
    std::shared_ptr<bool> itsAlive;
};

// The running program: its forms (owned), title, icon and event loop.
class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    // Creates the QApplication when none exists yet, and takes the program's path.
    void Initialize(int& argc, char** argv);
    // For a QApplication made by the caller.
    void Initialize();

    const std::string& GetTitle() const { return itsTitle; }
    void SetTitle(const std::string& title);
    TIcon* GetIcon() { return &itsIcon; }
    // The program's own path, absolute.
    std::string GetExeName() const;

    // Creates a form owned by the application; the first form created is the main form.
    template <class T> void CreateForm(T*& reference) {
        reference = new T(this);
        FormCreated(reference);
    }
    TForm* GetMainForm() const { return itsMainForm; }

    // Shows the main form and runs the event loop until Terminate; then destroys the forms,
    // the last created first.
    void Run();
    void Terminate();
    bool GetTerminated() const { return itsTerminated; }
    void ProcessMessages();
    // Destroys the forms the application owns, the last created first.
    void DestroyForms();

    // Shows the standard error box with the exception's message (title: the application's
    // title). Where ExceptionDisplay is set it gets the message instead (tests); on the
    // offscreen and minimal platforms, without it, the message goes to standard error.
    void ShowException(const std::exception& e);
    std::function<void(const std::string& message)> ExceptionDisplay;

private:
    void FormCreated(TForm* form);
    void ComponentRemoved(TComponent* component) override;

    std::string itsTitle;
    TIcon itsIcon;
    TForm* itsMainForm = nullptr;
    bool itsTerminated = false;
    std::string itsExeName;
    std::unique_ptr<QApplication> itsOwnApp;
};

// The program's application object.
extern TApplication* const Application;

} // namespace tk
