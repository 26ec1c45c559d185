#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QtTest>
#include <string>

#include "filter_bar.h"
#include "gui_fixture.h"
#include "new_object_dialog.h"

using testing_support::Action;
using testing_support::GuiFixture;
using testing_support::kPlant;
using testing_support::OnNextBox;

namespace {

QStringList Column(gui::ObjectModel& model, int column) {
  model.FinishLoading();
  QStringList values;
  for (int row = 0; row < model.rowCount(); ++row) {
    values << model.index(row, column).data().toString();
  }
  return values;
}

constexpr int kObjects = 5000;

}  // namespace

class EditingTest : public QObject {
  Q_OBJECT

 private slots:
  // A refused edit says why and changes nothing; an accepted one writes the row.
  void EditingACellWritesTheRowOrSaysWhyNot() {
    GuiFixture fixture;
    QCOMPARE(fixture.CreateBase(kPlant), QString());
    gui::ObjectModel& model = fixture.Window().Model();
    const QModelIndex symbol = model.index(model.RowOf("%MW11"), gui::ObjectModel::kSymbol);
    const QModelIndex comment = symbol.siblingAtColumn(gui::ObjectModel::kComment);
    const struct {
      QModelIndex cell;
      QString text, message;
    } kRefused[] = {
        {symbol, "Seuil_haut", "Le symbole « Seuil_haut » est déjà porté par le repère %MW10."},
        {comment, "débit ≥ 5", "contient des caractères que la base ne peut pas écrire"},
        {comment, QString(509, 'c'), "Commentaire de 509 caractères"}};
    for (const auto& edit : kRefused) {
      QVERIFY(!model.setData(edit.cell, edit.text, Qt::EditRole));
      QCOMPARE(fixture.messages.size(), 1);
      QVERIFY2(fixture.messages.takeFirst().contains(edit.message), qPrintable(edit.message));
      QCOMPARE(fixture.Row("%MW11"), QString("Seuil_bas|Seuil d'arrêt"));
    }
    QVERIFY(symbol.flags().testFlag(Qt::ItemIsEditable));
    QVERIFY(
        !symbol.siblingAtColumn(gui::ObjectModel::kAddress).flags().testFlag(Qt::ItemIsEditable));
    QVERIFY(model.setData(symbol, QString("Seuil_arrêt"), Qt::EditRole));
    QVERIFY(model.setData(comment, QString("Niveau d'arrêt, en cm"), Qt::EditRole));
    QCOMPARE(fixture.Row("%MW11"), QString("Seuil_arrêt|Niveau d'arrêt, en cm"));
    QCOMPARE(symbol.data().toString(), QString("Seuil_arrêt"));
    QCOMPARE(fixture.messages, QStringList());
    QVERIFY(model.setData(symbol, QString(), Qt::EditRole));
    QCOMPARE(fixture.Row("%MW11"), QString("|Niveau d'arrêt, en cm"));
  }

