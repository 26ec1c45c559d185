#include <QLabel>
#include <QtTest>

#include "gui_fixture.h"
#include "transfer.h"

using testing_support::Click;
using testing_support::Control;
using testing_support::GuiFixture;

namespace {

// The confirmation dialog: its message and its buttons.
constexpr int kMessage = 19307;
constexpr int kYes = 6;
constexpr int kYesToAll = 19305;
constexpr int kNo = 7;
constexpr int kNoToAll = 24511;
constexpr int kCancel = 2;

QString WriteCsv(const GuiFixture& fixture, const QString& text) {
  const QString path = fixture.Directory() + QStringLiteral("/table.csv");
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return QString();
  file.write(text.toUtf8());
  return path;
}

}  // namespace

class ImportTest : public QObject {
  Q_OBJECT

 private slots:
  void AConflictAnsweredOnTheDrawnDialogMovesTheSymbol() {
    GuiFixture fixture;
    QCOMPARE(fixture.CreateBase({{"%MW10", "Seuil_haut", "Seuil de démarrage"},
                                 {"%MW11", "Seuil_bas", "Seuil d'arrêt"}}),
             QString());
    QString question;
    fixture.OnDialogs([&](QDialog& drawn, CDialog&) {
      question = Control<QLabel>(drawn, kMessage)->text();
      Click(drawn, kYes);
    });
    const gui::ImportSummary summary = fixture.Window().ImportFile(WriteCsv(
        fixture, "address,symbol,comment\n%MW10,Seuil_bas,Seuil relevé\n%MW20,Pompe_1,\n"));
    QCOMPARE(fixture.dialogs, 1);
    QVERIFY2(question.startsWith(QStringLiteral("Conflits : le repère %MW10")),
             qPrintable(question));
    QCOMPARE(summary.moved, 1);
    QCOMPARE(summary.added, 1);
    QCOMPARE(summary.moves, QStringList{QStringLiteral("Seuil_bas : %MW11 → %MW10")});
    QVERIFY(fixture.messages.last().contains(QStringLiteral("Seuil_bas : %MW11 → %MW10")));
    QCOMPARE(fixture.Row("%MW10"), QString::fromUtf8("Seuil_bas|Seuil relevé"));
    // Another reader of the file sees the symbol where it went.
    const std::map<QString, QString> rows = fixture.ReadMainTable();
    QCOMPARE(rows.at(QStringLiteral("%MW10")), QStringLiteral("Seuil_bas"));
    QCOMPARE(rows.at(QStringLiteral("%MW20")), QStringLiteral("Pompe_1"));
    QVERIFY(rows.count(QStringLiteral("%MW11")) == 0 ||
            rows.at(QStringLiteral("%MW11")) != QStringLiteral("Seuil_bas"));
    QCOMPARE(fixture.Window().Model().rowCount(), static_cast<int>(fixture.Session().Count()));
  }

