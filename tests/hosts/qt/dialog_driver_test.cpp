#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <functional>
#include <utility>

#include "symbase/qt/dialog_driver.h"

namespace {

// A template of each kind of control, and the dialog that runs it.
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

  QByteArray chars;  // every WM_CHAR offered to the dialog
  int clicks = 0;
  bool throwOnCount = false;
  CToolTipCtrl tips;

  BOOL PreTranslateMessage(MSG* msg) override {
    if (msg->message == WM_CHAR) {
      chars.append(static_cast<char>(msg->wParam));
      if (msg->wParam == '#') return TRUE;  // the dialog keeps this one
    }
    tips.RelayEvent(msg);
    return CDialog::PreTranslateMessage(msg);
  }

 protected:
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    static_cast<CEdit*>(GetDlgItem(kEdit))->SetLimitText(8);
    SetDlgItemText(kMessage, "Ligne un\nligne deux");
    tips.Create(this);
    tips.Activate(TRUE);
    tips.AddTool(GetDlgItem(kEdit), "Rep\xE8re de l'objet");
    return TRUE;
  }

  afx_msg void OnCount() {
    ++clicks;
    if (throwOnCount) AfxThrowUserException();
    SetDlgItemText(kMessage, clicks == 1 ? "clics : 1" : "clics : 2");
    if (clicks == 2) GetDlgItem(kEdit)->EnableWindow(FALSE);
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

  // Runs the dialog, the script acting on its drawing; left open, it is closed.
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

  void ControlsAreDrawnAtTheTemplateRectanglesAndTypedInTheCodePage() {
    ProbeDialog dialog;
    Run(dialog, [&](QDialog& drawn) {
      CRect frame(0, 0, 180, 52);
      dialog.MapDialogRect(&frame);
      QCOMPARE(drawn.size(), QSize(frame.Width(), frame.Height()));
      QCOMPARE(drawn.windowTitle(), QString::fromUtf8("Essai étendu"));
      for (const AFX_DLGITEM& item : kItems) {
        CRect box(item.x, item.y, item.x + item.cx, item.y + item.cy);
        dialog.MapDialogRect(&box);
        QWidget* widget = Control<QWidget>(drawn, static_cast<int>(item.nID));
        QVERIFY2(widget != nullptr, qPrintable(QString::number(item.nID)));
        QCOMPARE(widget->geometry(), QRect(box.left, box.top, box.Width(), box.Height()));
      }
      QCOMPARE(Control<QLabel>(drawn, kMessage)->text(), QStringLiteral("Ligne un\nligne deux"));
      QCOMPARE(Control<QPushButton>(drawn, IDOK)->text(), QStringLiteral("&Valider"));
      QVERIFY(Control<QPushButton>(drawn, IDOK)->isDefault());
      QVERIFY(!Control<QPushButton>(drawn, IDCANCEL)->isDefault());
      QVERIFY(Control<QLineEdit>(drawn, kEdit)->hasFrame());
      QCOMPARE(Control<QLineEdit>(drawn, kEdit)->toolTip(), QString::fromUtf8("Repère de l'objet"));
      QLineEdit* edit = Control<QLineEdit>(drawn, kEdit);
      QTest::keyClicks(edit, "ab#cdefghijk");
      QCOMPARE(dialog.chars, QByteArray("ab#cdefghijk"));
      CString held;
      dialog.GetDlgItemText(kEdit, held);
      QCOMPARE(QByteArray(held), QByteArray("abcdefgh"));  // '#' kept by the dialog, 8 at most
      QCOMPARE(edit->text(), QStringLiteral("abcdefgh"));
      edit->selectAll();
      for (QChar c : QString::fromUtf8("é€")) {  // keys of no ASCII name
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
      }
      dialog.GetDlgItemText(kEdit, held);
      QCOMPARE(QByteArray(held), QByteArray("\xE9\x80"));
      QCOMPARE(edit->text(), QString::fromUtf8("é€"));
    });
  }

  // What a handler changes is redrawn at once; then the dialog ends.
  void ClicksAndKeysEndTheDialog() {
    const std::pair<QString, INT_PTR> kEndings[] = {
        {"return", IDOK}, {"escape", IDCANCEL}, {"close", IDCANCEL}};
    for (const auto& ending : kEndings) {
      const QString& action = ending.first;
      ProbeDialog dialog;
      const INT_PTR ended = Run(dialog, [&](QDialog& drawn) {
        QPushButton* count = Control<QPushButton>(drawn, kCount);
        QTest::mouseClick(count, Qt::LeftButton);
        QTest::mouseClick(count, Qt::LeftButton);
        QCOMPARE(Control<QLabel>(drawn, kMessage)->text(), QStringLiteral("clics : 2"));
        QVERIFY(!Control<QLineEdit>(drawn, kEdit)->isEnabled());
        if (action == "return") QTest::keyClick(&drawn, Qt::Key_Return);
        if (action == "escape") QTest::keyClick(&drawn, Qt::Key_Escape);
        QVERIFY(dialog.IsDialogEnded() || action == "close");
        QCOMPARE(drawn.isVisible(), action == "close");
      });
      QCOMPARE(ended, ending.second);
      QCOMPARE(dialog.clicks, 2);
    }
  }

  // Centred on the owner, or at (0, 0) of its parent; the framework follows moves.
  void TheDrawingIsWhereTheFrameworkPutsItAndFollowsMoves() {
    CFrameWnd frame;
    QVERIFY(frame.Create(nullptr, "frame", WS_VISIBLE, CRect(200, 150, 700, 500), nullptr, 0));
    for (CWnd* parent : {static_cast<CWnd*>(nullptr), static_cast<CWnd*>(&frame)}) {
      ProbeDialog dialog(parent);
      Run(dialog, [&](QDialog& drawn) {
        if (parent == nullptr) {
          const QPoint offset = drawn.geometry().center() - owner_.frameGeometry().center();
          QVERIFY2(offset.manhattanLength() <= 2, "centred on the owner, to a pixel");
        } else {
          QCOMPARE(drawn.geometry().topLeft(), QPoint(200, 150));
        }
        CRect framework;
        dialog.GetWindowRect(&framework);
        QCOMPARE(QPoint(framework.left, framework.top), drawn.geometry().topLeft());
        drawn.move(260, 170);
        QCoreApplication::processEvents();
        dialog.GetWindowRect(&framework);
        QCOMPARE(QPoint(framework.left, framework.top), drawn.geometry().topLeft());
      });
    }
  }

  void AnExceptionOfAHandlerReachesTheCaller() {
    ProbeDialog dialog;
    dialog.throwOnCount = true;
    try {
      Run(dialog, [&](QDialog& drawn) {
        QTest::mouseClick(Control<QPushButton>(drawn, kCount), Qt::LeftButton);
      });
      QFAIL("the exception was lost");
    } catch (CUserException* e) {
      e->Delete();
    }
    QVERIFY(!dialog.IsDialogOpen());
  }

  void TheScreenIsTheOwnersScreen() {
    RECT screen{};
    driver_.GetScreenRect(&screen);
    QCOMPARE(QRect(QPoint(screen.left, screen.top), QPoint(screen.right - 1, screen.bottom - 1)),
             owner_.screen()->availableGeometry());
  }
};

QTEST_MAIN(DialogDriverTest)
#include "dialog_driver_test.moc"
