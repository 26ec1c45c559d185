// The object record carried across the interface.

#include <cstring>

#include "symbase/tabis.h"

namespace {

// Sets `text` to `source` up to its first blank (the whole of it when it
// has none; "" for null).
void SetUpToFirstBlank(CString& text, const char* source) {
  const char* blank = source == nullptr ? nullptr : std::strchr(source, ' ');
  if (blank == nullptr) {
    text = source;
  } else {
    text.SetString(source, static_cast<int>(blank - source));
  }
}

}  // namespace

CTBObjetAts::CTBObjetAts() : m_type(0xFFFFFFFF), m_flag(-1) {}

CTBObjetAts::CTBObjetAts(const char* repere, const char* symbole, const char* commentaire,
                         DWORD type, short flag) {
  Init(repere, symbole, commentaire, type, flag);
}

CTBObjetAts::~CTBObjetAts() = default;

void CTBObjetAts::Init(const char* repere, const char* symbole, const char* commentaire, DWORD type,
                       short flag) {
  SetUpToFirstBlank(m_repere, repere);
  SetUpToFirstBlank(m_symbole, symbole);
  m_commentaire = commentaire;
  m_type = type;
  m_flag = flag;
}

l4linkSt& l4linkSt::operator=(const l4linkSt& other) {
  n = other.n;
  p = other.p;
  return *this;
}
