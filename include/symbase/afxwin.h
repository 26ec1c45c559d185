#ifndef SYMBASE_AFXWIN_H
#define SYMBASE_AFXWIN_H

// Windows, controls and dialogs of the framework, without a display: a window
// is a record of its text, rectangle (screen pixels), style, id, enabled flag
// and children. Dialogs are built from templates held in registered resource
// modules, and their modal loop is carried out by a replaceable dialog driver
// that the host installs: tests script it, a terminal host answers it, a
// graphical host draws the template. With no driver installed, DoModal returns
// -1 at once and nothing waits for a person who is not there.
//
// Caveats: windows live on the host's one thread; the resource chain and the
// driver are process-wide settings.

#include "symbase/afx.h"

// Handles: a window, and a resource module.
struct AfxWindow;  // a window's state, owned by the framework
typedef AfxWindow* HWND;
struct AFX_RESOURCE_MODULE;
typedef const AFX_RESOURCE_MODULE* HINSTANCE;

// Declared ahead; each is described where it is defined.
class CCmdTarget;
class CWnd;
class CFrameWnd;
class CDialog;

// ---------------------------------------------------------------------------
// Messages, styles and flags used here.

#define WM_DESTROY 0x0002u
#define WM_CLOSE 0x0010u
#define WM_KEYDOWN 0x0100u
#define WM_CHAR 0x0102u
#define WM_INITDIALOG 0x0110u
#define WM_COMMAND 0x0111u
#define WM_MOUSEMOVE 0x0200u
#define WM_LBUTTONDOWN 0x0201u
#define WM_LBUTTONUP 0x0202u

#define VK_RETURN 0x0Du
#define VK_ESCAPE 0x1Bu

#define CN_COMMAND 0
#define BN_CLICKED 0
#define EN_CHANGE 0x0300
#define EN_MAXTEXT 0x0501

#define WS_POPUP 0x80000000u
#define WS_CHILD 0x40000000u
#define WS_VISIBLE 0x10000000u
#define WS_DISABLED 0x08000000u
#define WS_CAPTION 0x00C00000u
#define WS_BORDER 0x00800000u
#define WS_SYSMENU 0x00080000u
#define WS_GROUP 0x00020000u
#define WS_TABSTOP 0x00010000u
#define DS_MODALFRAME 0x0080u
#define DS_SETFONT 0x0040u
#define DS_CENTER 0x0800u
#define ES_LEFT 0x0000u
#define ES_MULTILINE 0x0004u
#define ES_UPPERCASE 0x0008u
#define ES_LOWERCASE 0x0010u
#define ES_AUTOHSCROLL 0x0080u
#define ES_READONLY 0x0800u
#define BS_PUSHBUTTON 0x0000u
#define BS_DEFPUSHBUTTON 0x0001u
#define SS_LEFT 0x0000u

#define GW_HWNDNEXT 2u
#define GW_CHILD 5u

#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_SHOW 5

#define SWP_NOSIZE 0x0001u
#define SWP_NOMOVE 0x0002u
#define SWP_NOZORDER 0x0004u
#define SWP_NOACTIVATE 0x0010u
#define SWP_SHOWWINDOW 0x0040u
#define SWP_HIDEWINDOW 0x0080u

#define BST_UNCHECKED 0
#define BST_CHECKED 1

#define LPSTR_TEXTCALLBACK (reinterpret_cast<LPTSTR>(-1L))

// One message to a window: its window, number, two parameters, time and
// the mouse's place.
struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};
typedef MSG* LPMSG;

// ---------------------------------------------------------------------------
// Message maps: command handlers (void members) found by control id and
// notification code, searched from the most derived class to CCmdTarget.

#define afx_msg

// A handler, and its signature: AfxSig_vv (no arguments, no result), or
// AfxSig_end closing a map.
typedef void (CCmdTarget::*AFX_PMSG)();
enum AfxSig { AfxSig_end = 0, AfxSig_vv = 1 };

// One entry: the handler of a message, notification code and id range.
struct AFX_MSGMAP_ENTRY {
  UINT nMessage;  // WM_COMMAND, WM_CLOSE, WM_DESTROY
  UINT nCode;     // the notification code (BN_CLICKED ...)
  UINT nID;       // the first and the last control id handled
  UINT nLastID;
  UINT_PTR nSig;  // an AfxSig
  AFX_PMSG pfn;
};

// A class's map: its entries, and the way to its base class's map.
struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;  // ended by an AfxSig_end entry
};

