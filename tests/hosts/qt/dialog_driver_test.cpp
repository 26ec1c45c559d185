#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <functional>
#include <vector>

#include "symbase/qt/dialog_driver.h"

namespace {

// A template of each kind of control, and the dialog that runs it.
constexpr UINT kProbeTemplate = 29000;
constexpr UINT kToolText = 29001;
constexpr int kLabel = 3001;
constexpr int kEdit = 3002;
constexpr int kMessage = 3003;
constexpr int kCount = 3004;
constexpr UINT kEditLimit = 8;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

const AFX_DLGITEM kItems[] = {
    {kLabel, AFX_CTL_STATIC, "Rep\xE8re :", 7, 4, 36, 8, kChild | SS_LEFT},
    {kEdit, AFX_CTL_EDIT, "", 45, 2, 80, 12, kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
    {kMessage, AFX_CTL_STATIC, "", 7, 20, 118, 26, kChild | SS_LEFT},
    {IDOK, AFX_CTL_DEFBUTTON, "&Valider", 130, 2, 44, 14, kChild | BS_DEFPUSHBUTTON},
    {IDCANCEL, AFX_CTL_BUTTON, "&Annuler", 130, 18, 44, 14, kChild | BS_PUSHBUTTON},
    {kCount, AFX_CTL_BUTTON, "&Compter", 130, 34, 44, 14, kChild | BS_PUSHBUTTON},
};
const AFX_DLGTEMPLATE kTemplates[] = {
    {kProbeTemplate,
     "Essai d'\xE9"
     "dition",
     "MS Sans Serif", 8, 0, 0, 180, 52, DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION, kItems,
     static_cast<int>(sizeof kItems / sizeof *kItems)},
};
const AFX_STRINGRES kStrings[] = {{kToolText, "Rep\xE8re de l'objet"}};
const AFX_RESOURCE_MODULE kModule = {"driver test", kStrings, 1, kTemplates, 1};

class ProbeDialog : public CDialog {
 public:
  explicit ProbeDialog(CWnd* parent = nullptr) : CDialog(kProbeTemplate, parent) {}

  std::vector<char> chars;  // every WM_CHAR offered to the dialog
  int clicks = 0;
  int maxText = 0;
  bool throwOnCount = false;
  CString text;
  CToolTipCtrl tips;

  BOOL PreTranslateMessage(MSG* msg) override {
    if (msg->message == WM_CHAR) {
      chars.push_back(static_cast<char>(msg->wParam));
      if (msg->wParam == '#') return TRUE;  // the dialog keeps this one
    }
    tips.RelayEvent(msg);
    return CDialog::PreTranslateMessage(msg);
  }

 protected:
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    static_cast<CEdit*>(GetDlgItem(kEdit))->SetLimitText(kEditLimit);
    SetDlgItemText(kMessage, "Ligne un\nligne deux");
    tips.Create(this);
    tips.Activate(TRUE);
    tips.AddTool(GetDlgItem(kEdit), kToolText);
    tips.AddTool(GetDlgItem(kCount), "Compte les clics");
    return TRUE;
  }
  void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, kEdit, text); }

  afx_msg void OnCount() {
    ++clicks;
    if (throwOnCount) AfxThrowUserException();
    CString shown;
    shown.Format("clics : %d", clicks);
    SetDlgItemText(kMessage, shown);
    if (clicks == 2) GetDlgItem(kEdit)->EnableWindow(FALSE);
  }
  afx_msg void OnMaxText() { ++maxText; }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ProbeDialog, CDialog)
