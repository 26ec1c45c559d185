// Every address whose symbol or comment contains, ends with or begins with a
// text, case ignored.
//
// A row is a candidate when its symbol (the whole field) contains the text
// in some case, or, for comments, when it is marked commented; with no
// candidate at all the search gives 108. Symbols are read from the symbol
// index's keys alone (a prefix is found by seeks, one per case of each of
// its letters that the keys hold), comments by one pass over the comment
// table; only the rows found are read. Unusual requests (another field or
// match, a text with an apostrophe) take the general walk of the text
// filter over every row (find_string_walk.cpp).

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "frame/checked_calls.h"
#include "objects/found_rows.h"
#include "storage/base_files.h"
#include "storage/relation.h"
#include "storage/symbol_texts.h"
#include "storage/tb_data.h"
#include "storage/text_match.h"

using namespace symbase;

namespace {

constexpr int kStop = 1;

// A scan's failure is reported as the walk's first step would be.
int Failed(CTBData& base, int code) {
  ReportReadFailure(base.m_mainTable, 20, code, __LINE__);
  return TB_NO_MATCH;
}

// Lists the rows found; 0.
int Listed(CTBData& base, const std::vector<long>& records, FoundOrder order, bool commentedOnly,
           CStringList& list) {
  ListFoundRows(base, records, order, commentedOnly, list);
  return 0;
}

}  // namespace

// The smallest text of `upper.size()` bytes, not below p[0..n), whose every
// byte is a case of the same byte of `upper`; false when there is none.
bool NextCase(const std::string& upper, const char* p, std::string* next) {
  const std::size_t n = upper.size();
  std::size_t valid = 0;  // p[0..valid) is made of cases of upper
  while (valid < n && CaseVariants(upper[valid]).find(p[valid]) != std::string::npos) ++valid;
  if (valid == n) {
    next->assign(p, n);
    return true;
  }
  // The first position from the right where a case above p's byte exists.
  for (std::size_t j = valid + 1; j-- > 0;) {
    for (const char v : CaseVariants(upper[j])) {
      if (static_cast<unsigned char>(v) <= static_cast<unsigned char>(p[j])) continue;
      next->assign(p, j);
      next->push_back(v);
      for (std::size_t k = j + 1; k < n; ++k) next->push_back(CaseVariants(upper[k])[0]);
      return true;
    }
  }
  return false;
}

// Entries of SYMBOLE_TAG whose symbol begins with `upper` in any case, in
// key order. The keys are sought case by case of the prefix's letters, and
// only those cases the keys hold are visited: a seek lands on the first key
// not below the smallest possible case, the keys that match are taken, and
// the first one that does not tells the next case worth a seek.
int CTBData::SymbolsWithPrefix(const std::string& upper, std::vector<long>* records) {
  const std::size_t n = upper.size();
  if (n > static_cast<std::size_t>(xbase::TagKeyLength(m_tagSymbole))) return 0;
  std::string candidate;
  for (const char c : upper) candidate.push_back(CaseVariants(c)[0]);
  for (;;) {
    bool done = true;
    const int r =
        xbase::TagScan(m_tagSymbole, candidate.c_str(), [&](const char* key, long record) {
          std::string next;
          if (!NextCase(upper, key, &next)) return kStop;  // past the last case
          if (next.compare(0, n, key, n) == 0) {
            records->push_back(record);
            return 0;
          }
          candidate = next;
          done = false;
          return kStop;
        });
    if (r < 0) return r;
    if (done) return 0;
  }
}