#define DECLARE_MESSAGE_MAP()                   \
 protected:                                     \
  static const AFX_MSGMAP* GetThisMessageMap(); \
  const AFX_MSGMAP* GetMessageMap() const override;

// A map lists its handlers between BEGIN_MESSAGE_MAP(Class, Base) and
// END_MESSAGE_MAP(), one entry each: ON_BN_CLICKED(IDC_X, OnX) calls OnX when
// the button IDC_X is clicked; unmatched messages go on to Base's map.
// clang-format off
#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                 \
    using ThisClass [[maybe_unused]] = theClass;                                    \
    typedef baseClass TheBaseClass;                                                 \
    static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                          \
      {0, 0, 0, 0, AfxSig_end, nullptr}};                                          \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap,        \
                                          &_messageEntries[0]};                    \
    return &messageMap;                                                            \
  }

#define ON_CONTROL(wNotifyCode, id, memberFxn)                                     \
  {WM_COMMAND, static_cast<UINT>(wNotifyCode), static_cast<UINT>(id),              \
   static_cast<UINT>(id), AfxSig_vv, static_cast<AFX_PMSG>(&ThisClass::memberFxn)},
#define ON_COMMAND(id, memberFxn) ON_CONTROL(CN_COMMAND, id, memberFxn)
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_MAXTEXT(id, memberFxn) ON_CONTROL(EN_MAXTEXT, id, memberFxn)
#define ON_WM_CLOSE() \
  {WM_CLOSE, 0, 0, 0, AfxSig_vv, static_cast<AFX_PMSG>(&ThisClass::OnClose)},
#define ON_WM_DESTROY() \
  {WM_DESTROY, 0, 0, 0, AfxSig_vv, static_cast<AFX_PMSG>(&ThisClass::OnDestroy)},
// clang-format on

// Not used here; declared for OnCmdMsg's signature.
struct AFX_CMDHANDLERINFO;

// An object that handles commands through its message map.
class SYMBASE_API CCmdTarget : public CObject {
  DECLARE_DYNAMIC(CCmdTarget)
 public:
  CCmdTarget() = default;
  // Calls the handler of (nID, nCode) from the message map; FALSE when none.
  virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra = NULL,
                        AFX_CMDHANDLERINFO* pHandlerInfo = NULL);

 protected:
  // The map of this class, and of the object's own class (DECLARE_MESSAGE_MAP
  // declares both for a derived class).
  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;
  // Calls the handler of a window message (WM_CLOSE, WM_DESTROY); FALSE when none.
  BOOL DispatchMessageMap(UINT nMessage, UINT nCode, UINT nID);
};

// ---------------------------------------------------------------------------
// Windows.

// A window: text, rectangle, style, id, enabled flag and children.
class SYMBASE_API CWnd : public CCmdTarget {
  DECLARE_DYNAMIC(CWnd)
 public:
  // An object with no window attached. Not copyable.
  CWnd();
  // Destroys the window when this object created it; otherwise only detaches.
  ~CWnd() override;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND m_hWnd;                                 // null while no window is attached
  HWND GetSafeHwnd() const { return m_hWnd; }  // m_hWnd, null included
  // The object attached to a live window; null for null or destroyed windows.
  static CWnd* FromHandle(HWND hWnd);

