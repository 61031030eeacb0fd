// A light web view for local pages: Navigate shows an HTML file given by its full path.
// Images whose width or height is given in percent are scaled to that share of the view, so a
// page made of one image at 100% shows it stretched over the whole view.
#pragma once

#include "toolkit/Controls.h"

#include <string>

class QTextBrowser;

namespace tk {

class TWebBrowser : public TWinControl {
public:
    explicit TWebBrowser(TComponent* AOwner);

    // Loads and shows the file; a missing file shows an empty page.
    void Navigate(const std::string& fileName);
    // How often Navigate ran, and the last file it was given.
    int GetNavigateCount() const { return itsNavigateCount; }
    const std::string& GetLocationName() const { return itsLocation; }
    // The text of the page shown (for tests).
    std::string GetDocumentText() const;

    // Raised after every Navigate.
    TNotifyEvent OnNavigate;

protected:
    void Resize() override;

private:
    QTextBrowser* Browser() const;
    void ScaleImages();

    int itsNavigateCount = 0;
    std::string itsLocation;
};

} // namespace tk
