// What the control panel's small dialogs share: their form style, their stacked centred labels
// and their buttons.
#pragma once

#include "toolkit/Forms.h"

#include <string>

// Button-face colour, the dialog font and the dialog border.
void ApplyDialogStyle(tk::TForm* form);

// A label aligned to the top, below the labels created before it, centred.
tk::TLabel* AddStackedLabel(tk::TForm* form, const std::string& caption);

// A button at (left, top) of the given size that closes its modal form with result.
tk::TButton* AddModalButton(tk::TForm* form, const std::string& caption, int left, int top,
                            int width, int height, tk::TModalResult result);
