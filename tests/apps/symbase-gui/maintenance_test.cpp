#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

#include "findings_window.h"
#include "gui_fixture.h"
#include "long_call.h"
#include "recent_bases.h"
#include "transfer.h"
#include "xbase/engine.h"
#include "xbase/result.h"

using testing_support::Action;
using testing_support::GuiFixture;

namespace {

constexpr int kWords = 60;

// The plant and %MW100... %MW159 named Mot_100... Mot_159; "" when written.
QString CreatePlant(GuiFixture& fixture) {
  QString error = fixture.CreateBase({{"%MW10", "Seuil_haut", "Seuil de démarrage"},
                                      {"%MW11", "Seuil_bas", "Seuil d'arrêt"},
                                      {"%Q2.0", "Pompe_1", "Commande pompe 1"},
                                      {"%I1.2", "Niveau_haut", "Flotteur haut"}});
  for (int i = 100; i < 100 + kWords && error.isEmpty(); ++i) {
    error = gui::CreateObject(fixture.Session(), QStringLiteral("%MW%1").arg(i),
                              QStringLiteral("Mot_%1").arg(i), QStringLiteral("mot %1").arg(i),
                              nullptr);
  }
  return error;
}
constexpr int kPlantRows = 4 + kWords;

// Replaces the first `from` in a file by `to`, of the same length, behind
// the library's back; false when the file lacks it.
bool Overwrite(const QString& path, const QByteArray& from, const QByteArray& to) {
  QFile file(path);
  if (!file.open(QIODevice::ReadWrite)) return false;
  QByteArray bytes = file.readAll();
  const qsizetype at = bytes.indexOf(from);
  if (at < 0) return false;
  bytes.replace(at, to.size(), to);
  return file.seek(0) && file.write(bytes) == bytes.size();
}

// Each line of the findings window as "file|kind|text".
QStringList Lines(gui::FindingsWindow& window) {
  QStringList lines;
  QTableWidget* list = window.List();
  for (int row = 0; row < list->rowCount(); ++row) {
    lines << QStringList{list->item(row, 0)->text(), list->item(row, 1)->text(),
                         list->item(row, 2)->text()}
                 .join('|');
  }
  return lines;
}

// Another engine session on the base, holding it for writing as another
// program's long call would, half-way through its writes: the first row is
// deleted and recalled (written back as it was), so that even a read made
// without the lock sees the base changing. Let go when destroyed.
class BaseHolder {
 public:
  explicit BaseHolder(const QString& directory) {
    xbase::EngineInit(&session_, 0, 0);
    const QByteArray lead = (directory + QStringLiteral("/KR9.DBF")).toLocal8Bit();
    xbase::Table* table = xbase::TableOpen(&session_, lead.constData());
    held_ = table != nullptr && xbase::EngineBegin(&session_, 1) == xbase::kOk &&
            xbase::TableGo(table, 1) == xbase::kOk && xbase::RecordDelete(table) == xbase::kOk &&
            xbase::TableGo(table, 1) == xbase::kOk && xbase::RecordRecall(table) == xbase::kOk &&
            xbase::TableGo(table, 1) == xbase::kOk;
  }
  ~BaseHolder() {
    if (held_) xbase::EngineCommit(&session_);
    xbase::EngineEnd(&session_);
  }
  bool Held() const { return held_; }

 private:
  xbase::Session session_;
  bool held_ = false;
};

// Seuil_bas at %MW11 and Seuil_haut at %MW10, reloaded by symbol: the
// addresses alone, the texts left to be read when the rows are drawn.
QString CreateUnread(GuiFixture& fixture) {
  const QString error =
      fixture.CreateBase({{"%MW10", "Seuil_haut", ""}, {"%MW11", "Seuil_bas", ""}});
  gui::ViewOrder bySymbol;
  bySymbol.sort = gui::SortOrder::kBySymbol;
  fixture.Window().Model().Load(bySymbol);
  fixture.Window().Model().FinishLoading();
  return error;
}

enum class Busy { kEdit, kCheck, kRepair, kImport, kExport, kCompact };

}  // namespace

Q_DECLARE_METATYPE(Busy)

