#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <thread>

#include "base_holder.h"
#include "findings_window.h"
#include "gui_fixture.h"
#include "long_call.h"
#include "object_editor.h"
#include "transfer.h"
#include "xbase/engine.h"
#include "xbase/result.h"

using testing_support::Action;
using testing_support::BaseHolder;
using testing_support::GuiFixture;
using testing_support::kPlant;

namespace {

bool Overwrite(const QString& path, const QByteArray& from, const QByteArray& to) {
  QFile file(path);
  if (!file.open(QIODevice::ReadWrite)) return false;
  QByteArray bytes = file.readAll();
  const qsizetype at = bytes.indexOf(from);
  if (at < 0) return false;
  bytes.replace(at, to.size(), to);
  return file.seek(0) && file.write(bytes) == bytes.size();
}

// "file|kind|text" for each line of the findings window.
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

struct Damage {
  QString file;
  QByteArray from, to;  // the first `from` becomes `to`, of the same length
  QString found, checked, repaired;
};

}  // namespace

Q_DECLARE_METATYPE(Damage)

class MaintenanceTest : public QObject {
  Q_OBJECT

 private slots:
  void TheCheckAndTheRepairAreShownInTheFindingsWindow_data() {
    QTest::addColumn<Damage>("damage");
    QTest::newRow("an index saying Pompe_7, mended")
        << Damage{"KR9S.MDX",
                  "Pompe_1",
                  "Pompe_7",
                  "KR9S.MDX|index|",
                  "La base a des défauts que la réparation corrige",
                  "La base est réparée."};
    QTest::newRow("two rows with one symbol, shown")
        << Damage{"KR9.DBF",         "Seuil_haut",       "Seuil_bas ",
                  "KR9.DBF|lignes|", "il faut examiner", "La base est réparée en partie"};
  }
  void TheCheckAndTheRepairAreShownInTheFindingsWindow() {
    QFETCH(Damage, damage);
    GuiFixture fixture;
    gui::MainWindow& window = fixture.Window();
    QCOMPARE(fixture.CreateBase(kPlant), QString());
    window.CloseBase();
    QVERIFY(Overwrite(fixture.Directory() + '/' + damage.file, damage.from, damage.to));
    QCOMPARE(window.OpenBase(fixture.Directory()), QString());
    Action(window, QString("&Vérifier la base"))->trigger();
    gui::FindingsWindow* findings = window.Findings();
    QVERIFY(findings != nullptr && findings->isVisible());
    QVERIFY2(findings->Verdict()->text().contains(damage.checked),
             qPrintable(findings->Verdict()->text()));
    QVERIFY2(!Lines(*findings).filter(damage.found).isEmpty(),
             qPrintable(Lines(*findings).join('\n')));
    QVERIFY(findings->RepairButton()->isVisible());
    QTest::mouseClick(findings->RepairButton(), Qt::LeftButton);
    QVERIFY2(findings->Verdict()->text().startsWith(damage.repaired),
             qPrintable(findings->Verdict()->text()));
    QVERIFY(!findings->RepairButton()->isVisible());
    QVERIFY(fixture.Session().IsOpen());
    QCOMPARE(fixture.messages, QStringList());
  }

  void AnIndexThatCannotBeOpenedIsOfferedTheRepairAtOpening_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("missing");
    QTest::addColumn<bool>("repair");
    QTest::addColumn<QString>("fault");
    QTest::newRow("missing, repaired")
        << "KR9S.MDX" << true << true << QString("l'index KR9S.MDX est absent");
    QTest::newRow("damaged, repaired")
        << "KR9R.MDX" << false << true << QString("l'index KR9R.MDX est endommagé");
    QTest::newRow("missing, declined")
        << "KR9CMTR.MDX" << true << false << QString("l'index KR9CMTR.MDX est absent");
  }
  void AnIndexThatCannotBeOpenedIsOfferedTheRepairAtOpening() {
    QFETCH(QString, file);
    QFETCH(bool, missing);
    QFETCH(bool, repair);
    QFETCH(QString, fault);
    GuiFixture fixture;
    QCOMPARE(fixture.CreateBase(kPlant), QString());
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
    if (!repair) {
      QVERIFY(error.contains(fault));
      QVERIFY(!fixture.Session().IsOpen());
      QVERIFY(!QFile::exists(path));
      return;
    }
    QCOMPARE(error, QString());
    QVERIFY(fixture.Session().IsOpen());
    QVERIFY(fixture.Window().Findings()->Verdict()->text().startsWith(
        QStringLiteral("La base est réparée.")));
    fixture.Window().Model().FinishLoading();
    QCOMPARE(fixture.Window().Model().rowCount(), static_cast<int>(kPlant.size()));
  }

  // The call blocks until the editor, still turning its event loop, has
  // shown the progress window: a call run on the event loop's own thread
  // would never see it and give up after ten seconds.
  void TheEditorStaysAliveWhileTheCallRuns() {
    GuiFixture fixture;
    gui::MainWindow& window = fixture.Window();
    QCOMPARE(fixture.CreateBase(kPlant), QString());
    std::atomic<bool> shown{false};
    bool closedMeanwhile = true;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
      auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
      if (progress == nullptr || !progress->isVisible() || shown) return;
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
    QVERIFY(!closedMeanwhile);  // the window stays while the call runs
    QVERIFY(window.isVisible());
    QVERIFY(!fixture.Session().Busy());  // afterwards the library is the editor's again
  }

  void ABaseKeptBusyElsewhereIsToldInWords() {
    GuiFixture fixture;
    gui::MainWindow& window = fixture.Window();
    QCOMPARE(fixture.CreateBase(kPlant), QString());
    const QString csv = fixture.WriteFile("table.csv", "address,symbol,comment\n%MW1,A,\n");
    const QString out = fixture.Directory() + "/out.csv";
    const BaseHolder holder(fixture.Directory());
    QVERIFY(holder.Held());
    QVERIFY(!window.Model().setData(
        window.Model().index(window.Model().RowOf("%MW11"), gui::ObjectModel::kSymbol),
        QStringLiteral("Seuil_2"), Qt::EditRole));
    QCOMPARE(window.CheckBase().result, 104);
    QVERIFY(window.Findings() == nullptr);
    QCOMPARE(window.RepairBase().result, 104);
    QCOMPARE(window.ImportFile(csv).busyAt, 2);
    QVERIFY(!window.ExportFile(out).isEmpty());
    QVERIFY(!QFile::exists(out));
    QVERIFY(!window.Compact().isEmpty());
    // What ends by reloading the table also says the reload was cut short.
    const QString reload = "la liste des objets est incomplète";
    const QStringList words{"occupée par un autre programme : rien",
                            "la vérification n'a pas pu se faire",
                            "ouverte par un autre programme",
                            reload,
                            "l'import s'est arrêté à la ligne 2",
                            reload,
                            "l'export n'a pas été fait",
                            reload,
                            "elle n'a pas été compactée",
                            reload};
    QCOMPARE(fixture.messages.size(), words.size());
    for (qsizetype i = 0; i < words.size(); ++i) {
      QVERIFY2(fixture.messages[i].contains(words[i]), qPrintable(fixture.messages[i]));
      QVERIFY2(!fixture.messages[i].contains("104") && !fixture.messages[i].contains("146"),
               qPrintable(fixture.messages[i]));
    }
  }
};

QTEST_MAIN(MaintenanceTest)
#include "maintenance_test.moc"
