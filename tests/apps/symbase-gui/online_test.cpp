#include <QLineEdit>
#include <QTableView>
#include <QtTest>

#include "gui_fixture.h"

using testing_support::Click;
using testing_support::Control;
using testing_support::GuiFixture;

namespace {

// The on-line symbolization dialog's edits.
constexpr int kSymbol = 1002;
constexpr int kComment = 1003;
constexpr int kAddress = 1004;

void Retype(QLineEdit* edit, const QString& text) {
  edit->selectAll();
  QTest::keyClicks(edit, text);
}

}  // namespace

class OnlineTest : public QObject {
  Q_OBJECT

 private slots:
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

QTEST_MAIN(OnlineTest)
#include "online_test.moc"
