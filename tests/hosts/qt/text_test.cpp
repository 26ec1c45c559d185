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

  void CharactersOfTheCodePageAndOthersLeftOut() {
    QCOMPARE(FromCp1252(QByteArray("Rep\xE8re \x80 \x9C \x93x\x94 \x81")),
             QString::fromUtf8("Repère € œ “x” \u0081"));
    QCOMPARE(FromCp1252(QByteArray()), QString());
    QCOMPARE(FromCp1252(static_cast<const char*>(nullptr)), QString());
    QByteArray bytes;
    QVERIFY(!ToCp1252(QString::fromUtf8("a\u0151b\U0001F600c"), &bytes));
    QCOMPARE(bytes, QByteArray("abc"));
  }
};

QTEST_GUILESS_MAIN(TextTest)
#include "text_test.moc"
