#include "drawn_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <algorithm>

#include "symbase/qt/text.h"
#include "template_font.h"

namespace symbase_qt {

namespace {

// QLineEdit holds at most this many characters.
constexpr UINT kLineEditMaximum = 32767;
constexpr DWORD kButtonTypeMask = 0x0F;

QString WindowText(const CWnd& window) {
  CString text;
  window.GetWindowText(text);
  return FromCp1252(static_cast<const char*>(text));
}

// Characters that `before` and `after` share at their start, then at their end
// (not counting those already shared at the start).
std::pair<int, int> SharedEnds(const QString& before, const QString& after) {
  const int shortest = static_cast<int>(std::min(before.size(), after.size()));
  int head = 0;
  while (head < shortest && before[head] == after[head]) ++head;
  int tail = 0;
  while (tail < shortest - head &&
         before[before.size() - 1 - tail] == after[after.size() - 1 - tail]) {
    ++tail;
  }
  return {head, tail};
}

CEdit* AsEdit(CWnd* window) {
  return window != nullptr && window->IsKindOf(RUNTIME_CLASS(CEdit)) ? static_cast<CEdit*>(window)
                                                                     : nullptr;
}

}  // namespace

DrawnDialog::DrawnDialog(CDialog& dialog, QWidget* owner,
                         std::function<void(QDialog&, CDialog&)> shown)
    : QDialog(owner), dialog_(dialog), shown_(std::move(shown)) {
  setModal(true);
  setFont(TemplateFont(dialog));
  Build();
  Place(owner);
  Refresh();
}

void DrawnDialog::Build() {
  for (CWnd* child = dialog_.GetWindow(GW_CHILD); child != nullptr;
       child = child->GetWindow(GW_HWNDNEXT)) {
    if (QWidget* widget = NewWidget(child)) {
      widget->setObjectName(QStringLiteral("control_%1").arg(child->GetDlgCtrlID()));
      controls_.push_back({child->GetSafeHwnd(), widget});
    }
  }
}

QWidget* DrawnDialog::NewWidget(CWnd* window) {
  const HWND handle = window->GetSafeHwnd();
  if (window->IsKindOf(RUNTIME_CLASS(CEdit))) {
    auto* line = new QLineEdit(this);
    line->setFrame((window->GetStyle() & WS_BORDER) != 0);
    // The window's limit governs what goes in, not Qt's.
    line->setMaxLength(static_cast<int>(kLineEditMaximum));
    line->installEventFilter(this);
    connect(line, &QLineEdit::textEdited, this, [this, handle, line] { OnEdited(handle, line); });
    return line;
  }
  if (window->IsKindOf(RUNTIME_CLASS(CButton))) {
    auto* button = new QPushButton(this);
    // Return is the dialog's: it presses the template's default button.
    button->setAutoDefault(false);
    button->setDefault((window->GetStyle() & kButtonTypeMask) == BS_DEFPUSHBUTTON);
    const int id = window->GetDlgCtrlID();
    connect(button, &QPushButton::clicked, this,
            [this, id] { Entry([this, id] { dialog_.PressButton(id); }); });
    return button;
  }
  if (window->IsKindOf(RUNTIME_CLASS(CStatic))) {
    auto* label = new QLabel(this);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    return label;
  }
  return nullptr;
}

void DrawnDialog::MoveFrameworkWindow(const QPoint& screen) {
  CRect target(screen.x(), screen.y(), screen.x(), screen.y());
  // The framework moves a window relative to its parent.
  if (CWnd* parent = dialog_.GetParent()) parent->ScreenToClient(&target);
  dialog_.SetWindowPos(nullptr, target.left, target.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void DrawnDialog::Place(QWidget* owner) {
  CRect rect;
  dialog_.GetWindowRect(&rect);
  if (dialog_.GetParent() == nullptr) {
    const QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    const QRect around = owner != nullptr    ? owner->frameGeometry()
                         : screen != nullptr ? screen->availableGeometry()
                                             : QRect(0, 0, rect.Width(), rect.Height());
    MoveFrameworkWindow(around.center() - QPoint(rect.Width() / 2, rect.Height() / 2));
    dialog_.GetWindowRect(&rect);
  }
  placing_ = true;
  setFixedSize(rect.Width(), rect.Height());
  setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
  placing_ = false;
}

QRect DrawnDialog::ClientRectOf(CWnd* window) const {
  CRect outer;
  dialog_.GetWindowRect(&outer);
  CRect inner;
  window->GetWindowRect(&inner);
  return QRect(inner.left - outer.left, inner.top - outer.top, inner.Width(), inner.Height());
}

void DrawnDialog::Refresh() {
  setWindowTitle(WindowText(dialog_));
  for (const Control& control : controls_) {
    CWnd* window = CWnd::FromHandle(control.handle);
    if (window == nullptr) {  // destroyed by a handler
      control.widget->hide();
      continue;
    }
    const QString text = WindowText(*window);
    control.widget->setGeometry(ClientRectOf(window));
    control.widget->setEnabled(window->IsWindowEnabled() != FALSE);
    control.widget->setVisible(window->IsWindowVisible() != FALSE);
    if (auto* line = qobject_cast<QLineEdit*>(control.widget)) {
      CEdit* edit = AsEdit(window);
      line->setReadOnly((window->GetStyle() & ES_READONLY) != 0);
      if (line->text() != text) line->setText(text);
      int start = 0;
      int end = 0;
      edit->GetSel(start, end);
      if (start == end) {
        line->setCursorPosition(end);
      } else {
        line->setSelection(start, end - start);
      }
    } else if (auto* button = qobject_cast<QPushButton*>(control.widget)) {
      button->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(control.widget)) {
      label->setText(text);
    }
  }
  for (CWnd* child = dialog_.GetWindow(GW_CHILD); child != nullptr;
       child = child->GetWindow(GW_HWNDNEXT)) {
    if (child->IsKindOf(RUNTIME_CLASS(CToolTipCtrl))) {
      ApplyToolTips(static_cast<CToolTipCtrl*>(child));
    }
  }
  CRect rect;
  dialog_.GetWindowRect(&rect);
  if (geometry().topLeft() != QPoint(rect.left, rect.top)) {
    placing_ = true;
    move(rect.left, rect.top);
    placing_ = false;
  }
}

void DrawnDialog::ApplyToolTips(CToolTipCtrl* tips) {
  for (const Control& control : controls_) control.widget->setToolTip(QString());
  if (!tips->IsActive()) return;
  for (int i = 0; i < tips->GetToolCount(); ++i) {
    CWnd* tool = tips->GetToolWindow(i);
    if (tool == nullptr) continue;
    for (const Control& control : controls_) {
      if (control.handle == tool->GetSafeHwnd()) {
        control.widget->setToolTip(FromCp1252(static_cast<const char*>(tips->GetToolText(i))));
      }
    }
  }
}

HWND DrawnDialog::HandleOf(const QObject* widget) const {
  for (const Control& control : controls_) {
    if (control.widget == widget) return control.handle;
  }
  return nullptr;
}

bool DrawnDialog::eventFilter(QObject* watched, QEvent* event) {
  auto* line = qobject_cast<QLineEdit*>(watched);
  if (line != nullptr && event->type() == QEvent::KeyPress && !line->isReadOnly()) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    const bool command = (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) != 0;
    if (!command && !text.isEmpty() && text.at(0).isPrint()) {
      OnTyped(HandleOf(line), line, text);
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void DrawnDialog::OnTyped(HWND handle, QLineEdit* line, const QString& text) {
  Entry([this, handle, line, &text] {
    CEdit* edit = AsEdit(CWnd::FromHandle(handle));
    if (edit == nullptr) return;
    QByteArray typed;
    if (!ToCp1252(text, &typed)) QApplication::beep();
    if (typed.isEmpty()) return;
    const int start = line->hasSelectedText() ? line->selectionStart() : line->cursorPosition();
    const int end = line->hasSelectedText() ? line->selectionEnd() : start;
    edit->SetSel(start, end);
    dialog_.TypeText(edit->GetDlgCtrlID(), typed.constData());
  });
}

void DrawnDialog::OnEdited(HWND handle, QLineEdit* line) {
  Entry([this, handle, line] {
    CEdit* edit = AsEdit(CWnd::FromHandle(handle));
    if (edit == nullptr) return;
    const QString before = WindowText(*edit);
    const QString after = line->text();
    const auto [head, tail] = SharedEnds(before, after);
    QByteArray typed;
    if (!ToCp1252(after.mid(head, after.size() - head - tail), &typed)) QApplication::beep();
    // What changed becomes the edit's selection, replaced by what was typed.
    edit->SetSel(head, static_cast<int>(before.size()) - tail);
    if (typed.isEmpty()) {
      edit->ReplaceSel("");
    } else {
      dialog_.TypeText(edit->GetDlgCtrlID(), typed.constData());
    }
  });
}

void DrawnDialog::Entry(const std::function<void()>& entry) {
  if (pending_ || dialog_.IsDialogEnded()) return;
  try {
    entry();
  } catch (...) {
    // Nothing may leave through Qt's event loop: kept for Run.
    pending_ = std::current_exception();
    QDialog::done(0);
    return;
  }
  if (dialog_.IsDialogEnded() || !dialog_.IsDialogOpen()) {
    QDialog::done(0);
    return;
  }
  Refresh();
}

void DrawnDialog::RethrowPending() {
  if (pending_) std::rethrow_exception(pending_);
}

void DrawnDialog::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      Entry([this] { dialog_.PressKey(VK_RETURN); });
      return;
    case Qt::Key_Escape:
      Entry([this] { dialog_.PressKey(VK_ESCAPE); });
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

void DrawnDialog::closeEvent(QCloseEvent* event) {
  // The close box is a press of IDCANCEL; a dialog may refuse to close.
  Entry([this] { dialog_.PressButton(IDCANCEL); });
  if (pending_ || dialog_.IsDialogEnded()) {
    event->accept();
  } else {
    event->ignore();
  }
}

void DrawnDialog::reject() {
  Entry([this] { dialog_.PressButton(IDCANCEL); });
}

void DrawnDialog::moveEvent(QMoveEvent* event) {
  QDialog::moveEvent(event);
  if (!placing_ && isVisible() && !dialog_.IsDialogEnded()) {
    MoveFrameworkWindow(geometry().topLeft());
  }
}

void DrawnDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!shown_) return;
  auto shown = std::move(shown_);
  shown_ = nullptr;
  QTimer::singleShot(0, this, [this, shown] {
    if (!dialog_.IsDialogEnded()) shown(*this, dialog_);
  });
}

}  // namespace symbase_qt
