#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <functional>

#include "symbase/qt/dialog_driver.h"
#include "symbase/qt/text.h"

namespace {

using symbase_qt::FromCp1252;
using symbase_qt::ToCp1252;

constexpr UINT kProbeTemplate = 29000;
constexpr int kEdit = 3002;
constexpr int kMessage = 3003;
constexpr int kCount = 3004;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

const AFX_DLGITEM kItems[] = {
    {kEdit, AFX_CTL_EDIT, "", 45, 2, 80, 12, kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
    {kMessage, AFX_CTL_STATIC, "", 7, 20, 118, 26, kChild | SS_LEFT},
    {IDOK, AFX_CTL_DEFBUTTON, "&Valider", 130, 2, 44, 14, kChild | BS_DEFPUSHBUTTON},
    {IDCANCEL, AFX_CTL_BUTTON, "&Annuler", 130, 18, 44, 14, kChild | BS_PUSHBUTTON},
    {kCount, AFX_CTL_BUTTON, "&Compter", 130, 34, 44, 14, kChild | BS_PUSHBUTTON},
};
const AFX_DLGTEMPLATE kTemplates[] = {
    {kProbeTemplate, "Essai \xE9tendu", "MS Sans Serif", 8, 0, 0, 180, 52,
     DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION, kItems,
     static_cast<int>(sizeof kItems / sizeof *kItems)},
};
const AFX_RESOURCE_MODULE kModule = {"driver test", nullptr, 0, kTemplates, 1};

class ProbeDialog : public CDialog {
 public:
  explicit ProbeDialog(CWnd* parent = nullptr) : CDialog(kProbeTemplate, parent) {}

  QByteArray chars;
  bool throwOnCount = false;
  CToolTipCtrl tips;

  BOOL PreTranslateMessage(MSG* msg) override {
    if (msg->message == WM_CHAR) {
      chars.append(static_cast<char>(msg->wParam));
      if (msg->wParam == '#') return TRUE;
    }
    return CDialog::PreTranslateMessage(msg);
  }

 protected:
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    SetDlgItemText(kMessage, "Ligne un\nligne deux");
    tips.Create(this);
    tips.Activate(TRUE);
    tips.AddTool(GetDlgItem(kEdit), "Rep\xE8re de l'objet");
    return TRUE;
  }

  afx_msg void OnCount() {
    if (throwOnCount) AfxThrowUserException();
    SetDlgItemText(kMessage, "compt\xE9");
  }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ProbeDialog, CDialog)
ON_BN_CLICKED(kCount, OnCount)
END_MESSAGE_MAP()

template <class W>
W* Control(QDialog& drawn, int id) {
  return drawn.findChild<W*>(QStringLiteral("control_%1").arg(id));
}

}  // namespace

class DialogDriverTest : public QObject {
  Q_OBJECT

 private:
  QWidget owner_;
  symbase_qt::DialogDriver driver_{&owner_};

  INT_PTR Run(CDialog& dialog, const std::function<void(QDialog&)>& script) {
    driver_.SetShownHook([&](QDialog& drawn, CDialog&) {
      script(drawn);
      if (drawn.isVisible()) drawn.close();
    });
    return dialog.DoModal();
  }

 private slots:
  void initTestCase() {
    QVERIFY(AfxAddResourceModule(&kModule));
    owner_.setGeometry(100, 80, 640, 400);
    owner_.show();
  }
  void cleanupTestCase() { AfxRemoveResourceModule(&kModule); }

