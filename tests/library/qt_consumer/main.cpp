// A Qt host of the installed library: installs the Qt dialog driver in one
// statement and runs the library's confirmation dialog through it.
#include <symbase/qt/dialog_driver.h>
#include <symbase/symbase.h>

#include <QApplication>
#include <QPushButton>
#include <cstdio>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  symbase_qt::DialogDriver driver;
  int drawn = 0;
  driver.SetShownHook([&](QDialog& dialog, CDialog&) {
    ++drawn;
    dialog.findChild<QPushButton*>("control_7")->click();  // "&Non"
  });
  const QByteArray dir = QByteArray(argc > 1 ? argv[1] : "/tmp") + "/";
  CTBData* base = nullptr;
  TBInitTabisDll(&base);
  TBCreateBaseSymbol(base, dir.constData(), 0);
  CTBObjetAts first("%MW1", "Un", "", 0, -1);
  TBCreateObject(base, &first);
  CTBObjetAts conflict("%MW1", "Autre", "", 0, -1);
  const int result = TBInsertObject(base, &conflict, 2);
  TBCloseBaseSymbol(base);
  TBFreeTabisDll(base);
  std::printf("qt consumer: %d dialog drawn, result %d\n", drawn, result);
  return drawn == 1 && result == 107 ? 0 : 1;
}
