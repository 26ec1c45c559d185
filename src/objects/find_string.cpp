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
#include "frame/report.h"
#include "lists/relation_batch.h"
#include "objects/symbol_texts.h"
#include "objects/text_match.h"
#include "storage/base_files.h"
#include "storage/tb_data.h"

using namespace symbase;

namespace {

constexpr int kNothingPasses = 108;
constexpr int kStop = 1;

// A row found, with what orders it: the symbol field or the address key, as
// stored.
struct Found {
  char order[kSymboleWidth + 1];
  long record;
  bool operator<(const Found& other) const {
    const int c = std::strcmp(order, other.order);
    return c != 0 ? c < 0 : record < other.record;
  }
};

// The order the addresses found are listed in.
enum class Order { kAsFound, kBySymbol, kByKey };

// A scan's failure is reported as the walk's first step would be.
int Failed(int code) {
  ReportError(20, code, "", kCheckedCallSource, __LINE__);
  return kNothingPasses;
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
  const int order = static_cast<int>(symbolOrder != 0 ? Order::kAsFound : Order::kByKey);
  std::vector<long> records;  // in symbol order
  if (match == TextMatch::kBeginsWith) {
    const int r = SymbolsWithPrefix(matcher.upper(), &records);
    if (r < 0) return Failed(r);
    if (!records.empty()) return ListFound(list, records, order);
  }
  // Whether any symbol holds the text at all, and where: from every symbol.
  const int r = m_symbolTexts.Refresh(m_tagSymbole, xbase::EngineChangeCounter(&m_session));
  if (r < 0) return Failed(r);
  if (!m_symbolTexts.AnyContains(matcher.upper())) return kNothingPasses;
  if (match != TextMatch::kBeginsWith) {
    m_symbolTexts.Containing(matcher.upper(), match == TextMatch::kEndsWith, &records);
  }
  return ListFound(list, records, order);
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
  if (r < 0) return Failed(r);
  // The main rows of those keys that are marked commented, when the row
  // matched is the one the key's comment is read from (the first).
  std::vector<long> records;
  for (const auto& [key, at] : keys) {
    long first = 0;
    r = xbase::TagScan(m_tagRepCmt, key.c_str(), [&](const char*, long record) {
      first = record;
      return kStop;
    });
    if (r < 0) return Failed(r);
    if (first != at) continue;
    r = xbase::TagScan(m_tagRepCle, key.c_str(), [&](const char* entry, long record) {
      if (std::memcmp(entry, key.data(), kCommentKeyLength) != 0) return kStop;
      records.push_back(record);
      return 0;
    });
    if (r < 0) return Failed(r);
  }
  records.erase(std::remove_if(records.begin(), records.end(),
                               [&](long record) {
                                 return CheckedTableGo(m_mainTable, record) != 0 ||
                                        !MainRowHasComment();
                               }),
                records.end());
  if (records.empty() && !AnyRowCommented()) return kNothingPasses;
  return ListFound(list, records,
                   static_cast<int>(symbolOrder != 0 ? Order::kBySymbol : Order::kByKey));
}

bool CTBData::AnyRowCommented() {
  const int flag_at = xbase::FieldOffset(m_fieldIsCmt);
  const int r = xbase::TableScan(m_mainTable, [&](long, const char* image) {
    return image[0] == ' ' && image[flag_at] == 'O' ? kStop : 0;
  });
  return r == kStop;
}

// Adds the addresses of the rows found to the list, in the order asked.
int CTBData::ListFound(CStringList& list, const std::vector<long>& records, int order) {
  std::vector<Found> rows(records.size());
  std::size_t kept = 0;
  for (long record : records) {
    if (CheckedTableGo(m_mainTable, record) != 0) break;  // reported: the rows so far stand
    Found& row = rows[kept++];
    row.record = record;
    row.order[0] = '\0';
    if (order == static_cast<int>(Order::kBySymbol)) {
      xbase::FieldCopy(m_fieldSymbole, row.order, kSymboleWidth + 1);
    } else if (order == static_cast<int>(Order::kByKey)) {
      char* at = row.order;
      for (const auto& [field, width] : {std::pair<xbase::Field*, int>{m_fieldObjet, kObjetWidth},
                                         {m_fieldInd1, kIndWidth},
                                         {m_fieldInd2, kIndWidth},
                                         {m_fieldInd3, kIndWidth},
                                         {m_fieldInd4, kInd4Width}}) {
        at += xbase::FieldCopy(field, at, width + 1);
      }
    }
  }
  rows.resize(kept);
  if (order != static_cast<int>(Order::kAsFound)) std::sort(rows.begin(), rows.end());
  char address[kRepereWidth + 1];
  for (const Found& row : rows) {
    CheckedTableGo(m_mainTable, row.record);
    xbase::FieldCopy(m_fieldRepere, address, sizeof address);
    TrimRightBlanks(address, kRepereWidth);
    list.AddTail(address);
  }
  return 0;
}

int CTBData::FindStringInBase(CStringList& list, int symbolOrder, int field, const CString& text,
                              int match) {
  if (!TextMatch::Usable(text, match) || (field != 0 && field != 1)) {
    return FindByWalk(list, symbolOrder, field, text, match);
  }
  // The query slot is taken, as by the walk, and left empty.
  FreeRelation(*this);
  const int result = field == 0 ? FindInSymbols(list, symbolOrder, text, match)
                                : FindInComments(list, symbolOrder, text, match);
  xbase::TagSelect(m_mainTable, nullptr);
  return result;
}
