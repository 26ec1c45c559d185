// The object record carried across the interface.

#include <cstring>

#include "symbase/tabis.h"

namespace {

// The text up to its first blank (the whole text when it has none).
CString UpToFirstBlank(const char* text) {
  const char* blank = text == nullptr ? nullptr : std::strchr(text, ' ');
  return blank == nullptr ? CString(text) : CString(text, static_cast<int>(blank - text));
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
  m_repere = UpToFirstBlank(repere);
  m_symbole = UpToFirstBlank(symbole);
  m_commentaire = commentaire;
  m_type = type;
  m_flag = flag;
}

l4linkSt& l4linkSt::operator=(const l4linkSt& other) {
  n = other.n;
  p = other.p;
  return *this;
}
