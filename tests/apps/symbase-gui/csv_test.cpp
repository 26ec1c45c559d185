#include <QtTest>

#include "csv.h"

class CsvTest : public QObject {
  Q_OBJECT

 private slots:
  void FilesAreRead_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("rows");  // "line|address|symbol|comment"
    QTest::newRow("plain, LF") << QByteArray("address,symbol,comment\n%MW1,A,c\n%MW2,B,\n")
                               << QStringList{"2|%MW1|A|c", "3|%MW2|B|"};
    QTest::newRow("CRLF, BOM, no final break") << QByteArray(
                                                      "\xEF\xBB\xBF"
                                                      "address,symbol,comment\r\n%MW1,A,c")
                                               << QStringList{"2|%MW1|A|c"};
    QTest::newRow("quotes, commas and doubled quotes")
        << QByteArray("address,symbol,comment\n%MW1,A,\"un, \"\"deux\"\"\"\n")
        << QStringList{"2|%MW1|A|un, \"deux\""};
    QTest::newRow("a quoted line break counts lines")
        << QByteArray("address,symbol,comment\n%MW1,A,\"a\nb\"\n%MW2,B,c\n")
        << QStringList{"2|%MW1|A|a\nb", "4|%MW2|B|c"};
    QTest::newRow("French header, two columns, blank lines")
        << QByteArray("rep\xC3\xA8re,symbole\n\n%MW1,A\n\n") << QStringList{"3|%MW1|A|"};
    QTest::newRow("header alone") << QByteArray("address,symbol,comment\n") << QStringList{};
  }
  void FilesAreRead() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, rows);
    QString error;
    QStringList read;
    for (const gui::CsvRow& row : gui::ParseCsv(bytes, &error)) {
      read << QStringLiteral("%1|%2|%3|%4").arg(row.line).arg(row.address, row.symbol, row.comment);
    }
    QCOMPARE(error, QString());
    QCOMPARE(read, rows);
  }

  void FaultyFilesAreRefused_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");
    QTest::newRow("empty") << QByteArray() << "la première ligne";
    QTest::newRow("other header") << QByteArray("a,b,c\n") << "la première ligne";
    QTest::newRow("not UTF-8") << QByteArray(
                                      "address,symbol,comment\n%MW1,\xE9"
                                      "t\xE9,\n")
                               << "UTF-8";
    QTest::newRow("one field") << QByteArray("address,symbol,comment\n%MW1\n")
                               << "ligne 2 : 1 champs";
    QTest::newRow("text after a closing quote, a good row before")
        << QByteArray("address,symbol,comment\n%MW2,B,\n%MW1,\"A\"x,\n") << "ligne 3 : texte après";
    QTest::newRow("unclosed quote") << QByteArray("address,symbol,comment\n\n%MW1,\"A,\n")
                                    << "ligne 3 : guillemet jamais fermé";
  }
  void FaultyFilesAreRefused() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    QString found;
    QVERIFY(gui::ParseCsv(bytes, &found).empty());
    QVERIFY2(found.contains(error), qPrintable(found));
  }

  void LinesAreQuotedWhereNeeded() {
    QCOMPARE(gui::CsvLine({"%MW1", "A", "plain"}), QByteArray("%MW1,A,plain\r\n"));
    QCOMPARE(gui::CsvLine({"%MW1", "", "a, \"b\""}), QByteArray("%MW1,,\"a, \"\"b\"\"\"\r\n"));
    QCOMPARE(gui::CsvLine({" x"}), QByteArray("\" x\"\r\n"));
  }
};

QTEST_GUILESS_MAIN(CsvTest)
#include "csv_test.moc"
