// A speed button that draws several lines of text centred as a block over its face.
#pragma once

#include "toolkit/Buttons.h"
#include "toolkit/Strings.h"

#include <memory>

class TKX3_Button : public tk::TSpeedButton {
public:
    explicit TKX3_Button(tk::TComponent* AOwner);

    // The button's own list: lines added to it or removed from it show at the next paint.
    tk::TStrings* GetCaptions() { return itsCaptions.get(); }
    // Copies the lines of captions (clears the list for nullptr) and repaints.
    void SetCaptions(const tk::TStrings* captions);

protected:
    void Paint() override;
    void DoCaptionsChanged(tk::TObject* Sender);
    void DoPaint();

private:
    std::unique_ptr<tk::TStringList> itsCaptions;
};
