// Opens a base of N objects (100,000 unless given, at most 400,000) in the
// editor's main window on the offscreen platform and prints how long the
// first rows take to show, how long the whole view takes to load, how long
// scrolling to the end takes page by page, and the resident memory at each
// step, how long the view takes sorted by symbol, and how long the check and
// the repair take from the Base menu (the repair with the base closed and
// opened again, its view reloaded). The base is written first, through the
// library, in a scratch directory.
//
//   gui_open_bench [N]

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "gui_services.h"
#include "main_window.h"

namespace {

constexpr int kDefaultObjects = 100000;
constexpr int kMostObjects = 400000;

// A "VmRSS" or "VmHWM" figure of /proc/self/status, in kilobytes.
long StatusKb(const char* field) {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith(field))
      return line.mid(static_cast<int>(qstrlen(field)) + 1).trimmed().split(' ')[0].toLong();
  }
  return -1;
}

bool WriteBase(const QString& directory, int count) {
  CTBData* base = nullptr;
  TBInitTabisDll(&base);
  const QByteArray path = (directory + '/').toLocal8Bit();
  TBCreateBaseSymbol(base, path.constData(), 0);
  bool ok = true;
  for (int i = 0; i < count && ok; ++i) {
    const QByteArray number = QByteArray::number(i);
    CTBObjetAts object(("%MW" + number).constData(), ("Mot_" + number).constData(),
                       ("Commentaire " + number).constData(), 0, -1);
    ok = TBCreateObject(base, &object) == 0;
  }
  TBCloseBaseSymbol(base);
  TBFreeTabisDll(base);
  return ok;
}

void Line(const char* what, double ms, long rssKb) {
  std::printf("%-44s %10.1f ms   rss %7.1f MiB\n", what, ms, rssKb / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : kDefaultObjects;
  if (count < 1 || count > kMostObjects) {
    std::fprintf(stderr, "usage: gui_open_bench [N], 1 <= N <= %d\n", kMostObjects);
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;
  QApplication application(qtArgc, argv);
  QTemporaryDir directory;
  QElapsedTimer clock;
  clock.start();
  if (!directory.isValid() || !WriteBase(directory.path(), count)) {
    std::fprintf(stderr, "gui_open_bench: the base could not be written\n");
    return 1;
  }
  std::printf("base of %d objects written by the library in %.1f s\n\n", count,
              clock.elapsed() / 1000.0);

  gui::GuiServices services;
  services.SetSettingsEnabled(false);
  services.SetMessageBoxAnswerer([](const QString& message, int) {
    std::fprintf(stderr, "gui_open_bench: %s\n", message.toLocal8Bit().constData());
    return kHostIdOk;
  });
  gui::MainWindow window(services);
  window.show();
  QCoreApplication::processEvents();
  Line("window shown, no base", 0, StatusKb("VmRSS:"));

  gui::ObjectModel& model = window.Model();
  clock.restart();
  if (!window.OpenBase(directory.path()).isEmpty()) return 1;
  model.index(0, gui::ObjectModel::kComment).data();
  window.Table()->grab();  // the first rows painted
  const double first = clock.nsecsElapsed() / 1e6;
  std::printf("first rows shown: %d of %d\n", model.rowCount(), count);
  Line("open, first rows painted", first, StatusKb("VmRSS:"));
  while (model.IsLoading()) QCoreApplication::processEvents();
  Line("whole view loaded (from open)", clock.nsecsElapsed() / 1e6, StatusKb("VmRSS:"));

  clock.restart();
  const int page = std::max(1, window.Table()->viewport()->height() /
                                   window.Table()->verticalHeader()->defaultSectionSize());
  int pages = 0;
  for (int row = 0; row < count; row += page, ++pages) {
    window.Table()->scrollTo(model.index(row, 0), QAbstractItemView::PositionAtTop);
    window.Table()->viewport()->grab();
  }
  const double scrolled = clock.nsecsElapsed() / 1e6;
  Line("scrolled to the end, page by page", scrolled, StatusKb("VmRSS:"));
  std::printf("%d pages of %d rows, %.3f ms a page; rows cached at the end: %d\n", pages, page,
              scrolled / pages, model.CachedRows());
  clock.restart();
  gui::ViewOrder bySymbol;
  bySymbol.sort = gui::SortOrder::kBySymbol;
  model.Load(bySymbol);
  model.FinishLoading();
  Line("whole view again, sorted by symbol", clock.nsecsElapsed() / 1e6, StatusKb("VmRSS:"));
  clock.restart();
  const int checked = window.CheckBase().result;
  Line("check (Base > Vérifier la base)", clock.nsecsElapsed() / 1e6, StatusKb("VmRSS:"));
  clock.restart();
  const int repaired = window.RepairBase().result;
  model.FinishLoading();
  Line("repair, base opened again, view loaded", clock.nsecsElapsed() / 1e6, StatusKb("VmRSS:"));
  if (checked != 0 || repaired != 0) {
    std::fprintf(stderr, "gui_open_bench: check gave %d, repair %d\n", checked, repaired);
    return 1;
  }
  std::printf("peak resident memory: %.1f MiB\n", StatusKb("VmHWM:") / 1024.0);
  return 0;
}