  void AnswersForAllAreRemembered_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<int>("replaced");
    QTest::addColumn<int>("kept");
    QTest::newRow("Oui pour Tous") << kYesToAll << QStringLiteral("nouveau") << 3 << 0;
    QTest::newRow("Non pour Tous") << kNoToAll << QStringLiteral("ancien") << 0 << 3;
  }
  void AnswersForAllAreRemembered() {
    QFETCH(int, button);
    QFETCH(QString, comment);
    QFETCH(int, replaced);
    QFETCH(int, kept);
    GuiFixture fixture;
    QCOMPARE(fixture.CreateBase(
                 {{"%MW1", "A1", "ancien"}, {"%MW2", "A2", "ancien"}, {"%MW3", "A3", "ancien"}}),
             QString());
    fixture.OnDialogs([&](QDialog& drawn, CDialog&) { Click(drawn, button); });
    const gui::ImportSummary summary = fixture.Window().ImportFile(WriteCsv(
        fixture, "address,symbol,comment\n%MW1,A1,nouveau\n%MW2,A2,nouveau\n%MW3,A3,nouveau\n"));
    QCOMPARE(fixture.dialogs, 1);  // asked once, for the first conflict
    QCOMPARE(summary.replaced, replaced);
    QCOMPARE(summary.kept, kept);
    for (const char* address : {"%MW1", "%MW2", "%MW3"}) {
      QCOMPARE(fixture.Row(address).section('|', 1), comment);
    }
    // The next import asks again.
    fixture.OnDialogs([&](QDialog& drawn, CDialog&) { Click(drawn, kNo); });
    fixture.Window().ImportFile(WriteCsv(fixture, "address,symbol,comment\n%MW1,A1,autre\n"));
    QCOMPARE(fixture.dialogs, 2);
  }

  void CancellingInterruptsOnceConfirmed() {
    GuiFixture fixture;
    QCOMPARE(fixture.CreateBase({{"%MW1", "A1", "ancien"}}), QString());
    fixture.OnDialogs([&](QDialog& drawn, CDialog&) { Click(drawn, kCancel); });
    fixture.answers = {kHostIdYes};  // "Confirmez-vous l'interruption de la fonction?"
    const gui::ImportSummary summary = fixture.Window().ImportFile(
        WriteCsv(fixture, "address,symbol,comment\n%MW1,A1,nouveau\n%MW50,Suite,\n"));
    QVERIFY(summary.interrupted);
    QVERIFY(fixture.messages.first().startsWith(QStringLiteral("Confirmez-vous l'interruption")));
    QCOMPARE(fixture.Row("%MW1"), QStringLiteral("A1|ancien"));
    QCOMPARE(fixture.Row("%MW50"), QString());
  }

  void AFaultyFileWritesNothing_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error");
    QTest::newRow("bad address") << "address,symbol,comment\n%MW5,B,\n%ZZ9,x,\n"
                                 << "ligne 3 : « %ZZ9 » n'est pas un repère";
    QTest::newRow("bad symbol") << "address,symbol,comment\n%MW5,9lives,\n"
                                << "ligne 2 : « 9lives » n'est pas un symbole";
    QTest::newRow("no header") << "%MW5,B,\n"
                               << "la première ligne";
    QTest::newRow("open quote") << "address,symbol,comment\n%MW5,B,\"never closed\n"
                                << "ligne 2 : guillemet jamais fermé";
    QTest::newRow("four fields") << "address,symbol,comment\n%MW5,B,c,d\n"
                                 << "ligne 2 : 4 champs";
    QTest::newRow("line break in a comment") << "address,symbol,comment\n%MW5,B,\"a\nb\"\n"
                                             << "saut de ligne";
  }
  void AFaultyFileWritesNothing() {
    QFETCH(QString, text);
    QFETCH(QString, error);
    GuiFixture fixture;
    QCOMPARE(fixture.CreateBase({{"%MW1", "A1", ""}}), QString());
    const gui::ImportSummary summary = fixture.Window().ImportFile(WriteCsv(fixture, text));
    QVERIFY2(summary.error.contains(error), qPrintable(summary.error));
    QVERIFY(fixture.messages.last().startsWith(QStringLiteral("Fichier refusé")));
    QCOMPARE(fixture.Session().Count(), 1L);
    QCOMPARE(fixture.dialogs, 0);
  }

  void ExportWritesEveryRowReadableAgain() {
    GuiFixture fixture;
    QCOMPARE(fixture.CreateBase({{"%MW10", "Seuil", "Niveau, en cm"},
                                 {"%I1.2", "Capteur", "« guillemets » \"doubles\""},
                                 {"%MW2", "", "sans symbole"}}),
             QString());
    const QString path = fixture.Directory() + QStringLiteral("/out.csv");
    QCOMPARE(fixture.Window().ExportFile(path), QString());
    QString error;
    const std::vector<gui::CsvRow> rows = gui::ReadCsvFile(path, &error);
    QCOMPARE(error, QString());
    QCOMPARE(static_cast<int>(rows.size()), 3);
    QStringList seen;
    for (const gui::CsvRow& row : rows) seen << row.address + '|' + row.symbol + '|' + row.comment;
    QVERIFY(seen.contains(QStringLiteral("%MW10|Seuil|Niveau, en cm")));
    QVERIFY(seen.contains(QString::fromUtf8("%I1.2|Capteur|« guillemets » \"doubles\"")));
    QVERIFY(seen.contains(QStringLiteral("%MW2||sans symbole")));
  }
};

QTEST_MAIN(ImportTest)
#include "import_test.moc"
