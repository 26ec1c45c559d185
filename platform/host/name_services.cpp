// Default symbol preparation, object-name checks, declarations and context
// library.

#include <cstring>
#include <string_view>

#include "host/symbol_rules.h"
#include "symbase/host.h"

namespace {

// The one built-in declarations object: it knows no symbol.
HostDeclarations g_declarations{nullptr};

constexpr int kDeclarationsService = 219;

}  // namespace

int CHostServices::PrepareSymbol(char* text) {
  if (text == nullptr) return 0;
  std::string_view trimmed = host::TrimBlanks(text);
  std::size_t length = trimmed.size();
  std::memmove(text, trimmed.data(), length);
  text[length] = '\0';
  bool usable =
      host::ClassifySymbol(std::string_view(text, length)) == host::SymbolVerdict::kSymbol;
  return usable ? static_cast<int>(length) : 0;
}

void CHostServices::CheckSymbolName(const char* symbol, int* ok, int* reason) {
  host::SymbolVerdict verdict = host::SymbolVerdict::kNotSymbol;
  // Anything longer than a symbol can be is refused without reading it all.
  if (symbol != nullptr) {
    verdict =
        host::ClassifySymbol(std::string_view(symbol, strnlen(symbol, host::kMaxSymbolLength + 1)));
  }
  int why = verdict == host::SymbolVerdict::kSymbol     ? 0
            : verdict == host::SymbolVerdict::kReserved ? kSymbolReserved
                                                        : kSymbolSyntax;
  if (ok != nullptr) *ok = why == 0 ? 1 : 0;
  if (reason != nullptr) *reason = why;
}

void CHostServices::CheckAnalysedName(const HostContext* /*context*/, const UsAts* result, int* ok,
                                      int* value) {
  bool address = result != nullptr && result->wordClass == kWordAddress;
  if (ok != nullptr) *ok = address ? 1 : 0;
  if (value != nullptr) *value = address ? result->objectKind : 0;
}

HostDeclarations* CHostServices::ServerGetService(int id) {
  return id == kDeclarationsService ? &g_declarations : nullptr;
}

void CHostServices::DeclRecordCreate(HostDeclRecord* record) {
  if (record == nullptr) return;
  record->comment[0] = '\0';
  record->hostData = nullptr;
}

void CHostServices::DeclRecordDestroy(HostDeclRecord* record) {
  if (record != nullptr) record->comment[0] = '\0';
}

int CHostServices::DeclFindSymbol(HostDeclarations* /*decl*/, int /*scope*/, const char* /*symbol*/,
                                  HostDeclRecord* record) {
  if (record != nullptr) record->comment[0] = '\0';
  return kDeclLeftToBase;
}

void CHostServices::DeclGetAddress(HostDeclarations* /*decl*/, int /*scope*/,
                                   const char* /*symbol*/, CString& address) {
  address.Empty();
}

void CHostServices::DeclRecordComment(const HostDeclRecord* record, CString& comment) {
  // A record filled by a host may lack its NUL: never read past the field.
  if (record == nullptr) {
    comment.Empty();
    return;
  }
  comment =
      CString(record->comment, static_cast<int>(strnlen(record->comment, sizeof record->comment)));
}

void CHostServices::ContextSourceCreate(HostContextSource* source) {
  if (source == nullptr) return;
  *source = HostContextSource{{0, 0, 0}, 0, nullptr};
}

int CHostServices::ContextSourceSetup(HostContextSource* source, int purpose, int scope,
                                      int options) {
  if (source == nullptr) return 0;
  source->setup[0] = purpose;
  source->setup[1] = scope;
  source->setup[2] = options;
  source->ready = 1;
  return 1;
}

std::intptr_t CHostServices::ContextSourceGet(HostContextSource* source, int /*scope*/,
                                              int /*options*/) {
  // The value names the source it came from; 0 when it was never set up.
  if (source == nullptr || source->ready == 0) return 0;
  return reinterpret_cast<std::intptr_t>(source);
}

void CHostServices::ContextCreate(HostContext* context, std::intptr_t value) {
  if (context == nullptr) return;
  *context = HostContext{value, 1, nullptr};
}

void CHostServices::ContextDestroy(HostContext* context) {
  if (context == nullptr) return;
  context->live = 0;
  context->value = 0;
}

void CHostServices::ContextSourceDestroy(HostContextSource* source) {
  if (source == nullptr) return;
  source->ready = 0;
}