class MaintenanceTest : public QObject {
  Q_OBJECT

 private slots:
  void TheCheckAndTheRepairAreShownInTheFindingsWindow_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QString>("found");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<QString>("repaired");
    QTest::addColumn<int>("after");
    QTest::newRow("an index saying Pompe_7, mended")
        << "KR9S.MDX" << QByteArray("Pompe_1") << QByteArray("Pompe_7") << "KR9S.MDX|index|"
        << QString::fromUtf8("La base a des défauts que la réparation corrige")
        << QString::fromUtf8("La base est réparée.") << 0;
    QTest::newRow("two rows with one symbol, shown")
        << "KR9.DBF" << QByteArray("Mot_101") << QByteArray("Mot_100") << "KR9.DBF|lignes|"
        << QString::fromUtf8("il faut examiner")
        << QString::fromUtf8("La base est réparée en partie") << int{TB_CHECK_DAMAGED};
  }
  void TheCheckAndTheRepairAreShownInTheFindingsWindow() {
    QFETCH(QString, file);
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QString, found);
    QFETCH(QString, checked);
    QFETCH(QString, repaired);
    QFETCH(int, after);
    GuiFixture fixture;
    gui::MainWindow& window = fixture.Window();
    QCOMPARE(CreatePlant(fixture), QString());
    window.CloseBase();
    QVERIFY(Overwrite(fixture.Directory() + '/' + file, from, to));
    QCOMPARE(window.OpenBase(fixture.Directory()), QString());
    QVERIFY(window.SelectAddress("%MW11"));

    Action(window, QString::fromUtf8("&Vérifier la base"))->trigger();
    gui::FindingsWindow* findings = window.Findings();
    QVERIFY(findings != nullptr && findings->isVisible());
    QCOMPARE(findings->windowTitle(), QString::fromUtf8("Vérification de la base"));
    QVERIFY2(findings->Verdict()->text().contains(checked),
             qPrintable(findings->Verdict()->text()));
    QVERIFY2(!Lines(*findings).filter(found).isEmpty(), qPrintable(Lines(*findings).join('\n')));
    QVERIFY(findings->RepairButton()->isVisible());

    QTest::mouseClick(findings->RepairButton(), Qt::LeftButton);
    QCOMPARE(findings->windowTitle(), QString::fromUtf8("Réparation de la base"));
    QVERIFY2(findings->Verdict()->text().startsWith(repaired),
             qPrintable(findings->Verdict()->text()));
    QVERIFY(!findings->RepairButton()->isVisible());
    QVERIFY(fixture.Session().IsOpen());
    QCOMPARE(window.Model().AddressAt(window.Table()->currentIndex().row()), QByteArray("%MW11"));
    QCOMPARE(window.CheckBase().result, after);
    QCOMPARE(fixture.messages, QStringList());
  }

  void AnIndexThatCannotBeOpenedIsOfferedTheRepairAtOpening_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("missing");
    QTest::addColumn<bool>("repair");
    QTest::addColumn<QString>("fault");
    QTest::newRow("missing, repaired")
        << "KR9S.MDX" << true << true << QString::fromUtf8("l'index KR9S.MDX est absent");
    QTest::newRow("damaged, repaired")
        << "KR9R.MDX" << false << true << QString::fromUtf8("l'index KR9R.MDX est endommagé");
    QTest::newRow("missing, declined")
        << "KR9CMTR.MDX" << true << false << QString::fromUtf8("l'index KR9CMTR.MDX est absent");
  }
  void AnIndexThatCannotBeOpenedIsOfferedTheRepairAtOpening() {
    QFETCH(QString, file);
    QFETCH(bool, missing);
    QFETCH(bool, repair);
    QFETCH(QString, fault);
    GuiFixture fixture;
    QCOMPARE(CreatePlant(fixture), QString());
    fixture.Window().CloseBase();
    const QString path = fixture.Directory() + '/' + file;
    if (missing) {
      QVERIFY(QFile::remove(path));
    } else {
      QFile damaged(path);  // a header of zeros
      QVERIFY(damaged.open(QIODevice::ReadWrite) && damaged.write(QByteArray(512, '\0')) == 512);
    }
    fixture.answers = {repair ? kHostIdYes : kHostIdNo};
    const QString error = fixture.Window().OpenBase(fixture.Directory());
    QCOMPARE(fixture.messages.size(), 1);
    const QString question = fixture.messages.first();
    QVERIFY2(question.contains(fault), qPrintable(question));
    QVERIFY(question.contains(fixture.Directory()));
    QVERIFY(question.endsWith(QString::fromUtf8("Réparer la base maintenant ?")));
    QVERIFY2(!question.contains(QStringLiteral("146")), qPrintable(question));
    if (!repair) {
      QVERIFY(error.contains(fault));
      QVERIFY(!fixture.Session().IsOpen());
      QVERIFY(gui::RecentBases().contains(fixture.Directory()));
      return;
    }
    QCOMPARE(error, QString());
    QVERIFY(fixture.Window().Findings()->Verdict()->text().startsWith(
        QStringLiteral("La base est réparée.")));
    fixture.Window().Model().FinishLoading();
    QCOMPARE(fixture.Window().Model().rowCount(), kPlantRows);
  }

  void ABaseKeptBusyElsewhereIsToldInWords_data() {
    QTest::addColumn<Busy>("action");
    QTest::addColumn<QString>("words");
    QTest::newRow("a cell edited")
        << Busy::kEdit << QString::fromUtf8("occupée par un autre programme : rien");
    QTest::newRow("the check") << Busy::kCheck
                               << QString::fromUtf8("la vérification n'a pas pu se faire");
    QTest::newRow("the repair") << Busy::kRepair
                                << QString::fromUtf8("ouverte par un autre programme");
    QTest::newRow("an import") << Busy::kImport
                               << QString::fromUtf8("l'import s'est arrêté à la ligne 2");
    QTest::newRow("the export") << Busy::kExport << QString::fromUtf8("l'export n'a pas été fait");
    QTest::newRow("the compaction")
        << Busy::kCompact << QString::fromUtf8("elle n'a pas été compactée");
  }
  void ABaseKeptBusyElsewhereIsToldInWords() {
    QFETCH(Busy, action);
    QFETCH(QString, words);
    GuiFixture fixture;
    gui::MainWindow& window = fixture.Window();
    QCOMPARE(CreatePlant(fixture), QString());
    std::optional<BaseHolder> holder(std::in_place, fixture.Directory());
    QVERIFY(holder->Held());
    switch (action) {
      case Busy::kEdit:
        QVERIFY(!window.Model().setData(
            window.Model().index(window.Model().RowOf("%MW11"), gui::ObjectModel::kSymbol),
            QStringLiteral("Seuil_2"), Qt::EditRole));
        break;
      case Busy::kCheck:
        QCOMPARE(window.CheckBase().result, 104);
        QVERIFY(window.Findings() == nullptr);
        break;
      case Busy::kRepair:
        QCOMPARE(window.RepairBase().result, 104);
        break;
      case Busy::kImport: {
        const QString csv = fixture.WriteFile("table.csv", "address,symbol,comment\n%MW1,A,\n");
        QCOMPARE(window.ImportFile(csv).busyAt, 2);
        break;
      }
      case Busy::kExport:
        QVERIFY(!window.ExportFile(fixture.Directory() + "/out.csv").isEmpty());
        QVERIFY(!QFile::exists(fixture.Directory() + "/out.csv"));
        break;
      case Busy::kCompact:
        QVERIFY(!window.Compact().isEmpty());
        break;
    }
    QVERIFY(!fixture.messages.isEmpty());
    QVERIFY2(fixture.messages.first().contains(words), qPrintable(fixture.messages.first()));
    for (const QString& message : fixture.messages) {
      QVERIFY2(!message.contains(QStringLiteral("104")) && !message.contains("146"),
               qPrintable(message));
    }
    QCOMPARE(fixture.messages.removeDuplicates(), 0);  // each said once
    holder.reset();
    QCOMPARE(fixture.Row("%MW11"), QString::fromUtf8("Seuil_bas|Seuil d'arrêt"));
    QCOMPARE(fixture.Row("%MW1"), QString());
    QCOMPARE(fixture.Session().Count(), static_cast<long>(kPlantRows));
  }

  void ALoadCutShortByABusyBaseIsToldOnce() {
    GuiFixture fixture;
    gui::MainWindow& window = fixture.Window();
    QCOMPARE(fixture.CreateBase(), QString());
    // More rows than one step of the load hands out.
    for (int i = 0; i < 2100; ++i) {
      QCOMPARE(gui::CreateObject(fixture.Session(), QStringLiteral("%MW%1").arg(i), QString(),
                                 QString(), nullptr),
               QString());
    }
    window.Model().Load(window.Model().Order());
    QVERIFY(window.Model().IsLoading());
    BaseHolder holder(fixture.Directory());
    QVERIFY(holder.Held());
    window.Model().FinishLoading();
    QCoreApplication::processEvents();  // the step queued before runs now
    QCOMPARE(fixture.messages.size(), 1);
    QVERIFY2(fixture.messages[0].contains(QString::fromUtf8("la liste des objets est incomplète")),
             qPrintable(fixture.messages[0]));
    QVERIFY(window.Model().rowCount() < 2100);
  }

  void TextsUnreadWhileTheBaseIsBusyComeBackOnceFree() {
    GuiFixture fixture;
    gui::MainWindow& window = fixture.Window();
    QCOMPARE(CreateUnread(fixture), QString());
    QCOMPARE(window.Model().CachedRows(), 0);
    window.Model().SetBusyRetry(100);  // the retry waits 3 s for a person
    std::optional<BaseHolder> holder(std::in_place, fixture.Directory());
    QVERIFY(holder->Held());
    QSignalSpy busy(&window.Model(), &gui::ObjectModel::baseBusy);
    const QModelIndex symbol = window.Model().index(0, gui::ObjectModel::kSymbol);
    QCOMPARE(symbol.data().toString(), QString());
    QCOMPARE(busy.size(), 1);
    QVERIFY(window.statusBar()->currentMessage().contains(
        QString::fromUtf8("occupée par un autre programme")));
    QCOMPARE(window.Model().index(1, gui::ObjectModel::kSymbol).data().toString(), QString());
    QCOMPARE(busy.size(), 1);
    holder.reset();
    QTRY_COMPARE_WITH_TIMEOUT(symbol.data().toString(), QStringLiteral("Seuil_bas"), 10000);
    QCOMPARE(fixture.messages, QStringList());
  }

  // The call blocks until the editor, still turning its event loop, has
  // shown the progress window: a call run on the event loop's own thread
  // would never see it and give up after ten seconds.
  void TheEditorStaysAliveWhileTheCallRuns() {
    GuiFixture fixture;
    gui::MainWindow& window = fixture.Window();
    QCOMPARE(CreateUnread(fixture), QString());

    std::atomic<bool> shown{false};
    QString label;
    QString textMeanwhile = QStringLiteral("unread");
    bool closedMeanwhile = true;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
      auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
      if (progress == nullptr || !progress->isVisible() || shown) return;
      label = progress->labelText();
      textMeanwhile = window.Model().index(0, gui::ObjectModel::kSymbol).data().toString();
      closedMeanwhile = window.close();
      shown = true;
    });
    watch.start(20);
    const int result = gui::RunLongCall(&window, fixture.Session(), QStringLiteral("Essai…"), [&] {
      for (int waited = 0; waited < 10000 && !shown; waited += 10) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
      return shown ? 7 : -1;
    });
    watch.stop();
    QCOMPARE(result, 7);
    QCOMPARE(label, QString::fromUtf8("Essai…"));
    QCOMPARE(textMeanwhile, QString());
    QVERIFY(!closedMeanwhile);
    QVERIFY(window.isVisible());
    QVERIFY(!fixture.Session().Busy());
    window.Model().ShowMissingTexts();
    QCOMPARE(window.Model().index(0, gui::ObjectModel::kSymbol).data().toString(),
             QStringLiteral("Seuil_bas"));
  }
};

QTEST_MAIN(MaintenanceTest)
#include "maintenance_test.moc"
