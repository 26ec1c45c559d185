#ifndef SYMBASE_PLATFORM_AFX_WINDOW_STATE_H
#define SYMBASE_PLATFORM_AFX_WINDOW_STATE_H

// What a window is when there is no display: its record, the objects that
// view it, and the operations shared by windows, controls and dialogs.

#include <memory>
#include <vector>

#include "symbase/afxwin.h"

namespace afx {

enum class WindowKind { kGeneric, kDialog, kButton, kDefButton, kEdit, kStatic, kToolTip };

// An object viewing a window. Wrapped so that the containers of it stay
// inside the library (a vector of CWnd* would be an exported instance).
struct View {
  CWnd* wnd;
  bool operator==(const View& other) const { return wnd == other.wnd; }
};

struct Tool {
  HWND window;
  UINT textId;  // 0 for a literal text
  CString text;
  UINT_PTR toolId;
};

}  // namespace afx

struct AfxWindow {
  afx::WindowKind kind = afx::WindowKind::kGeneric;
  CString text;
  CRect rect;  // screen pixels
  DWORD style = 0;
  UINT id = 0;
  AfxWindow* parent = nullptr;
  std::vector<AfxWindow*> children;

  CWnd* object = nullptr;         // the object that answers for it (GetDlgItem)
  CWnd* creator = nullptr;        // destroys the window when it goes
  std::vector<afx::View> views;   // every object whose m_hWnd is this window
  std::unique_ptr<CWnd> standIn;  // the object made for a template control

  // Edits.
  UINT limit = 30000;
  int selStart = 0;
  int selEnd = 0;
  // Buttons.
  int check = 0;
  // Tooltips.
  bool active = true;
  std::vector<afx::Tool> tools;
  int relayed = 0;
};

namespace afx {

// A new window, child of parent (may be null), in screen pixels. Its creator
// is attached to it. Allocation failures surface as CMemoryException.
HWND NewWindow(WindowKind kind, LPCTSTR text, DWORD style, UINT id, const RECT& screenRect,
               HWND parent, CWnd* creator);
// Destroys a window and its children; every object viewing them is detached.
void DestroyWindowTree(HWND window);
bool IsLiveWindow(HWND window);

void Attach(CWnd* object, HWND window);
void Detach(CWnd* object);

HWND FindChild(HWND parent, UINT id);
void SetText(HWND window, LPCTSTR text);
// Moves a window (and its children with it) so that its top-left corner is at
// (left, top) on the screen, and gives it the size width x height.
void PlaceWindow(HWND window, LONG left, LONG top, LONG width, LONG height);
// Replaces an edit's selection with text, cut to the limit; false when cut.
bool ReplaceSelection(HWND edit, LPCTSTR text);
void ScreenRect(RECT* out);

// Converts allocation failures of the standard containers to the framework's.
template <class F>
auto WithFrameworkMemory(F f) -> decltype(f()) {
  try {
    return f();
  } catch (const std::bad_alloc&) {
    AfxThrowMemoryException();
  }
}

}  // namespace afx

#endif
