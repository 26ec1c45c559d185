#include <QProgressDialog>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <thread>

#include "gui_fixture.h"
#include "long_call.h"

using testing_support::GuiFixture;

class LongCallTest : public QObject {
  Q_OBJECT

 private slots:
  // The call blocks until the editor, still turning its event loop, has
  // shown the progress window: a call run on the event loop's own thread
  // would never see it and give up after ten seconds.
  void TheEditorStaysAliveWhileTheCallRuns() {
    GuiFixture fixture;
    QCOMPARE(fixture.CreateBase({{"%MW10", "Seuil_haut", ""}, {"%MW11", "Seuil_bas", ""}}),
             QString());
    gui::MainWindow& window = fixture.Window();
    gui::ViewOrder bySymbol;  // addresses alone: the texts are read when drawn
    bySymbol.sort = gui::SortOrder::kBySymbol;
    window.Model().Load(bySymbol);
    window.Model().FinishLoading();

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
    // Meanwhile the table asked nothing of the library, and the window stayed.
    QCOMPARE(textMeanwhile, QString());
    QVERIFY(!closedMeanwhile);
    QVERIFY(window.isVisible());
    // Afterwards the library is the editor's again.
    QVERIFY(!fixture.Session().Busy());
    window.Model().ShowMissingTexts();
    QCOMPARE(window.Model().index(0, gui::ObjectModel::kSymbol).data().toString(),
             QStringLiteral("Seuil_bas"));
  }
};

QTEST_MAIN(LongCallTest)
#include "long_call_test.moc"
