#include <QtTest>

#include "symbase/qt/text.h"

using symbase_qt::FromCp1252;
using symbase_qt::ToCp1252;

class TextTest : public QObject {
  Q_OBJECT

 private slots:
  void EveryByteComesBackFromItsCharacter() {
    for (int byte = 1; byte < 256; ++byte) {
      const QByteArray bytes(1, static_cast<char>(byte));
      const QString text = FromCp1252(bytes);
      QCOMPARE(text.size(), 1);
      QByteArray back;
      QVERIFY2(ToCp1252(text, &back), qPrintable(QString::number(byte)));
      QCOMPARE(back, bytes);
    }
  }

  void CharactersOfTheCodePage_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("accents") << QByteArray("Rep\xE8re \xE9t\xE9")
                             << QString::fromUtf8("Repère été");
    QTest::newRow("euro, oe, quotes")
        << QByteArray("\x80 \x9C \x93x\x94") << QString::fromUtf8("€ œ “x”");
    QTest::newRow("undefined byte") << QByteArray("\x81") << QString(QChar(0x81));
    QTest::newRow("empty") << QByteArray() << QString();
  }
  void CharactersOfTheCodePage() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(FromCp1252(bytes), text);
    QByteArray back;
    QVERIFY(ToCp1252(text, &back));
    QCOMPARE(back, bytes);
  }

  void CharactersOutsideTheCodePageAreLeftOut() {
    QByteArray bytes;
    QVERIFY(!ToCp1252(QString::fromUtf8("a\u0151b\U0001F600c"), &bytes));
    QCOMPARE(bytes, QByteArray("abc"));
  }

  void NullTextIsEmpty() { QCOMPARE(FromCp1252(static_cast<const char*>(nullptr)), QString()); }
};

QTEST_GUILESS_MAIN(TextTest)
#include "text_test.moc"