ON_BN_CLICKED(kCount, OnCount)
ON_EN_MAXTEXT(kEdit, OnMaxText)
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

  // Runs the dialog; the script acts on its drawing once it is shown. A
  // script that leaves it open closes it through the close box.
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

  void ControlsAreDrawnAtTheTemplateRectangles() {
    ProbeDialog dialog;
    Run(dialog, [&](QDialog& drawn) {
      CRect frame(0, 0, 180, 52);
      dialog.MapDialogRect(&frame);
      QCOMPARE(drawn.size(), QSize(frame.Width(), frame.Height()));
      QCOMPARE(drawn.windowTitle(), QString::fromUtf8("Essai d'édition"));
      for (const AFX_DLGITEM& item : kItems) {
        CRect box(item.x, item.y, item.x + item.cx, item.y + item.cy);
        dialog.MapDialogRect(&box);
        QWidget* widget = Control<QWidget>(drawn, static_cast<int>(item.nID));
        QVERIFY2(widget != nullptr, qPrintable(QString::number(item.nID)));
        QCOMPARE(widget->geometry(), QRect(box.left, box.top, box.Width(), box.Height()));
      }
      QCOMPARE(Control<QLabel>(drawn, kLabel)->text(), QString::fromUtf8("Repère :"));
      QCOMPARE(Control<QLabel>(drawn, kMessage)->text(), QStringLiteral("Ligne un\nligne deux"));
      QCOMPARE(Control<QPushButton>(drawn, IDOK)->text(), QStringLiteral("&Valider"));
      QVERIFY(Control<QPushButton>(drawn, IDOK)->isDefault());
      QVERIFY(!Control<QPushButton>(drawn, IDCANCEL)->isDefault());
      QVERIFY(Control<QLineEdit>(drawn, kEdit)->hasFrame());
      QCOMPARE(Control<QLineEdit>(drawn, kEdit)->toolTip(), QString::fromUtf8("Repère de l'objet"));
      QCOMPARE(Control<QPushButton>(drawn, kCount)->toolTip(), QStringLiteral("Compte les clics"));
      QCOMPARE(Control<QPushButton>(drawn, IDOK)->toolTip(), QString());
      // The label's text fits the rectangle the template gives it.
      QLabel* label = Control<QLabel>(drawn, kLabel);
      QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
    });
  }

  void TypedKeysReachTheDialogWithinTheEditsLimit() {
    ProbeDialog dialog;
    Run(dialog, [&](QDialog& drawn) {
      QLineEdit* edit = Control<QLineEdit>(drawn, kEdit);
      QTest::keyClicks(edit, "ab#cdefghijk");
      QCOMPARE(QByteArray(dialog.chars.data(), static_cast<int>(dialog.chars.size())),
               QByteArray("ab#cdefghijk"));
      CString held;
      dialog.GetDlgItemText(kEdit, held);
      QCOMPARE(QByteArray(held), QByteArray("abcdefgh"));  // '#' kept by the dialog, 8 at most
      QCOMPARE(dialog.maxText, 3);
      QCOMPARE(edit->text(), QStringLiteral("abcdefgh"));
      QTest::keyClick(edit, Qt::Key_Backspace);
      QTest::keyClick(edit, Qt::Key_Home);
      QTest::keyClick(edit, Qt::Key_Delete);
      dialog.GetDlgItemText(kEdit, held);
      QCOMPARE(QByteArray(held), QByteArray("bcdefg"));
      edit->selectAll();
      for (QChar c : QString::fromUtf8("é€")) {  // keys of no ASCII name
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
      }
      dialog.GetDlgItemText(kEdit, held);
      QCOMPARE(QByteArray(held), QByteArray("\xE9\x80"));
      QCOMPARE(edit->text(), QString::fromUtf8("é€"));
      QTest::keyClick(edit, Qt::Key_Return);
    });
    QCOMPARE(QByteArray(dialog.text), QByteArray("\xE9\x80"));  // read by OnOK's exchange
  }

  // What a handler changes is redrawn at once; then the dialog ends.
  void ClicksAndKeysEndTheDialog_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("result");
    QTest::newRow("Return presses the default button") << "return" << int{IDOK};
    QTest::newRow("Escape cancels") << "escape" << int{IDCANCEL};
    QTest::newRow("a click on Valider") << "ok" << int{IDOK};
    QTest::newRow("a click on Annuler") << "cancel" << int{IDCANCEL};
    QTest::newRow("the close box") << "close" << int{IDCANCEL};
  }
  void ClicksAndKeysEndTheDialog() {
    QFETCH(QString, action);
    QFETCH(int, result);
    ProbeDialog dialog;
    const INT_PTR ended = Run(dialog, [&](QDialog& drawn) {
      QPushButton* count = Control<QPushButton>(drawn, kCount);
      QTest::mouseClick(count, Qt::LeftButton);
      QTest::mouseClick(count, Qt::LeftButton);
      QCOMPARE(Control<QLabel>(drawn, kMessage)->text(), QStringLiteral("clics : 2"));
      QVERIFY(!Control<QLineEdit>(drawn, kEdit)->isEnabled());
      QTest::keyClicks(Control<QLineEdit>(drawn, kEdit), "x");  // a disabled edit takes nothing
      QVERIFY(dialog.chars.empty());
      QVERIFY(!dialog.IsDialogEnded());
      if (action == "return") QTest::keyClick(&drawn, Qt::Key_Return);
      if (action == "escape") QTest::keyClick(&drawn, Qt::Key_Escape);
      if (action == "ok") QTest::mouseClick(Control<QPushButton>(drawn, IDOK), Qt::LeftButton);
      if (action == "cancel") {
        QTest::mouseClick(Control<QPushButton>(drawn, IDCANCEL), Qt::LeftButton);
      }
      QVERIFY(dialog.IsDialogEnded() || action == "close");
      QCOMPARE(drawn.isVisible(), action == "close");
    });
    QCOMPARE(ended, INT_PTR{result});
    QCOMPARE(dialog.clicks, 2);
  }

  // Without a parent a dialog is centred on the owner; with one, the
  // template puts it at (0, 0) of its parent. Either way the framework's
  // rectangle follows the drawing when it moves.
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
    bool thrown = false;
    try {
      Run(dialog, [&](QDialog& drawn) {
        QTest::mouseClick(Control<QPushButton>(drawn, kCount), Qt::LeftButton);
        QVERIFY(!drawn.isVisible());
      });
    } catch (CUserException* e) {
      thrown = true;
      e->Delete();
    }
    QVERIFY(thrown);
    QVERIFY(!dialog.IsDialogOpen());
  }

  void TheScreenIsTheOwnersScreen() {
    RECT screen{};
    driver_.GetScreenRect(&screen);
    const QRect area = owner_.screen()->availableGeometry();
    QCOMPARE(QRect(screen.left, screen.top, screen.right - screen.left, screen.bottom - screen.top),
             area);
  }

  void InstallingPutsBackThePreviousDriver() {
    QCOMPARE(AfxGetDialogDriver(), &driver_);
    {
      symbase_qt::DialogDriver inner;
      QCOMPARE(AfxGetDialogDriver(), &inner);
    }
    QCOMPARE(AfxGetDialogDriver(), &driver_);
  }
};

QTEST_MAIN(DialogDriverTest)
#include "dialog_driver_test.moc"