  void ControlsAreDrawnAtTheTemplateSizeAndTypedInTheCodePage() {
    ProbeDialog dialog;
    Run(dialog, [&](QDialog& drawn) {
      CRect frame(0, 0, 180, 52);
      dialog.MapDialogRect(&frame);
      QCOMPARE(drawn.size(), QSize(frame.Width(), frame.Height()));
      for (const AFX_DLGITEM& item : kItems) {
        QWidget* widget = Control<QWidget>(drawn, static_cast<int>(item.nID));
        QVERIFY2(widget != nullptr, qPrintable(QString::number(item.nID)));
      }
      QCOMPARE(Control<QLabel>(drawn, kMessage)->text(), QStringLiteral("Ligne un\nligne deux"));
      QVERIFY(Control<QPushButton>(drawn, IDOK)->isDefault());
      QVERIFY(!Control<QPushButton>(drawn, IDCANCEL)->isDefault());
      QLineEdit* edit = Control<QLineEdit>(drawn, kEdit);
      QCOMPARE(edit->toolTip(), QString("Repère de l'objet"));
      QTest::keyClicks(edit, "ab#cd");
      QCOMPARE(dialog.chars, QByteArray("ab#cd"));
      CString held;
      dialog.GetDlgItemText(kEdit, held);
      QCOMPARE(QByteArray(held), QByteArray("abcd"));
      QCOMPARE(edit->text(), QStringLiteral("abcd"));
      edit->selectAll();
      for (QChar c : QString("é€")) {
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
      }
      dialog.GetDlgItemText(kEdit, held);
      QCOMPARE(QByteArray(held), QByteArray("\xE9\x80"));
    });
  }

  // Centred on the owner's screen, or at (0, 0) of its parent; the framework
  // follows moves and sees a handler's change redrawn at once.
  void TheDrawingIsPlacedFollowedAndEnded() {
    CFrameWnd frame;
    QVERIFY(frame.Create(nullptr, "frame", WS_VISIBLE, CRect(200, 150, 700, 500), nullptr, 0));
    const struct {
      CWnd* parent;
      QString action;
      INT_PTR ended;  // -1: the handler's exception reached the caller
    } kEndings[] = {{nullptr, "return", IDOK},
                    {&frame, "escape", IDCANCEL},
                    {nullptr, "close", IDCANCEL},
                    {nullptr, "throw", -1}};
    for (const auto& ending : kEndings) {
      ProbeDialog dialog(ending.parent);
      dialog.throwOnCount = ending.action == "throw";
      const auto followed = [&](QDialog& drawn) {
        CRect framework;
        dialog.GetWindowRect(&framework);
        return QPoint(framework.left, framework.top) == drawn.geometry().topLeft();
      };
      INT_PTR ended = 0;
      try {
        ended = Run(dialog, [&](QDialog& drawn) {
          if (ending.parent == nullptr) {
            const QPoint offset = drawn.geometry().center() - owner_.frameGeometry().center();
            QVERIFY2(offset.manhattanLength() <= 2, "centred on the owner, to a pixel");
          } else {
            QCOMPARE(drawn.geometry().topLeft(), QPoint(200, 150));
          }
          QVERIFY(followed(drawn));
          drawn.move(260, 170);
          QCoreApplication::processEvents();
          QVERIFY(followed(drawn));
          QTest::mouseClick(Control<QPushButton>(drawn, kCount), Qt::LeftButton);
          if (dialog.throwOnCount) return;
          QCOMPARE(Control<QLabel>(drawn, kMessage)->text(), QString("compté"));
          if (ending.action == "return") QTest::keyClick(&drawn, Qt::Key_Return);
          if (ending.action == "escape") QTest::keyClick(&drawn, Qt::Key_Escape);
          QCOMPARE(drawn.isVisible(), ending.action == "close");
        });
      } catch (CUserException* e) {
        e->Delete();
        ended = -1;
      }
      QCOMPARE(ended, ending.ended);
    }
  }

  void TheCodePageBothWaysAndOtherCharactersLeftOut() {
    for (int byte = 1; byte < 256; ++byte) {
      const QByteArray bytes(1, static_cast<char>(byte));
      const QString text = FromCp1252(bytes);
      QCOMPARE(text.size(), 1);
      QByteArray back;
      QVERIFY2(ToCp1252(text, &back), qPrintable(QString::number(byte)));
      QCOMPARE(back, bytes);
    }
    QCOMPARE(FromCp1252(QByteArray("Rep\xE8re \x80 \x9C \x93x\x94 \x81")),
             QString("Repère € œ “x” \u0081"));
    QCOMPARE(FromCp1252(QByteArray()), QString());
    QCOMPARE(FromCp1252(static_cast<const char*>(nullptr)), QString());
    QByteArray bytes;
    QVERIFY(!ToCp1252(QString("a\u0151b\U0001F600c"), &bytes));
    QCOMPARE(bytes, QByteArray("abc"));
  }
};

QTEST_MAIN(DialogDriverTest)
#include "dialog_driver_test.moc"
