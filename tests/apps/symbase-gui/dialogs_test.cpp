#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QtTest>

#include <string>

#include "base_holder.h"
#include "csv.h"
#include "gui_fixture.h"
#include "transfer.h"

using testing_support::BaseHolder;
using testing_support::Click;
using testing_support::Control;
using testing_support::GuiFixture;

namespace {

constexpr int kMessage = 19307;
constexpr int kSymbol = 1002;
constexpr int kAddress = 1004;

gui::ImportSummary Import(GuiFixture& fixture, const QString& rows) {
  return fixture.Window().ImportFile(
      fixture.WriteFile("table.csv", QStringLiteral("address,symbol,comment\n") + rows));
}

}  // namespace

class DialogsTest : public QObject {
  Q_OBJECT

 private slots:
  // Yes moves the symbol; Cancel, once confirmed, interrupts the import.
  void AConflictIsAnsweredOnTheDrawnDialog() {
    GuiFixture fixture;
    QCOMPARE(fixture.CreateBase({{"%MW10", "Seuil_haut", "Seuil de démarrage"},
                                 {"%MW11", "Seuil_bas", "Seuil d'arrêt"}}),
             QString());
    QString question;
    fixture.OnDialogs([&](QDialog& drawn, CDialog&) {
      question = Control<QLabel>(drawn, kMessage)->text();
      Click(drawn, IDYES);
    });
    const gui::ImportSummary summary =
        Import(fixture, "%MW10,Seuil_bas,Seuil relevé\n%MW20,Pompe_1,\n");
    QCOMPARE(fixture.dialogs, 1);
    QVERIFY2(question.startsWith(QStringLiteral("Conflits : le repère %MW10")),
             qPrintable(question));
    QCOMPARE(summary.moved, 1);
    const QString move = QStringLiteral("Seuil_bas : %MW11 → %MW10");
    QCOMPARE(summary.moves, QStringList{move});
    QVERIFY(fixture.messages.last().contains(move));
    fixture.OnDialogs([&](QDialog& drawn, CDialog&) { Click(drawn, IDCANCEL); });
    fixture.answers = {kHostIdYes};
    QVERIFY(Import(fixture, "%MW10,Seuil_bas,nouveau\n%MW50,Suite,\n").interrupted);
  }

  void AFaultyFileWritesNothingAndABusyBaseStopsTheImport() {
    GuiFixture fixture;
    QCOMPARE(fixture.CreateBase({{"%MW1", "A1", ""}}), QString());
    const QString kFaulty[][2] = {{"%MW5,B,\n%ZZ9,x,\n", "ligne 3 : « %ZZ9 » n'est pas un repère"},
                                  {"%MW5,9lives,\n", "ligne 2 : « 9lives » n'est pas un symbole"},
                                  {"%MW5,B,\"a\nb\"\n", "saut de ligne"}};
    for (const auto& faulty : kFaulty) {
      const gui::ImportSummary summary = Import(fixture, faulty[0]);
      QVERIFY2(summary.error.contains(faulty[1]), qPrintable(summary.error));
      QVERIFY(!fixture.messages.isEmpty() && fixture.messages.last().startsWith("Fichier refusé"));
      fixture.messages.clear();
      QCOMPARE(fixture.Session().Count(), 1L);
    }
    QCOMPARE(fixture.dialogs, 0);
    // Held by another program that has not written yet, the base still
    // answers a good row's lookup; its insertion then finds the base busy.
    const BaseHolder idle(fixture.Directory(), true);
    QVERIFY(idle.Held());
    QCOMPARE(Import(fixture, "%MW5,B,\n").busyAt, 2);
  }

  void ExportWritesEveryRowReadableAgain() {
    GuiFixture fixture;
    testing_support::Objects objects = {{"%MW10", "Seuil", "Niveau, en cm"},
                                        {"%I1.2", "Capteur", "« guillemets » \"doubles\""},
                                        {"%MW2", "", "sans symbole"}};
    // Past the first batch of 50.
    for (int i = 100; i < 160; ++i) objects.push_back({"%MW" + std::to_string(i), "", "x"});
    QStringList expected;
    for (const auto& object : objects) {
      expected << QString::fromStdString(object[0] + '|' + object[1] + '|' + object[2]);
    }
    QCOMPARE(fixture.CreateBase(objects), QString());
    const QString path = fixture.Directory() + QStringLiteral("/out.csv");
    QCOMPARE(fixture.Window().ExportFile(path), QString());
    QString error;
    QStringList seen;
    for (const gui::CsvRow& row : gui::ReadCsvFile(path, &error)) {
      seen << row.address + '|' + row.symbol + '|' + row.comment;
    }
    QCOMPARE(error, QString());
    seen.sort();
    expected.sort();
    QCOMPARE(seen, expected);
  }

