#ifndef SYMBASE_APPS_GUI_SCREENSHOT_H
#define SYMBASE_APPS_GUI_SCREENSHOT_H

// symbase-gui --screenshot: the editor's window, or one of the library's
// dialogs drawn by the Qt driver and filled with sample values, rendered to a
// PNG file. The dialogs are shown on a sample base in a temporary directory;
// the person's settings are neither read nor written.

#include <QString>

namespace gui {

class GuiServices;
struct Arguments;

// 0 when the file is written; 1 after a message on stderr.
int RenderScreenshot(GuiServices& services, const Arguments& arguments);

}  // namespace gui

#endif
