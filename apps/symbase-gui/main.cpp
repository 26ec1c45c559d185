// symbase-gui: the symbol table editor, a graphical host of the symbol base.

#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "arguments.h"
#include "gui_services.h"
#include "main_window.h"
#include "screenshot.h"

int main(int argc, char** argv) {
  const gui::Arguments arguments =
      gui::ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
  if (!arguments.error.empty()) {
    std::fprintf(stderr, "symbase-gui: %s\n%s", arguments.error.c_str(), gui::Usage());
    return 2;
  }
  if (arguments.help) {
    std::fputs(gui::Usage(), stdout);
    return 0;
  }
  if (arguments.version) {
    std::printf("symbase-gui %s\n", SymbaseVersion());
    return 0;
  }
  // Screenshots need no display.
  if (!arguments.screenshot.empty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  int qtArgc = 1;  // the words were read above; Qt sees the program's name alone
  QApplication application(qtArgc, argv);
  QApplication::setOrganizationName(QStringLiteral("symbase"));
  QApplication::setApplicationName(QStringLiteral("symbase-gui"));
  gui::GuiServices services;
  if (!arguments.screenshot.empty()) return gui::RenderScreenshot(services, arguments);
  gui::MainWindow window(services);
  window.show();
  if (!arguments.directory.empty()) {
    window.OpenBase(QString::fromLocal8Bit(arguments.directory.c_str()));
  }
  return QApplication::exec();
}