  // Creates a window; rect is relative to the parent's client area (screen
  // coordinates without a parent). FALSE when a window is already attached.
  BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
              CWnd* pParentWnd, UINT nID);
  // Destroys the window and its children; their objects are detached.
  virtual BOOL DestroyWindow();
  // Attaches this object to an existing window, which reports through it from then on.
  // FALSE when this object already has a window or hWnd is not live.
  BOOL SubclassWindow(HWND hWnd);
  // Detaches the window and returns it; null when none was attached.
  HWND UnsubclassWindow();

  // The window's text, its children by id and its own id. GetWindowText
  // copies at most nMaxCount - 1 bytes and returns the count copied. Without
  // a window: texts read as "", setters do nothing, flags read FALSE.
  void SetWindowText(LPCTSTR lpszString);
  int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const;
  void GetWindowText(CString& rString) const;
  int GetWindowTextLength() const;
  CWnd* GetDlgItem(int nID) const;  // null when no child has that id
  // GW_CHILD: the first child window; GW_HWNDNEXT: the next window of the
  // same parent, in order of creation. Null when there is none, for another
  // command, and for a window no object answers for.
  CWnd* GetWindow(UINT nCmd) const;
  int GetDlgCtrlID() const;
  void SetDlgItemText(int nID, LPCTSTR lpszString);
  int GetDlgItemText(int nID, CString& rString) const;

  // Enabled flag, visibility (ShowWindow: SW_HIDE, SW_SHOW...; TRUE when it
  // was visible before) and style (ModifyStyle: TRUE when it changed).
  // EnableWindow: TRUE when the window was disabled before the call.
  BOOL EnableWindow(BOOL bEnable = TRUE);
  BOOL IsWindowEnabled() const;
  BOOL ShowWindow(int nCmdShow);
  BOOL IsWindowVisible() const;
  DWORD GetStyle() const;
  BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);

  void GetWindowRect(LPRECT lpRect) const;  // screen coordinates
  void GetClientRect(LPRECT lpRect) const;  // (0, 0, width, height)
  // Converts between this window's client and screen coordinates.
  void ClientToScreen(LPRECT lpRect) const;
  void ScreenToClient(LPRECT lpRect) const;
  // Positions are relative to the parent's client area (screen without parent).
  void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
  void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
  // Moves, sizes, shows or hides as the SWP_ flags say (x, y as for
  // MoveWindow); pWndInsertAfter is ignored. FALSE without a window.
  BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
  // Centres on pAlternateOwner, else on the parent, else on the driver's screen.
  void CenterWindow(CWnd* pAlternateOwner = NULL);

  // The parent's object; null for a top window.
  CWnd* GetParent() const;
  // The nearest ancestor that is a CFrameWnd; null when there is none.
  CFrameWnd* GetParentFrame() const;

  // Messages pass here before they are processed; TRUE means consumed.
  virtual BOOL PreTranslateMessage(MSG* pMsg);

 protected:
  // A command from a control (LOWORD id, HIWORD notification code), handed to
  // the message map.
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);

  DECLARE_MESSAGE_MAP()

 private:
  friend class CDialog;
  void AttachNew(HWND hWnd);  // attaches and takes ownership of a new window
};

// A frame window, the parent the frame notifications go to.
class SYMBASE_API CFrameWnd : public CWnd {
  DECLARE_DYNAMIC(CFrameWnd)
};

// A static text control.
class SYMBASE_API CStatic : public CWnd {
  DECLARE_DYNAMIC(CStatic)
};

// A button.
class SYMBASE_API CButton : public CWnd {
  DECLARE_DYNAMIC(CButton)
 public:
  // BST_CHECKED or BST_UNCHECKED; BST_UNCHECKED without a window.
  int GetCheck() const;
  void SetCheck(int nCheck);
};

// Edit control: typed and replaced text honour the limit; SetWindowText does not.
class SYMBASE_API CEdit : public CWnd {
  DECLARE_DYNAMIC(CEdit)
 public:
  // 0 lifts the limit to 0x7FFFFFFE; a new edit holds at most 30000 bytes.
  void SetLimitText(UINT nMax);
  void LimitText(int nChars = 0);  // as SetLimitText
  UINT GetLimitText() const;
  // Selects [nStartChar, nEndChar); nEndChar -1 selects to the end; nStartChar
  // -1 removes the selection. Values are clamped to the text.
  void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE);
  void GetSel(int& nStartChar, int& nEndChar) const;  // the selection's ends
  // Replaces the selection, cut so that the text stays within the limit; the
  // caret goes after the inserted text. FALSE when the text was cut.
  BOOL ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo = FALSE);
};

// Tooltips: the registered tools are kept readable.
class SYMBASE_API CToolTipCtrl : public CWnd {
  DECLARE_DYNAMIC(CToolTipCtrl)
 public:
  // Creates the control for the tools of pParentWnd; FALSE when it exists.
  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);
  // Whether the tips show.
  void Activate(BOOL bActivate);
  BOOL IsActive() const;
  // The text id is loaded through the resource chain ("" when missing).
  BOOL AddTool(CWnd* pWnd, UINT nIDText, LPCRECT lpRectTool = NULL, UINT_PTR nIDTool = 0);
  BOOL AddTool(CWnd* pWnd, LPCTSTR lpszText = LPSTR_TEXTCALLBACK, LPCRECT lpRectTool = NULL,
               UINT_PTR nIDTool = 0);
  // Offers a message to the tips (counted by GetRelayedCount).
  void RelayEvent(LPMSG lpMsg);

  int GetToolCount() const;  // the tools registered
  // The text registered for pWnd; "" when it has no tool.
  void GetText(CString& str, CWnd* pWnd, UINT_PTR nIDTool = 0) const;
  // The nIndex-th tool in order of registration: its window (null once
  // destroyed), its text id (0 for a literal text) and its text.
  CWnd* GetToolWindow(int nIndex) const;
  UINT GetToolTextID(int nIndex) const;
  CString GetToolText(int nIndex) const;
  int GetRelayedCount() const;  // messages relayed since Create
};

