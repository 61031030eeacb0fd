// The main form's components and their properties.
#include "control/KXB3_Main.h"

using namespace tk;

void TKXBW3_Main::CreateLayout() {
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu | biMinimize);
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
    OnCreate = Bind(this, &TKXBW3_Main::FormCreate);

    // The menu first, so that the client area below it keeps its size.
    MainMenu = new TMainMenu(this);
    N1 = new TMenuItem(this);
    N1->SetCaption(" ");
    MainMenu->GetItems()->Add(N1);
    SetMenu(MainMenu);
    SetClientWidth(672);
    SetClientHeight(505);

    PageMain = new TPageControl(this);
    PageMain->SetParent(this);
    PageMain->SetBounds(0, 0, 672, 450);
    PageMain->SetAlign(alTop);
    PageMain->SetMultiLine(true);
    PageMain->SetTabHeight(40);
    PageMain->SetTabWidth(74);
    auto tab = [this](const char* caption) {
        auto* sheet = new TTabSheet(this);
        sheet->SetPageControl(PageMain);
        sheet->SetCaption(caption);
        return sheet;
    };
    TabComms = tab("Connection");
    TabSense = tab("Sensitivity");
    TabCalib = tab("Calibration");
    TabOutput = tab("Mouse");
    TabGraph = tab("Graph");
    TabMonitor = tab("Monitor");
    TabEdge = tab("Edge Gain");
    TabContact = tab("Contact");
    TabHelp = tab("Help");
    PageMain->OnChange = Bind(this, &TKXBW3_Main::PageMainChange);

    Panel1 = new TPanel(this);
    Panel1->SetParent(this);
    Panel1->SetBounds(0, 450, 672, 55);
    Panel1->SetAlign(alClient);

    SaveAndExitButton = new TButton(this);
    SaveAndExitButton->SetParent(Panel1);
    SaveAndExitButton->SetBounds(519, 8, 97, 40);
    SaveAndExitButton->SetCaption("Save and Exit");
    SaveAndExitButton->OnClick = Bind(this, &TKXBW3_Main::SaveAndExitButtonClick);

    ShareManager1 = new TShareManager(this);

    SlowTimer = new TTimer(this);
    SlowTimer->SetEnabled(false);
    SlowTimer->SetInterval(1000);
    SlowTimer->OnTimer = Bind(this, &TKXBW3_Main::SlowTimerTimer);
}
