#include <QTableView>
#include <QtTest>

#include "gui_fixture.h"

using testing_support::GuiFixture;

namespace {

constexpr int kObjects = 100000;
constexpr int kBoundRows = gui::ObjectModel::kCachedPages * gui::RecordCache::kPageRows;

// %MW0 ... %MW99999, each with a symbol and a comment, written by the library.
bool FillBase(const QString& directory) {
  CTBData* base = nullptr;
  TBInitTabisDll(&base);
  TBCreateBaseSymbol(base, (directory + '/').toLocal8Bit().constData(), 0);
  bool ok = true;
  for (int i = 0; i < kObjects && ok; ++i) {
    const QByteArray n = QByteArray::number(i);
    CTBObjetAts object(("%MW" + n).constData(), ("Mot_" + n).constData(),
                       ("Commentaire du mot " + n).constData(), 0, -1);
    ok = TBCreateObject(base, &object) == 0;
  }
  TBCloseBaseSymbol(base);
  TBFreeTabisDll(base);
  return ok;
}

}  // namespace

class LargeBaseTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

 private slots:
  void initTestCase() { QVERIFY(FillBase(dir_.path())); }

  void ItOpensAndScrollsToItsEndInBoundedMemory() {
    GuiFixture fixture;
    gui::ObjectModel& model = fixture.Window().Model();
    QCOMPARE(fixture.Window().OpenBase(dir_.path()), QString());
    // The first rows are there before the rest of the base is read.
    QVERIFY(model.rowCount() > 0);
    QVERIFY(model.rowCount() < kObjects);
    QCOMPARE(model.index(0, gui::ObjectModel::kSymbol).data().toString(), QStringLiteral("Mot_0"));
    QTRY_VERIFY_WITH_TIMEOUT(!model.IsLoading(), 120000);
    QCOMPARE(model.rowCount(), kObjects);

    QTableView* table = fixture.Window().Table();
    int largest = 0;
    for (int row = 0; row < kObjects; row += 997) {
      table->scrollTo(model.index(row, 0), QAbstractItemView::PositionAtTop);
      QCoreApplication::processEvents();
      for (int shown = row; shown < std::min(row + 40, kObjects); ++shown) {
        model.index(shown, gui::ObjectModel::kComment).data();
      }
      largest = std::max(largest, model.CachedRows());
    }
    table->scrollToBottom();
    QCoreApplication::processEvents();
    const int last = kObjects - 1;
    QCOMPARE(model.AddressAt(last), QByteArray("%MW99999"));
    QCOMPARE(model.index(last, gui::ObjectModel::kComment).data().toString(),
             QStringLiteral("Commentaire du mot 99999"));
    QVERIFY2(largest <= kBoundRows, qPrintable(QString::number(largest)));
    QVERIFY(fixture.Window().StatusText().contains(QStringLiteral("100000 objets")));
  }
};

QTEST_MAIN(LargeBaseTest)
#include "large_base_test.moc"