// ---------------------------------------------------------------------------
// Resources: string tables and dialog templates as data, in modules that a
// library registers when it loads. Lookups search the newest module first.

// The controls a dialog template holds.
enum AfxControlKind {
  AFX_CTL_BUTTON = 0,
  AFX_CTL_DEFBUTTON = 1,
  AFX_CTL_EDIT = 2,
  AFX_CTL_STATIC = 3
};

// One control of a dialog template: id, kind, text, rectangle and style.
struct AFX_DLGITEM {
  UINT nID;
  int nKind;  // AfxControlKind
  LPCTSTR lpszText;
  short x, y, cx, cy;  // dialog units, relative to the client area
  DWORD dwStyle;
};

// A dialog template: id, caption, font, rectangle, style and controls.
struct AFX_DLGTEMPLATE {
  UINT nID;
  LPCTSTR lpszCaption;
  LPCTSTR lpszFontName;
  WORD wPointSize;
  short x, y, cx, cy;  // dialog units; the position relative to the parent
  DWORD dwStyle;
  const AFX_DLGITEM* pItems;
  int nItems;
};

// One string of a string table.
struct AFX_STRINGRES {
  UINT nID;
  LPCTSTR lpszText;
};

// A module's resources: its name, string table and dialog templates.
struct AFX_RESOURCE_MODULE {
  LPCTSTR lpszName;
  const AFX_STRINGRES* pStrings;
  int nStrings;
  const AFX_DLGTEMPLATE* pDialogs;
  int nDialogs;
};

// A module may be added more than once; each removal takes one registration.
SYMBASE_API BOOL AfxAddResourceModule(HINSTANCE hModule);     // FALSE for null
SYMBASE_API BOOL AfxRemoveResourceModule(HINSTANCE hModule);  // FALSE when absent
// The string or dialog template of that id from the newest module holding
// it; null when no registered module holds the id.
SYMBASE_API LPCTSTR AfxFindStringResource(UINT nID);
SYMBASE_API const AFX_DLGTEMPLATE* AfxFindDialogTemplate(UINT nID);
// Copies the string (cut to nMaxBuf - 1 bytes); returns its length, 0 when missing.
SYMBASE_API int AfxLoadString(UINT nID, LPTSTR lpszBuf, UINT nMaxBuf);
// Pixel size of the dialog base units of a font (a 8-point font gives 6 x 13).
SYMBASE_API SIZE AfxGetDialogBaseUnits(LPCTSTR lpszFontName, WORD wPointSize);

// Start-up of a library that brings its own resources: the module record is a
// static of the library, initialised at load and terminated at unload; each
// CDynLinkLibrary links the module into the resource chain until it is deleted
// or the module terminated (which deletes the ones still alive).
struct AFX_EXTENSION_MODULE {
  BOOL bInitialized;
  HINSTANCE hModule;
  HINSTANCE hResource;
};
// Initialises the record for hModule (FALSE for a null module); terminates
// it, deleting the CDynLinkLibrary objects still linking it.
SYMBASE_API BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HINSTANCE hModule);
SYMBASE_API void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll = FALSE);

// Links an initialised module into the resource chain for as long as it
// lives.
class SYMBASE_API CDynLinkLibrary : public CCmdTarget {
  DECLARE_DYNAMIC(CDynLinkLibrary)
 public:
  // Registers the module of `state`; the destructor removes it.
  explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem = FALSE);
  ~CDynLinkLibrary() override;
  CDynLinkLibrary(const CDynLinkLibrary&) = delete;
  CDynLinkLibrary& operator=(const CDynLinkLibrary&) = delete;

  HINSTANCE m_hModule;    // the module linked
  HINSTANCE m_hResource;  // the module its resources come from
};

// ---------------------------------------------------------------------------
// Dialog data exchange.

// One exchange between a dialog's controls and its members.
class SYMBASE_API CDataExchange {
 public:
  // An exchange with the dialog pDlgWnd, in the direction given.
  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);
  BOOL m_bSaveAndValidate;  // TRUE: controls -> members
  CWnd* m_pDlgWnd;          // the dialog

  // The control of that id; a missing control throws CNotSupportedException.
  HWND PrepareCtrl(int nIDC);
  HWND PrepareEditCtrl(int nIDC);  // the same, remembered as an edit
  // Abandons the exchange: UpdateData then returns FALSE.
  [[noreturn]] void Fail();

 private:
  friend SYMBASE_API void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);
  HWND m_hLastControl;
  BOOL m_bEditLastControl;
};