int CTBData::FindInSymbols(CStringList& list, int symbolOrder, const CString& text, int match) {
  const TextMatch matcher(text, match);
  const FoundOrder order = symbolOrder != 0 ? FoundOrder::kAsFound : FoundOrder::kByKey;
  std::vector<long> records;  // in symbol order
  if (match == TextMatch::kBeginsWith) {
    const int r = SymbolsWithPrefix(matcher.upper(), &records);
    if (r < 0) return Failed(*this, r);
    if (!records.empty()) return Listed(*this, records, order, false, list);
  }
  // Whether any symbol holds the text at all, and where: from every symbol.
  const int r = m_symbolTexts.Refresh(m_tagSymbole, xbase::TableRecordCount(m_mainTable),
                                      xbase::EngineChangeCounter(&m_session));
  if (r < 0) return Failed(*this, r);
  if (!m_symbolTexts.AnyContains(matcher.upper())) return TB_NO_MATCH;
  if (match != TextMatch::kBeginsWith) {
    m_symbolTexts.Containing(matcher.upper(), match == TextMatch::kEndsWith, &records);
  }
  return Listed(*this, records, order, false, list);
}

int CTBData::FindInComments(CStringList& list, int symbolOrder, const CString& text, int match) {
  const TextMatch matcher(text, match);
  const int key_at = xbase::FieldOffset(m_fieldCmtObjet);
  const int cmt1_at = xbase::FieldOffset(m_fieldCmt1);
  const int cmt2_at = xbase::FieldOffset(m_fieldCmt2);
  // The comment rows whose text matches: their keys.
  std::vector<std::pair<std::string, long>> keys;
  std::string comment;
  int r = xbase::TableScan(m_commentTable, [&](long record, const char* image) {
    if (image[0] != ' ') return 0;  // deleted
    comment.assign(image + cmt1_at, TrimmedLength(image + cmt1_at, kCmtWidth));
    comment.append(image + cmt2_at, TrimmedLength(image + cmt2_at, kCmtWidth));
    if (matcher.Matches(comment.data(), comment.size())) {
      keys.emplace_back(std::string(image + key_at, kCommentKeyLength), record);
    }
    return 0;
  });
  if (r < 0) return Failed(*this, r);
  // The main rows of those keys that are marked commented, when the row
  // matched is the one the key's comment is read from (the first).
  std::vector<long> records;
  for (const auto& found : keys) {
    const std::string& key = found.first;  // a plain reference: lambdas capture it
    long first = 0;
    r = xbase::TagScan(m_tagRepCmt, key.c_str(), [&](const char*, long record) {
      first = record;
      return kStop;
    });
    if (r < 0) return Failed(*this, r);
    if (first != found.second) continue;
    r = xbase::TagScan(m_tagRepCle, key.c_str(), [&](const char* entry, long record) {
      if (std::memcmp(entry, key.data(), kCommentKeyLength) != 0) return kStop;
      records.push_back(record);
      return 0;
    });
    if (r < 0) return Failed(*this, r);
  }
  const FoundOrder order = symbolOrder != 0 ? FoundOrder::kBySymbol : FoundOrder::kByKey;
  if (ListFoundRows(*this, records, order, true, list) == 0 && !AnyRowCommented()) {
    return TB_NO_MATCH;
  }
  return 0;
}

bool CTBData::AnyRowCommented() {
  const int flag_at = xbase::FieldOffset(m_fieldIsCmt);
  const int r = xbase::TableScan(m_mainTable, [&](long, const char* image) {
    return image[0] == ' ' && image[flag_at] == 'O' ? kStop : 0;
  });
  return r == kStop;
}

bool CTBData::FindsQuickly(int field, const CString& text, int match) {
  return (field == 0 || field == 1) && TextMatch::Usable(text, match, field == 0);
}

int CTBData::FindStringInBase(CStringList& list, int symbolOrder, int field, const CString& text,
                              int match) {
  if (!FindsQuickly(field, text, match)) {
    return FindByWalk(list, symbolOrder, field, text, match);
  }
  // The query slot is taken, as by the walk, and left empty.
  FreeRelation(*this);
  const int result = field == 0 ? FindInSymbols(list, symbolOrder, text, match)
                                : FindInComments(list, symbolOrder, text, match);
  xbase::TagSelect(m_mainTable, nullptr);
  return result;
}
