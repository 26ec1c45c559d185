// Window records: creation, destruction, attachment of objects, placement and
// the edit's selection replacement.

#include "afx/window_state.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "symbase/cp1252.h"

namespace afx {
namespace {

// Every live window, so that a stale handle is recognised instead of read.
// Never destroyed: windows may outlive other statics at exit.
std::unordered_set<HWND>& LiveWindows() {
  static auto* live = new std::unordered_set<HWND>;
  return *live;
}

void EraseView(HWND window, CWnd* object) {
  auto& views = window->views;
  views.erase(std::remove(views.begin(), views.end(), View{object}), views.end());
}

void Offset(HWND window, LONG dx, LONG dy) {
  window->rect.OffsetRect(dx, dy);
  for (HWND child : window->children) Offset(child, dx, dy);
}

}  // namespace

HWND NewWindow(WindowKind kind, LPCTSTR text, DWORD style, UINT id, const RECT& screenRect,
               HWND parent, CWnd* creator) {
  return WithFrameworkMemory([&] {
    auto window = std::make_unique<AfxWindow>();
    window->kind = kind;
    window->text = text;
    window->style = style;
    window->id = id;
    window->rect = screenRect;
    window->parent = parent;
    window->views.reserve(2);
    if (parent != nullptr) parent->children.reserve(parent->children.size() + 1);
    LiveWindows().insert(window.get());
    HWND made = window.release();
    if (parent != nullptr) parent->children.push_back(made);
    if (creator != nullptr) {
      made->creator = creator;
      Attach(creator, made);
    }
    return made;
  });
}

void DestroyWindowTree(HWND window) {
  if (!IsLiveWindow(window)) return;
  // Children go first, newest first, as their parent's list shrinks.
  while (!window->children.empty()) DestroyWindowTree(window->children.back());
  for (View view : window->views) view.wnd->m_hWnd = nullptr;
  window->views.clear();
  if (window->parent != nullptr) {
    auto& siblings = window->parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
  }
  LiveWindows().erase(window);
  delete window;  // the stand-in object goes with it, already detached
}

bool IsLiveWindow(HWND window) { return window != nullptr && LiveWindows().count(window) != 0; }

void Attach(CWnd* object, HWND window) {
  WithFrameworkMemory([&] { window->views.push_back(View{object}); });
  object->m_hWnd = window;
  window->object = object;
}

void Detach(CWnd* object) {
  HWND window = object->m_hWnd;
  object->m_hWnd = nullptr;
  if (!IsLiveWindow(window)) return;
  EraseView(window, object);
  if (window->creator == object) window->creator = nullptr;
  if (window->object == object) {
    window->object = window->views.empty() ? nullptr : window->views.back().wnd;
  }
}

HWND FindChild(HWND parent, UINT id) {
  if (!IsLiveWindow(parent)) return nullptr;
  for (HWND child : parent->children) {
    if (child->id == id && child->kind != WindowKind::kToolTip) return child;
  }
  return nullptr;
}

void SetText(HWND window, LPCTSTR text) {
  window->text = text;
  window->selStart = window->selEnd = 0;
}

void PlaceWindow(HWND window, LONG left, LONG top, LONG width, LONG height) {
  Offset(window, left - window->rect.left, top - window->rect.top);
  window->rect.right = window->rect.left + std::max<LONG>(width, 0);
  window->rect.bottom = window->rect.top + std::max<LONG>(height, 0);
}

bool ReplaceSelection(HWND edit, LPCTSTR text) {
  CString& current = edit->text;
  int length = current.GetLength();
  int start = std::clamp(std::min(edit->selStart, edit->selEnd), 0, length);
  int end = std::clamp(std::max(edit->selStart, edit->selEnd), 0, length);
  size_t wanted = text == nullptr ? 0 : std::strlen(text);
  size_t kept = static_cast<size_t>(length - (end - start));
  size_t room = edit->limit > kept ? edit->limit - kept : 0;
  int taken = static_cast<int>(std::min(wanted, room));
  CString inserted(text, taken);
  if ((edit->style & ES_UPPERCASE) != 0) inserted.MakeUpper();
  if ((edit->style & ES_LOWERCASE) != 0) inserted.MakeLower();
  current = current.Left(start) + inserted + current.Mid(end);
  edit->selStart = edit->selEnd = start + taken;
  return static_cast<size_t>(taken) == wanted;
}

void ScreenRect(RECT* out) {
  CDialogDriver* driver = AfxGetDialogDriver();
  if (driver != nullptr) {
    driver->GetScreenRect(out);
  } else {
    *out = RECT{0, 0, 1024, 768};
  }
}

}  // namespace afx

void CDialogDriver::GetScreenRect(LPRECT lpRect) const {
  if (lpRect != nullptr) *lpRect = RECT{0, 0, 1024, 768};
}