// Copies the text of control nIDC into value, or value into the control.
SYMBASE_API void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// Attaches rControl to the control nIDC the first time (later calls do nothing).
SYMBASE_API void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// Loading limits the last edit exchanged; saving fails when value is longer.
SYMBASE_API void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);

// ---------------------------------------------------------------------------
// Dialogs and their driver.

// What runs a modal dialog: a test script, a terminal, a graphical host.
class SYMBASE_API CDialogDriver {
 public:
  virtual ~CDialogDriver();
  // Runs one open dialog: calls RunInitDialog, then reads and writes controls,
  // types, presses buttons, until the dialog ends. Returning with the dialog
  // still open closes it as its close box does (IDCANCEL).
  virtual void Run(CDialog& dialog) = 0;
  // The screen, for centring windows that have no parent: 1024 x 768 by default.
  virtual void GetScreenRect(LPRECT lpRect) const;
};

// Installs the driver (not owned; null restores "no driver"); returns the previous one.
SYMBASE_API CDialogDriver* AfxSetDialogDriver(CDialogDriver* pDriver);
SYMBASE_API CDialogDriver* AfxGetDialogDriver();  // null when none

// A modal dialog built from a template of the resource chain.
class SYMBASE_API CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)
 public:
  // A dialog of template nIDTemplate (none: 0) over pParentWnd; nothing is
  // opened before DoModal. The destructor closes a dialog still open.
  CDialog();
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL);
  ~CDialog() override;

  // Opens the template with its controls, lets the driver run the dialog and
  // returns what EndDialog gave. -1 when no driver is installed, the template is
  // not in the resource chain or the dialog is already open.
  virtual INT_PTR DoModal();
  // Ends the dialog after the current handler; the first call's value counts.
  void EndDialog(int nResult);
  // Exchanges data through DoDataExchange; FALSE when the exchange failed.
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
  // Converts dialog units of the open template's font to pixels.
  void MapDialogRect(LPRECT lpRect) const;

  // Called once the controls exist: UpdateData(FALSE); TRUE.
  virtual BOOL OnInitDialog();
  // Consumes nothing (FALSE): the keys are then handled as PressKey says. A
  // dialog that watches messages overrides it.
  BOOL PreTranslateMessage(MSG* pMsg) override;

  // Entries for the driver. Each returns FALSE, doing nothing, when the dialog
  // is not open or has ended.
  BOOL RunInitDialog();  // calls OnInitDialog once (TRUE when it ran)
  // A click: IDOK and IDCANCEL always reach OnOK and OnCancel; another id must
  // be an enabled control and goes to OnCommand.
  BOOL PressButton(int nID);
  // Keys through PreTranslateMessage: Escape cancels, Return presses the
  // default button (IDOK when there is none).
  BOOL PressKey(UINT nVirtKey);
  // Types into an enabled, writable edit, byte by byte as keys (each offered
  // to PreTranslateMessage as WM_CHAR): each replaces the selection within the
  // limit and notifies EN_CHANGE, or EN_MAXTEXT when it does not fit. TRUE
  // when every byte went in.
  BOOL TypeText(int nID, LPCTSTR lpszText);
  // Whether the dialog is open, and whether EndDialog was called.
  BOOL IsDialogOpen() const;
  BOOL IsDialogEnded() const;
  // The template's id, and the template while open (else null).
  UINT GetTemplateID() const { return m_nIDTemplate; }
  const AFX_DLGTEMPLATE* GetTemplate() const { return m_pTemplate; }

 protected:
  virtual void OnOK();      // UpdateData(TRUE) and EndDialog(IDOK)
  virtual void OnCancel();  // EndDialog(IDCANCEL)
  // Exchanges nothing: a dialog with data overrides it.
  virtual void DoDataExchange(CDataExchange* pDX);

  DECLARE_MESSAGE_MAP()

 private:
  BOOL OpenFromTemplate();
  void CloseDialogWindow();
  BOOL SendCommand(int nID, int nCode);

  UINT m_nIDTemplate;
  CWnd* m_pParentWnd;
  const AFX_DLGTEMPLATE* m_pTemplate;
  SIZE m_baseUnits;
  int m_nModalResult;
  BOOL m_bEnded;
  BOOL m_bInitDone;
};

#endif
