// Quilbex_RightClick: shows the "Right Click" window whenever the shared variable store calls
// for it. It ends when told to from outside (the end of the session, an interrupt) or when its
// display goes away, leaving the store cleanly; its exit code is 0 on every path.
#include "rightclick/RightClickUnit.h"
#include "rightclick/TKX3_RightClickUnit.h"
#include "store/ShareManager.h"
#include "toolkit/DesktopSession.h"

int main(int argc, char** argv) {
    if (!tk::TDesktopSession::CanStart(argc, argv)) {
        return 0;
    }
    using tk::Application;
    try {
        Application->Initialize(argc, argv);
        const tk::TDesktopSession session([] {
            if (KX3_RightClickUnit != nullptr) {
                KX3_RightClickUnit->itsShareManager->SetActive(false);
            }
        });
        Application->CreateForm(KX3_RightClickUnit);
        Application->CreateForm(RightClickForm);
        Application->Run();
    } catch (const tk::Exception& e) {
        Application->ShowException(e);
    } catch (...) {
        Application->ShowException(tk::Exception(""));
    }
    return 0;
}