  void RowsAreAddedAndDeleted() {
    GuiFixture fixture;
    QCOMPARE(fixture.CreateBase(kPlant), QString());
    QAction* add = Action(fixture.Window(), QString("&Ajouter un objet…"));
    QVERIFY(add != nullptr);
    QStringList addresses{"%MW10", "%mw012"};
    std::function<void()> fill = [&] {
      auto* form = dynamic_cast<gui::NewObjectDialog*>(QApplication::activeModalWidget());
      if (form == nullptr) return QTimer::singleShot(10, fill);
      form->Address()->setText(addresses.takeFirst());
      form->Symbol()->setText("Consigne");
      form->Comment()->setText("Consigne de vitesse");
      form->accept();
      if (!addresses.isEmpty()) QTimer::singleShot(10, fill);
    };
    QTimer::singleShot(10, fill);
    add->trigger();
    QVERIFY(addresses.isEmpty());
    QCOMPARE(fixture.messages, QStringList{QString("Le repère %MW10 est déjà dans la base.")});
    QCOMPARE(fixture.Row("%MW12"), QStringLiteral("Consigne|Consigne de vitesse"));
    gui::ObjectModel& model = fixture.Window().Model();
    QCOMPARE(model.rowCount(), 6);

    QTableView* table = fixture.Window().Table();
    table->clearSelection();
    for (const char* address : {"%Q2.0", "%MW11"}) {
      table->selectionModel()->select(model.index(model.RowOf(address), 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QAction* remove = Action(fixture.Window(), QStringLiteral("&Supprimer"));
    QString asked;
    const auto answer = [&asked](QMessageBox::StandardButton button) {
      OnNextBox([&asked, button](QMessageBox& box) {
        asked = box.text();
        box.button(button)->click();
      });
    };
    answer(QMessageBox::No);
    remove->trigger();
    QCOMPARE(asked, QString("Supprimer les 2 objets sélectionnés de la base ?"));
    QCOMPARE(model.rowCount(), 6);
    answer(QMessageBox::Yes);
    remove->trigger();
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(model.RowOf("%Q2.0"), -1);
    QCOMPARE(fixture.Row("%Q2.0"), QString());
    QCOMPARE(fixture.Row("%MW11"), QString());
  }

  // One view sorted and filtered in turn: by symbol, then by address with filters.
  void SortedBySymbolAndFiltered() {
    GuiFixture fixture;
    QCOMPARE(fixture.CreateBase(kPlant), QString());
    gui::FilterBar* filter = fixture.Window().Filter();
    QHeaderView* header = fixture.Window().Table()->horizontalHeader();
    const auto symbols = gui::FilterField::kSymbol, comments = gui::FilterField::kComment;
    const int contains = 0, begins = 1, ends = 2;  // the order of the match box
    const struct {
      bool bySymbol;
      gui::FilterField field;
      int match;
      QString text;
      QStringList addresses;  // in this order when sorted by symbol or unfiltered
    } kViews[] = {
        {true, symbols, contains, "", {"%I1.2", "%Q2.0", "%Q2.1", "%MW11", "%MW10"}},
        {false, symbols, begins, "Seuil", {"%MW10", "%MW11"}},
        {false, comments, ends, "e", {"%MW10"}},  // each comment holds an "e"
    };
    for (const auto& view : kViews) {
      filter->FieldBox()->setCurrentIndex(static_cast<int>(view.field));
      filter->MatchBox()->setCurrentIndex(view.match);
      filter->TextBox()->setText(view.text);
      QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                        QPoint(header->sectionViewportPosition(view.bySymbol ? 1 : 0) + 5, 5));
      const QStringList shown = Column(fixture.Window().Model(), gui::ObjectModel::kAddress);
      // The status counts the base's objects, and the rows shown when fewer.
      const QString status = fixture.Window().StatusText();
      QVERIFY2(status.contains(shown.size() == 5
                                   ? QStringLiteral("5 objets |")
                                   : QStringLiteral("5 objets (%1 affichés)").arg(shown.size())),
               qPrintable(status));
      if (view.bySymbol || view.text.isEmpty()) {
        QCOMPARE(shown, view.addresses);
      } else {
        QCOMPARE(QSet<QString>(shown.begin(), shown.end()),
                 QSet<QString>(view.addresses.begin(), view.addresses.end()));
      }
    }
    QCOMPARE(fixture.messages, QStringList());
  }

  // More rows than one loading step reads and than the cache keeps: the
  // first rows show before the rest is read, and every row shows its texts,
  // by address or sorted by symbol (a search that gives addresses alone). The
  // rows held in memory meanwhile are measured by bench/gui, not asserted here.
  void ALargeBaseLoadsInStepsAndShowsEveryRowsTexts() {
    GuiFixture fixture;
    testing_support::Objects objects;
    QStringList symbols;
    for (int i = 0; i < kObjects; ++i) {
      const std::string n = std::to_string(i);
      objects.push_back({"%MW" + n, "Mot_" + n, "Commentaire du mot " + n});
      symbols << QString::fromStdString(objects.back()[1]);
    }
    QCOMPARE(fixture.CreateBase(objects), QString());
    gui::ObjectModel& model = fixture.Window().Model();
    QCOMPARE(fixture.Window().OpenBase(fixture.Directory()), QString());
    QVERIFY(model.rowCount() > 0);
    QVERIFY(model.rowCount() < kObjects);
    QCOMPARE(model.index(0, gui::ObjectModel::kSymbol).data().toString(), QStringLiteral("Mot_0"));
    QTRY_VERIFY_WITH_TIMEOUT(!model.IsLoading(), 120000);
    QCOMPARE(model.rowCount(), kObjects);

    fixture.Window().Table()->scrollToBottom();
    QCoreApplication::processEvents();
    const int last = kObjects - 1;
    QCOMPARE(model.AddressAt(last), QByteArray("%MW4999"));
    QCOMPARE(model.index(last, gui::ObjectModel::kComment).data().toString(),
             QStringLiteral("Commentaire du mot 4999"));
    QHeaderView* header = fixture.Window().Table()->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 5, 5));
    symbols.sort();
    QCOMPARE(Column(model, gui::ObjectModel::kSymbol), symbols);
  }
};

QTEST_MAIN(EditingTest)
#include "editing_test.moc"
