// "Valider" of the on-line symbolization dialog: the entry is checked with
// the lexical analyser and the object-name library, then written into the
// base as a new object or as the symbol and comment of an existing row.

#include "resources/resource_ids.h"
#include "storage/guarded_call.h"
#include "storage/symbol_text.h"
#include "storage/tb_data.h"
#include "symbase/tabis.h"
#include "tools/online_host.h"

using namespace symbase;

namespace {

constexpr std::int32_t kKindByteArrayKB = 441;
constexpr std::int32_t kKindByteArrayMB = 461;
constexpr int kByAddress = 0;
constexpr int kModifySymbolAndComment = 2;
constexpr int kCreateOperation = 505;
constexpr int kModifyOperation = 506;
constexpr int kFrameFirst = 0;
constexpr int kFrameSymbolized = 4025;
constexpr int kFrameFlag = 1;
constexpr int kApplication = 1;

CString WithoutTrailingBlanks(const CString& text) {
  CString copy = text;
  copy.TrimRight();
  return copy;
}

// The message for each reason the object-name library gives for a refused
// symbol; other reasons show an empty message.
unsigned SymbolRefusalMessage(int reason) {
  switch (reason) {
    case 1:
    case 7:
      return kMsgOnlineReserved;
    case 2:
      return kMsgOnlineSymbolExists;
    case 3:
      return kMsgOnlineDfbType;
    case 4:
      return kMsgOnlineDfbInstance;
    case 5:
      return kMsgOnlineEfName;
    case 6:
      return kMsgOnlineSyntax;
    default:
      return 0;
  }
}

// The address came from the word: the symbol must be a plain symbol that the
// analyser can prepare; `symbol` becomes the prepared text.
bool AcceptSymbolOfWord(CString& symbol) {
  const online::Analysis analysis(symbol);
  if (analysis.kind() != kAnalysisSymbol) {
    online::ShowMessage(kMsgOnlineReserved);
    return false;
  }
  CString prepared = symbol;
  if (PrepareSymbolText(prepared) <= 0) {
    online::ShowMessage(kMsgOnlineEmpty);
    return false;
  }
  symbol = prepared;
  return true;
}

// A typed address must be an object the host accepts; byte arrays only at
// an even index.
bool AcceptTypedAddress(const CString& address) {
  const online::Analysis analysis(address);
  const online::CheckContext context;
  // The formatter sees the address before the name check: a host's check
  // may rely on that.
  online::FormatAddress(&analysis.result());
  if (!online::NameAccepted(context.get(), &analysis.result())) {
    online::ShowMessage(kMsgOnlineSyntax);
    return false;
  }
  const UsAts& result = analysis.result();
  const bool array = result.objectKind == kKindByteArrayKB || result.objectKind == kKindByteArrayMB;
  if (array && ResultValue(&result.value) % 2 != 0) {
    online::ShowMessage(kMsgOnlineOddIndex);
    return false;
  }
  return true;
}

bool AcceptSymbolName(const CString& symbol) {
  int ok = 0;
  int reason = 0;
  CheckSymbolName(symbol, &ok, &reason);
  if (ok != 0) return true;
  online::ShowMessage(SymbolRefusalMessage(reason));
  return false;
}

// Tells the editor's frame which address was just symbolised; a dialog
// opened outside any frame has no one to tell.
void NotifyFrame(const CTBSymbOnLine& dialog) {
  CFrameWnd* frame = dialog.GetParentFrame();
  if (frame == nullptr) return;
  const CString repere = WithoutTrailingBlanks(dialog.m_objet.m_repere);
  HostFrameNotify(frame, kFrameFirst, kFrameSymbolized, kFrameFlag, repere);
}

}  // namespace

int CTBSymbOnLine::CheckInput() {
  m_editCommentaire.GetWindowText(m_commentaire);
  const CString comment = WithoutTrailingBlanks(m_commentaire);
  m_editSymbole.GetWindowText(m_symbole);
  CString symbol = WithoutTrailingBlanks(m_symbole);
  m_editRepere.GetWindowText(m_repere);
  m_repere.MakeUpper();
  const CString address = WithoutTrailingBlanks(m_repere);
  if (address.IsEmpty() || symbol.IsEmpty()) {
    online::ShowMessage(kMsgOnlineEmpty);
    return 0;
  }
  if (m_repereTyped == 0) {
    if (!AcceptSymbolOfWord(symbol)) return 0;
    m_symbole = symbol;
  } else if (!AcceptTypedAddress(address)) {
    return 0;
  }
  m_commentaire = comment;
  return 1;
}

int CTBSymbOnLine::StoreInput() {
  if (!AcceptSymbolName(m_symbole)) return 0;
  const online::Analysis analysis(m_repere);
  m_objet.m_symbole = m_symbole;
  m_objet.m_commentaire = m_commentaire;
  m_repere = online::FormatAddress(&analysis.result());
  m_objet.m_repere = m_repere;

  // The look-up and the write form one hold on the base, so that no other
  // process symbolises the address in between; a base that another process
  // keeps busy leaves the dialog open for another try.
  BaseAccess hold(*m_base, Access::kWrite);
  if (hold.refusal() != 0) return 0;
  CTBObjetAts probe;
  probe.m_repere = m_repere;
  if (TBSearchSymbol(m_base, &probe) == 0) {
    hold.Finish(0);
    online::ShowMessage(kMsgOnlineAlreadySymbolized);
    return 0;
  }
  // Their results are left to the reports of the base: what was asked is
  // told to the frame and the host either way.
  if (TBSearchAttrib(m_base, &probe, kByAddress) == 0) {
    GuardedOn(m_base, kModifyOperation, Access::kWrite,
              [&] { return m_base->ModifyObject(&m_objet, kModifySymbolAndComment); });
  } else {
    GuardedOn(m_base, kCreateOperation, Access::kWrite,
              [&] { return m_base->CreateObject(&m_objet); });
  }
  if (hold.Finish(0) != 0) return 0;  // not written: reported, the dialog stays
  NotifyFrame(*this);
  HostNotifyChange(HostGetObject(kApplication));
  return 1;
}
