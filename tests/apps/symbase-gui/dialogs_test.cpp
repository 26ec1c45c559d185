// The dialogs the library opens, drawn by the editor: the conflict
// question of an import, and the on-line symbolization; the import and
// export of CSV files.

#include <QLabel>
#include <QLineEdit>
#include <QTableView>
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

// The on-line symbolization dialog's edits.
constexpr int kSymbol = 1002;
constexpr int kComment = 1003;
constexpr int kAddress = 1004;

void Retype(QLineEdit* edit, const QString& text) {
  edit->selectAll();
  QTest::keyClicks(edit, text);
}

}  // namespace

class DialogsTest : public QObject {
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
  void TheSelectedAddressIsSymbolisedAndReadBack() {
    GuiFixture fixture;
    QCOMPARE(fixture.CreateBase({{"%MW10", "Seuil_haut", ""}, {"%MW12", "", "Consigne"}}),
             QString());
    QVERIFY(fixture.Window().SelectAddress("%MW12"));
    fixture.OnDialogs([&](QDialog& drawn, CDialog&) {
      QCOMPARE(drawn.windowTitle(), QString::fromUtf8("Associer Repère & Symbole"));
      QLineEdit* address = Control<QLineEdit>(drawn, kAddress);
      QCOMPARE(address->text(), QStringLiteral("%MW12"));
      QVERIFY(!address->isEnabled());
      QCOMPARE(Control<QLineEdit>(drawn, kComment)->text(), QStringLiteral("Consigne"));
      QCOMPARE(Control<QLineEdit>(drawn, kSymbol)->toolTip(), QStringLiteral("Symbole"));
      QTest::keyClicks(Control<QLineEdit>(drawn, kSymbol), "Consigne_vitesse");
      Retype(Control<QLineEdit>(drawn, kComment), "Consigne de vitesse");
      QTest::keyClick(Control<QLineEdit>(drawn, kComment), Qt::Key_Return);
    });
    QCOMPARE(fixture.Window().Symbolise(), 1);
    QCOMPARE(fixture.Row("%MW12"), QStringLiteral("Consigne_vitesse|Consigne de vitesse"));
    // The table shows the row as it now is, selected.
    gui::ObjectModel& model = fixture.Window().Model();
    const int row = fixture.Window().Table()->currentIndex().row();
    QCOMPARE(model.AddressAt(row), QByteArray("%MW12"));
    QCOMPARE(model.index(row, gui::ObjectModel::kSymbol).data().toString(),
             QStringLiteral("Consigne_vitesse"));
  }

  void WithoutSelectionTheAddressIsTyped() {
    GuiFixture fixture;
    QCOMPARE(fixture.CreateBase({{"%MW10", "Seuil_haut", ""}}), QString());
    fixture.Window().Table()->clearSelection();
    fixture.OnDialogs([&](QDialog& drawn, CDialog&) {
      for (int id : {kSymbol, kAddress, kComment}) {
        QVERIFY(Control<QLineEdit>(drawn, id)->isEnabled());
        QCOMPARE(Control<QLineEdit>(drawn, id)->text(), QString());
      }
      QTest::keyClicks(Control<QLineEdit>(drawn, kSymbol), "Pompe_3");
      QTest::keyClicks(Control<QLineEdit>(drawn, kAddress), "%q2.3");
      QTest::keyClicks(Control<QLineEdit>(drawn, kComment), "Commande pompe 3");
      Click(drawn, IDOK);
    });
    QCOMPARE(fixture.Window().Symbolise(), 1);
    QCOMPARE(fixture.Row("%Q2.3"), QStringLiteral("Pompe_3|Commande pompe 3"));
    QCOMPARE(fixture.Window().Model().AddressAt(fixture.Window().Table()->currentIndex().row()),
             QByteArray("%Q2.3"));
  }

