#include <QtTest>
#include <string>
#include <vector>

#include "arguments.h"

Q_DECLARE_METATYPE(std::vector<std::string>)

class ArgumentsTest : public QObject {
  Q_OBJECT

 private slots:
  void CommandLines_data() {
    QTest::addColumn<std::vector<std::string>>("words");
    QTest::addColumn<QString>("parsed");  // directory|screenshot|dialog|check|help, or the error
    using Words = std::vector<std::string>;
    QTest::newRow("nothing") << Words{} << "||0|0|0";
    QTest::newRow("a base") << Words{"base"} << "base||0|0|0";
    QTest::newRow("main window") << Words{"--screenshot", "a.png", "base"} << "base|a.png|0|0|0";
    QTest::newRow("a dialog") << Words{"--dialog", "19308", "--screenshot", "d.png"}
                              << "|d.png|19308|0|0";
    QTest::newRow("the check window")
        << Words{"--check", "--screenshot", "c.png", "base"} << "base|c.png|0|1|0";
    QTest::newRow("help") << Words{"-h"} << "||0|0|1";
    QTest::newRow("a directory named like an option")
        << Words{"--", "--dialog"} << "--dialog||0|0|0";
    QTest::newRow("no PNG") << Words{"--screenshot"} << "--screenshot needs the PNG file to write";
    QTest::newRow("empty PNG") << Words{"--screenshot", ""}
                               << "--screenshot needs the PNG file to write";
    QTest::newRow("other dialog") << Words{"--screenshot", "a.png", "--dialog", "19307"}
                                  << "--dialog takes 19306 or 19308";
    QTest::newRow("dialog alone") << Words{"--dialog", "19306"}
                                  << "--dialog goes with --screenshot";
    QTest::newRow("check alone") << Words{"--check"} << "--check goes with --screenshot";
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
};

QTEST_GUILESS_MAIN(ArgumentsTest)
#include "arguments_test.moc"
