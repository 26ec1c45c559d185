// The on-line symbolization dialog: opening, data exchange, the two buttons.
// The checks and the store of "Valider" are in symb_online_store.cpp.

#include <cstdint>

#include "resources/resource_ids.h"
#include "storage/tb_data.h"
#include "symbase/tabis.h"
#include "tools/online_host.h"

using namespace symbase;

namespace {

constexpr int kSymboleLimit = 32;
constexpr int kCommentLimit = 508;  // two comment fields of 254
constexpr int kStorageObject = 3;
constexpr int kDeclarationsService = 219;
constexpr std::int32_t kWordSymbolOfDfb = 341;
constexpr int kByAddress = 0;
constexpr int kBySymbol = 1;
constexpr DWORD kNoType = ~DWORD{0};

// The storage object the object server hands out; null when it has none.
CTBData* ServedBase() {
  CObject* object = ServerGetObject(kStorageObject);
  if (object == nullptr || !object->IsKindOf(RUNTIME_CLASS(CTBData))) return nullptr;
  return static_cast<CTBData*>(object);
}

// A symbol word: its address and comment from the base when the declarations
// leave the symbol to it, otherwise from the declarations.
void FillFromSymbol(CTBSymbOnLine& dialog, HostDeclarations* declarations) {
  online::DeclRecord declared;
  dialog.m_symbole = online::WordText(*dialog.m_word);
  dialog.m_objet.m_symbole = dialog.m_symbole;
  if (DeclFindSymbol(declarations, 0, dialog.m_symbole, declared.get()) != kDeclLeftToBase) {
    DeclGetAddress(declarations, 0, dialog.m_symbole, dialog.m_repere);
    DeclRecordComment(declared.get(), dialog.m_commentaire);
  } else if (TBSearchRepere(dialog.m_base, &dialog.m_objet) != 0) {
    dialog.m_repere.Empty();
    dialog.m_commentaire.Empty();
  } else {
    TBSearchAttrib(dialog.m_base, &dialog.m_objet, kBySymbol);
    dialog.m_repere = dialog.m_objet.m_repere;
    dialog.m_commentaire = dialog.m_objet.m_commentaire;
  }
  dialog.m_editSymbole.EnableWindow(FALSE);
}

// An address word: its symbol, if any, and comment from the base. False when
// the host refuses the word as an object.
bool FillFromAddress(CTBSymbOnLine& dialog, const HostContext* context) {
  if (!online::NameAccepted(context, dialog.m_word)) {
    online::ShowMessage(kMsgOnlineReserved);
    return false;
  }
  dialog.m_repere = online::FormatAddress(dialog.m_word);
  dialog.m_objet.m_repere = dialog.m_repere;
  const bool symbolized = TBSearchSymbol(dialog.m_base, &dialog.m_objet) == 0;
  TBSearchAttrib(dialog.m_base, &dialog.m_objet, kByAddress);
  dialog.m_symbole = symbolized ? dialog.m_objet.m_symbole : CString();
  dialog.m_commentaire = dialog.m_objet.m_commentaire;
  if (symbolized) dialog.m_editSymbole.EnableWindow(FALSE);
  dialog.m_repereTyped = 0;
  dialog.m_editRepere.EnableWindow(FALSE);
  return true;
}

// Fills the three texts from the word; false when the dialog must close.
bool FillFromWord(CTBSymbOnLine& dialog, HostDeclarations* declarations,
                  const HostContext* context) {
  switch (dialog.m_word == nullptr ? kWordNothing : dialog.m_word->wordClass) {
    case kWordSymbol:
    case kWordSymbolOfDfb:
      FillFromSymbol(dialog, declarations);
      return true;
    case kWordAddress:
      return FillFromAddress(dialog, context);
    case kWordNothing:
      dialog.m_symbole.Empty();
      dialog.m_repere.Empty();
      dialog.m_commentaire.Empty();
      online::ShowMessage(kMsgOnlineEmpty);
      return false;
    default:  // left for the user to type
      return true;
  }
}

void AddToolTips(CTBSymbOnLine& dialog) {
  CToolTipCtrl& tips = dialog.m_toolTip;
  tips.Create(&dialog);
  tips.Activate(TRUE);
  tips.AddTool(&dialog.m_editSymbole, kTipOnlineSymbol);
  tips.AddTool(&dialog.m_editCommentaire, kTipOnlineComment);
  tips.AddTool(&dialog.m_editRepere, kTipOnlineRepere);
  tips.AddTool(dialog.GetDlgItem(IDCANCEL), kTipOnlineCancel);
  tips.AddTool(dialog.GetDlgItem(IDOK), kTipOnlineOk);
}

}  // namespace

BEGIN_MESSAGE_MAP(CTBSymbOnLine, CDialog)
END_MESSAGE_MAP()

CTBSymbOnLine::CTBSymbOnLine(UsAts* word, CWnd* parent)
    : CDialog(kOnlineDialog, parent), m_word(word), m_base(nullptr), m_repereTyped(1) {}

CTBSymbOnLine::~CTBSymbOnLine() = default;

void CTBSymbOnLine::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, kOnlineSymbolEdit, m_editSymbole);
  DDX_Control(pDX, kOnlineRepereEdit, m_editRepere);
  DDX_Control(pDX, kOnlineCommentEdit, m_editCommentaire);
  DDX_Control(pDX, kOnlineRepereLabel, m_labelRepere);
  DDX_Control(pDX, kOnlineSymbolLabel, m_labelSymbole);
  DDX_Text(pDX, kOnlineSymbolEdit, m_symbole);
  DDX_Text(pDX, kOnlineRepereEdit, m_repere);
  DDX_Text(pDX, kOnlineCommentEdit, m_commentaire);
}

BOOL CTBSymbOnLine::PreTranslateMessage(MSG* pMsg) {
  m_toolTip.RelayEvent(pMsg);
  return CDialog::PreTranslateMessage(pMsg);
}

BOOL CTBSymbOnLine::OnInitDialog() {
  // Opened again, the dialog starts afresh rather than from what was left.
  m_symbole.Empty();
  m_repere.Empty();
  m_commentaire.Empty();
  m_objet.Init("", "", "", kNoType, -1);
  CDialog::OnInitDialog();
  m_base = ServedBase();
  HostDeclarations* declarations = ServerGetService(kDeclarationsService);
  online::CheckContext context;
  m_repereTyped = 1;
  m_editSymbole.SetLimitText(kSymboleLimit);
  m_editCommentaire.SetLimitText(kCommentLimit);

  bool usable = m_base != nullptr && FillFromWord(*this, declarations, context.get());
  m_editCommentaire.ReplaceSel(m_commentaire);
  m_editRepere.ReplaceSel(m_repere);
  m_editSymbole.ReplaceSel(m_symbole);
  online::PlaceAtSavedPosition(*this);
  AddToolTips(*this);
  // Refused only now, placed where it would have shown, so that the position
  // saved on the way out is the one the user chose.
  if (!usable) OnCancel();
  return TRUE;
}

void CTBSymbOnLine::OnOK() {
  if (!CheckAndStore()) return;
  online::SavePosition(*this);
  EndDialog(IDOK);
}

void CTBSymbOnLine::OnCancel() {
  online::SavePosition(*this);
  CDialog::OnCancel();
}

int CTBSymbOnLine::CheckAndStore() {
  int result = CheckInput();
  if (result != 0) result = StoreInput();
  return result;
}
