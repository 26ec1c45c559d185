// Inserting one object the way an import does: what is new is created, what
// is missing is completed, and what contradicts the base is a conflict,
// replaced, left alone or put to the user.

#include "address/key_text.h"
#include "address/object_key.h"
#include "frame/checked_calls.h"
#include "objects/confirm_dialog.h"
#include "resources/resource_ids.h"
#include "storage/base_access.h"
#include "storage/base_files.h"
#include "storage/symbol_text.h"
#include "storage/tb_data.h"
#include "symbase/host.h"
#include "symbase/tabis.h"

using namespace symbase;
using Conflict = InsertConflict;

namespace {

constexpr int kMessageKindQuestion = 7;
constexpr int kButtonsYesNo = 4;

enum InsertMode { kReplace = 0, kKeep = 1, kAsk = 2 };

// Another process wrote while the user answered: what was read before is
// stale, so the insertion looks at the base again.
constexpr int kDecideAgain = 1 << 20;

bool NotFound(int result) { return result == TB_NO_ROW || result == TB_KEY_NOT_FOUND; }

CString Trimmed(CString text) {
  text.TrimLeft();
  text.TrimRight();
  return text;
}

}  // namespace

int CTBData::InsertObject(CTBObjetAts* object, int mode) {
  int result;
  do {
    result = InsertOnce(object, mode);
  } while (result == kDecideAgain);
  return result;
}

int CTBData::InsertOnce(CTBObjetAts* object, int mode) {
  CTBObjetAts existing(object->m_repere, "", "", 0, -1);
  PrepareSymbolText(object->m_symbole);
  const int found = SearchAttrib(&existing, 0);
  if (found != 0 && !NotFound(found)) return found;
  const CString& symbol = object->m_symbole;

  if (found != 0) {  // the address is new
    if (symbol.IsEmpty() && object->m_commentaire.IsEmpty()) return 0;
    if (CheckSymbolFree(symbol) == 0) {
      if (mode == kReplace || mode == kKeep || mode == kAsk) AppendObject(object);
      return 0;
    }
    return ResolveConflict(Conflict::kAddressNew, object, &existing, mode);
  }

  const CString& old_symbol = existing.m_symbole;
  if (!symbol.IsEmpty() && !old_symbol.IsEmpty() && symbol != old_symbol) {
    const Conflict kind = CheckSymbolFree(symbol) == 0 ? Conflict::kSymbol : Conflict::kDouble;
    return ResolveConflict(kind, object, &existing, mode);
  }
  const CString comment = Trimmed(object->m_commentaire);
  const CString old_comment = Trimmed(existing.m_commentaire);
  if (!comment.IsEmpty() && !old_comment.IsEmpty() && comment != old_comment) {
    return ResolveConflict(Conflict::kComment, object, &existing, mode);
  }
  if (!object->m_commentaire.IsEmpty() && existing.m_commentaire.IsEmpty()) {
    ModifyObject(object, 1);
    return 0;
  }
  if (!symbol.IsEmpty() && old_symbol.IsEmpty()) {
    if (CheckSymbolFree(symbol) == 0) {
      ModifyObject(object, 0);
      return 0;
    }
    return ResolveConflict(Conflict::kAddressPresent, object, &existing, mode);
  }
  return 0;
}

int CTBData::ResolveConflict(Conflict kind, CTBObjetAts* object, CTBObjetAts* existing, int mode) {
  if (mode == kReplace) {
    Replace(kind, object, existing);
    return 0;
  }
  if (mode != kAsk) return 0;

  // The address that carries the symbol, for the message.
  CTBObjetAts other;
  if (kind == Conflict::kAddressNew || kind == Conflict::kAddressPresent ||
      kind == Conflict::kDouble) {
    other.m_symbole = object->m_symbole;
    const int result = SearchAttrib(&other, 1);
    if (result != 0 && !NotFound(result)) return result;
  }
  if (m_yesToAll == 1) {
    Replace(kind, object, existing);
    return 0;
  }
  if (m_noToAll == 1) return TB_REFUSED;

  FormatConflictMessage(kind, *object, *existing, other.m_repere);
  // Nothing is written yet: the base is let go while a person answers.
  BaseAccess* access = m_access;
  if (access != nullptr) access->Pause();
  const int answer = AskConflict();
  bool changed = false;
  if (access != nullptr) {
    const int result = access->Resume(&changed);
    if (result != 0) return result;
  }
  switch (answer) {
    case kButtonYesToAll:
      m_yesToAll = 1;
      [[fallthrough]];
    case kButtonYes:
      if (changed) return kDecideAgain;
      Replace(kind, object, existing);
      return 0;
    case kButtonNoToAll:
      m_noToAll = 1;
      [[fallthrough]];
    case kButtonNo:
      return TB_REFUSED;
    case TB_INTERRUPTED:
      return TB_INTERRUPTED;
    default:
      return 0;
  }
}