  void RefusalsKeepTheDialogOpen() {
    GuiFixture fixture;
    QCOMPARE(fixture.CreateBase({{"%MW10", "Seuil_haut", ""}, {"%MW11", "", ""}}), QString());
    QVERIFY(fixture.Window().SelectAddress("%MW10"));
    fixture.OnDialogs([&](QDialog& drawn, CDialog& dialog) {
      QVERIFY(!Control<QLineEdit>(drawn, kSymbol)->isEnabled());
      QCOMPARE(Control<QLineEdit>(drawn, kSymbol)->text(), QStringLiteral("Seuil_haut"));
      QTest::keyClick(&drawn, Qt::Key_Return);
      QVERIFY(!dialog.IsDialogEnded());
      QTest::keyClick(&drawn, Qt::Key_Escape);
    });
    QCOMPARE(fixture.Window().Symbolise(), 2);
    // The editor's check of symbols refuses first: the base holds that symbol.
    QCOMPARE(fixture.messages,
             QStringList{QString::fromUtf8("Le symbole existe déjà dans la base")});

    // A symbol another address carries, then an empty one.
    fixture.messages.clear();
    fixture.Window().Model().FinishLoading();
    QVERIFY(fixture.Window().SelectAddress("%MW11"));
    fixture.OnDialogs([&](QDialog& drawn, CDialog& dialog) {
      QTest::keyClicks(Control<QLineEdit>(drawn, kSymbol), "Seuil_haut");
      Click(drawn, IDOK);
      QVERIFY(!dialog.IsDialogEnded());
      Retype(Control<QLineEdit>(drawn, kSymbol), "   ");
      Click(drawn, IDOK);
      QVERIFY(!dialog.IsDialogEnded());
      Click(drawn, IDCANCEL);
    });
    QCOMPARE(fixture.Window().Symbolise(), 2);
    QCOMPARE(fixture.messages.size(), 2);
    QCOMPARE(fixture.messages[0], QString::fromUtf8("Le symbole existe déjà dans la base"));
    QCOMPARE(fixture.messages[1], QString::fromUtf8("Vous devez saisir un symbole et un repère."));
    QCOMPARE(fixture.Row("%MW11"), QStringLiteral("|"));
  }

  void TheSymbolEditHoldsThirtyTwoCharacters() {
    GuiFixture fixture;
    QCOMPARE(fixture.CreateBase({{"%MW11", "", ""}}), QString());
    QVERIFY(fixture.Window().SelectAddress("%MW11"));
    fixture.OnDialogs([&](QDialog& drawn, CDialog&) {
      QTest::keyClicks(Control<QLineEdit>(drawn, kSymbol), QString(40, 'a'));
      QCOMPARE(Control<QLineEdit>(drawn, kSymbol)->text(), QString(32, 'a'));
      Click(drawn, IDOK);
    });
    QCOMPARE(fixture.Window().Symbolise(), 1);
    QCOMPARE(fixture.Row("%MW11"), QString(32, 'a') + '|');
  }

  void ThePositionIsKeptInTheSettings() {
    GuiFixture fixture;
    QCOMPARE(fixture.CreateBase({{"%MW11", "", ""}}), QString());
    QVERIFY(fixture.Window().SelectAddress("%MW11"));
    QPoint left;
    fixture.OnDialogs([&](QDialog& drawn, CDialog&) {
      // First use: centred on the editor's window.
      const QPoint offset = drawn.geometry().center() - fixture.Window().frameGeometry().center();
      // (to the rounding of half sizes and the platform's frame margins)
      QVERIFY2(offset.manhattanLength() <= 4, "centred");
      drawn.move(40, 30);
      QCoreApplication::processEvents();
      left = drawn.geometry().topLeft();
      QTest::keyClick(&drawn, Qt::Key_Escape);
    });
    QCOMPARE(fixture.Window().Symbolise(), 2);
    CObject* app = HostGetObject(1);
    QCOMPARE(HostReadSetting(app, 12, "SymbOnLinePosX", -1), left.x());
    QCOMPARE(HostReadSetting(app, 12, "SymbOnLinePosY", -1), left.y());
    QPoint reopened;
    fixture.OnDialogs([&](QDialog& drawn, CDialog&) { reopened = drawn.geometry().topLeft(); });
    fixture.Window().Symbolise();
    QCOMPARE(reopened, left);
  }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
