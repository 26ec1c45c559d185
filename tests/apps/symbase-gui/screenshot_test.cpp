#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <string>
#include <vector>

#include "arguments.h"

Q_DECLARE_METATYPE(std::vector<std::string>)

// The command line of symbase-gui: parsed, and --screenshot run as a
// process, as the README runs it.
class ScreenshotTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

  int Run(const QStringList& arguments, QString* errors = nullptr) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));  // the tool picks offscreen itself
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.filePath(QStringLiteral("config")));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(SYMBASE_GUI_PATH), arguments);
    if (!process.waitForFinished(60000)) return -1;
    if (errors != nullptr) *errors = QString::fromUtf8(process.readAllStandardError());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  }

 private slots:
  void CommandLines_data() {
    QTest::addColumn<std::vector<std::string>>("words");
    QTest::addColumn<QString>("parsed");  // directory|screenshot|dialog|check|help, or the error
    using Words = std::vector<std::string>;
    // The renderings below parse the lines that name a window to draw.
    QTest::newRow("help") << Words{"-h"} << "||0|0|1";
    QTest::newRow("a directory named like an option")
        << Words{"--", "--dialog"} << "--dialog||0|0|0";
    QTest::newRow("no PNG") << Words{"--screenshot"} << "--screenshot needs the PNG file to write";
    QTest::newRow("other dialog") << Words{"--screenshot", "a.png", "--dialog", "19307"}
                                  << "--dialog takes 19306 or 19308";
    QTest::newRow("dialog alone") << Words{"--dialog", "19306"}
                                  << "--dialog goes with --screenshot";
    QTest::newRow("check and a dialog")
        << Words{"--screenshot", "a.png", "--check", "--dialog", "19306"}
        << "--check and --dialog render different windows: one at a time";
    QTest::newRow("two bases") << Words{"a", "b"} << "one base directory at most";
    QTest::newRow("unknown option") << Words{"--display"} << "unknown option --display";
  }
  void CommandLines() {
    QFETCH(std::vector<std::string>, words);
    QFETCH(QString, parsed);
    const gui::Arguments arguments = gui::ParseArguments(words);
    const QString got = !arguments.error.empty()
                            ? QString::fromStdString(arguments.error)
                            : QStringLiteral("%1|%2|%3|%4|%5")
                                  .arg(QString::fromStdString(arguments.directory),
                                       QString::fromStdString(arguments.screenshot))
                                  .arg(arguments.dialog)
                                  .arg(arguments.check ? 1 : 0)
                                  .arg(arguments.help ? 1 : 0);
    QCOMPARE(got, parsed);
  }

  void EachRenderingIsAPicture_data() {
    QTest::addColumn<QStringList>("options");
    QTest::newRow("main window") << QStringList{};
    QTest::newRow("confirmation") << QStringList{"--dialog", "19306"};
    QTest::newRow("on-line symbolization") << QStringList{"--dialog", "19308"};
    QTest::newRow("check of a damaged sample") << QStringList{"--check"};
  }
  void EachRenderingIsAPicture() {
    QFETCH(QStringList, options);
    const QString out = dir_.filePath(QStringLiteral("shot.png"));
    QFile::remove(out);
    QCOMPARE(Run(QStringList{"--screenshot", out} + options), 0);
    QImage image(out);
    QVERIFY(!image.isNull());
    // Not a blank page: the rendering has light and dark pixels.
    int dark = 0;
    for (int y = 0; y < image.height(); y += 2) {
      for (int x = 0; x < image.width(); x += 2) dark += qGray(image.pixel(x, y)) < 96 ? 1 : 0;
    }
    QVERIFY(dark > 50);
  }

  void BadUsesFailWithAMessage_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown option") << QStringList{"--dialogue"} << 2 << "unknown option";
    QTest::newRow("missing base") << QStringList{"--screenshot", dir_.filePath("x.png"),
                                                 dir_.filePath("none")}
                                  << 1 << "n'existe pas";
    QTest::newRow("unwritable PNG")
        << QStringList{"--screenshot", "/proc/x.png"} << 1 << "cannot write";
  }
  void BadUsesFailWithAMessage() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, message);
    QString errors;
    QCOMPARE(Run(arguments, &errors), status);
    QVERIFY2(errors.contains(message), qPrintable(errors));
  }
};

QTEST_GUILESS_MAIN(ScreenshotTest)
#include "screenshot_test.moc"