int CTBData::AskConflict() {
  for (;;) {
    CTBConfirmDlg dialog(m_message, nullptr);
    const int button = dialog.DoModal();
    if (button != kButtonCancel) return button;
    CString question;
    question.LoadString(kMsgConfirmInterruption);
    const int answer = HostMessageBox("", question, kMessageKindQuestion, kButtonsYesNo);
    if (answer == IDYES) return TB_INTERRUPTED;
    if (answer != IDNO) return 0;
    // No: back to the conflict.
  }
}

void CTBData::FormatConflictMessage(Conflict kind, const CTBObjetAts& object,
                                    const CTBObjetAts& existing, const CString& other) {
  CString format;
  switch (kind) {
    case Conflict::kAddressNew:
    case Conflict::kAddressPresent:
      format.LoadString(kMsgAddressConflict);
      m_message.Format(format, static_cast<const char*>(object.m_symbole),
                       static_cast<const char*>(object.m_repere), static_cast<const char*>(other));
      break;
    case Conflict::kDouble:
      format.LoadString(kMsgDoubleConflict);
      m_message.Format(format, static_cast<const char*>(object.m_repere),
                       static_cast<const char*>(object.m_symbole),
                       static_cast<const char*>(existing.m_symbole),
                       static_cast<const char*>(other));
      break;
    case Conflict::kSymbol:
      format.LoadString(kMsgSymbolConflict);
      m_message.Format(format, static_cast<const char*>(object.m_repere),
                       static_cast<const char*>(object.m_symbole),
                       static_cast<const char*>(existing.m_symbole));
      break;
    case Conflict::kComment:
      format.LoadString(kMsgCommentConflict);
      m_message.Format(format, static_cast<const char*>(object.m_repere));
      break;
  }
}

void CTBData::Replace(Conflict kind, CTBObjetAts* object, CTBObjetAts* existing) {
  switch (kind) {
    case Conflict::kAddressNew:
      MoveSymbol(object);
      break;
    case Conflict::kAddressPresent:
    case Conflict::kDouble:
      DelObject(existing);
      MoveSymbol(object);
      break;
    case Conflict::kSymbol:
      ModifyObject(object, 2);
      break;
    case Conflict::kComment: {
      const bool same_symbol =
          object->m_symbole.IsEmpty() || object->m_symbole == existing->m_symbole;
      ModifyObject(object, same_symbol ? 1 : 2);
      break;
    }
  }
}

void CTBData::SetButtonAllPressed(int value) {
  m_yesToAll = value;
  m_noToAll = value;
}

int CTBData::MoveSymbol(CTBObjetAts* object) {
  PrepareSymbolText(object->m_symbole);
  int result = SeekOnMainTag(m_tagSymbole, BlankPadded(object->m_symbole, kSymboleWidth));
  if (result != 0) return result;
  const bool commented = MainRowHasComment();
  const CString old_key = commented ? MainRowCommentKey() : CString();
  const AddressKey key = EncodeRepere(object->m_repere);
  WriteMainRow(key, object->m_symbole, object->m_repere);
  if (commented) {
    xbase::FieldAssign(m_fieldIsCmt, "O");
    result = RewriteComment(object->m_commentaire, old_key, key.objet, key.ind1, key.ind2, key.ind3,
                            key.ind4);
  } else if (!object->m_commentaire.IsEmpty()) {
    result = AppendCommentOfKey(object->m_commentaire, key);
  }
  if (result != 0) return result;
  return CheckedTableUnlock(m_mainTable);
}