  // A symbol the base holds is refused and the dialog stays; a typed address is symbolised.
  void SymbolisingRefusesAHeldSymbolAndShowsATypedAddress() {
    GuiFixture fixture;
    QCOMPARE(fixture.CreateBase({{"%MW10", "Seuil_haut", ""}}), QString());
    QVERIFY(fixture.Window().SelectAddress("%MW10"));
    fixture.OnDialogs([&](QDialog& drawn, CDialog& dialog) {
      QTest::keyClick(&drawn, Qt::Key_Return);
      QVERIFY(!dialog.IsDialogEnded());
      QTest::keyClick(&drawn, Qt::Key_Escape);
    });
    QCOMPARE(fixture.Window().Symbolise(), 2);
    QCOMPARE(fixture.messages, QStringList{QString("Le symbole existe déjà dans la base")});
    fixture.Window().Table()->clearSelection();
    fixture.OnDialogs([&](QDialog& drawn, CDialog&) {
      QCOMPARE(Control<QLineEdit>(drawn, kAddress)->text(), QString());
      QTest::keyClicks(Control<QLineEdit>(drawn, kAddress), "%q2.3");
      QTest::keyClicks(Control<QLineEdit>(drawn, kSymbol), "Consigne_vitesse");
      QTest::keyClick(&drawn, Qt::Key_Return);
    });
    QCOMPARE(fixture.Window().Symbolise(), 1);
    QCOMPARE(fixture.Row("%Q2.3"), QStringLiteral("Consigne_vitesse|"));
    gui::ObjectModel& model = fixture.Window().Model();
    QCOMPARE(model.index(model.RowOf("%Q2.3"), gui::ObjectModel::kSymbol).data().toString(),
             QStringLiteral("Consigne_vitesse"));
  }

  void FilesAreReadOrRefused_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("rows");  // "line|address|symbol|comment"
    QTest::addColumn<QString>("error");     // a part of the error; none for a file read
    QTest::newRow("CRLF, BOM, no final break")
        << QByteArray("\357\273\277address,symbol,comment\r\n%MW1,A,c") << QStringList{"2|%MW1|A|c"}
        << QString();
    QTest::newRow("a quoted line break counts lines")
        << QByteArray("address,symbol,comment\n%MW1,A,\"a\nb\"\n%MW2,B,c\n")
        << QStringList{"2|%MW1|A|a\nb", "4|%MW2|B|c"} << QString();
    QTest::newRow("French header, two columns, blank lines")
        << QByteArray("rep\xC3\xA8re,symbole\n\n%MW1,A\n\n") << QStringList{"3|%MW1|A|"}
        << QString();
    QTest::newRow("empty") << QByteArray() << QStringList{} << "la première ligne";
    QTest::newRow("other header") << QByteArray("a,b,c\n") << QStringList{} << "la première ligne";
    QTest::newRow("not UTF-8") << QByteArray("address,symbol,comment\n%MW1,\351t\351,\n")
                               << QStringList{} << "UTF-8";
    QTest::newRow("one field") << QByteArray("address,symbol,comment\n%MW1\n") << QStringList{}
                               << "ligne 2 : 1 champs";
    QTest::newRow("a quote inside an unquoted field")
        << QByteArray("address,symbol,comment\n%MW1,A\"B,\n") << QStringList{}
        << "ligne 2 : guillemet dans un champ";
    QTest::newRow("unclosed quote") << QByteArray("address,symbol,comment\n\n%MW1,\"A,\n")
                                    << QStringList{} << "ligne 3 : guillemet jamais fermé";
  }
  void FilesAreReadOrRefused() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, rows);
    QFETCH(QString, error);
    QString found;
    QStringList read;
    for (const gui::CsvRow& row : gui::ParseCsv(bytes, &found)) {
      read << QStringLiteral("%1|%2|%3|%4").arg(row.line).arg(row.address, row.symbol, row.comment);
    }
    QCOMPARE(read, rows);
    if (error.isEmpty()) QCOMPARE(found, QString());
    QVERIFY2(found.contains(error), qPrintable(found));
  }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
