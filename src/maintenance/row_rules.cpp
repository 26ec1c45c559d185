#include "maintenance/row_rules.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "address/object_key.h"
#include "storage/base_files.h"
#include "symbase/maintenance.h"

namespace symbase {
namespace {

// A text of a row (at most an address long) with its record number; sorted
// by text, then record.
struct Keyed {
  char text[kRepereWidth + 1];
  std::uint32_t record;
};

bool Before(const Keyed& a, const Keyed& b) {
  const int c = std::strcmp(a.text, b.text);
  return c < 0 || (c == 0 && a.record < b.record);
}

Keyed Make(const char* text, std::size_t length, std::uint32_t record) {
  Keyed k;
  length = std::min<std::size_t>(length, kRepereWidth);
  std::memcpy(k.text, text, length);
  k.text[length] = '\0';
  k.record = record;
  return k;
}

// Copies a field of the current row, trailing blanks kept (`trim`: cut).
std::string Text(xbase::Field* field, int width, bool trim) {
  char buffer[kRepereWidth + 1] = {};
  xbase::FieldCopy(field, buffer, width + 1);
  std::string text(buffer);
  if (trim) text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

// The five key fields of a table, looked up once.
struct KeyFields {
  explicit KeyFields(xbase::Table* table)
      : objet(xbase::FieldGet(table, "OBJET")),
        ind1(xbase::FieldGet(table, "IND1")),
        ind2(xbase::FieldGet(table, "IND2")),
        ind3(xbase::FieldGet(table, "IND3")),
        ind4(xbase::FieldGet(table, "IND4")) {}
  // The 22-character key of the current row.
  std::string Key() const {
    return Text(objet, kObjetWidth, false) + Text(ind1, kIndWidth, false) +
           Text(ind2, kIndWidth, false) + Text(ind3, kIndWidth, false) +
           Text(ind4, kInd4Width, false);
  }
  xbase::Field *objet, *ind1, *ind2, *ind3, *ind4;
};

// A text as a field of `width` keeps it: cut, or blank-padded.
std::string AsStored(const CString& text, int width) {
  std::string s(static_cast<const char*>(text), std::min(text.GetLength(), width));
  s.resize(static_cast<std::size_t>(width), ' ');
  return s;
}

std::string DerivedKey(const std::string& repere) {
  const AddressKey key = EncodeRepere(repere.c_str());
  return AsStored(key.objet, kObjetWidth) + AsStored(key.ind1, kIndWidth) +
         AsStored(key.ind2, kIndWidth) + AsStored(key.ind3, kIndWidth) +
         AsStored(key.ind4, kInd4Width);
}

std::string Record(std::uint32_t n) { return "record " + std::to_string(n); }

// Reports each text met more than once in a sorted list.
template <typename Say>
void Repeated(const std::vector<Keyed>& sorted, Say say) {
  for (std::size_t i = 1; i < sorted.size(); ++i) {
    if (std::strcmp(sorted[i - 1].text, sorted[i].text) == 0) say(sorted[i - 1], sorted[i]);
  }
}

bool Holds(const std::vector<Keyed>& sorted, const char* text) {
  Keyed probe = Make(text, std::strlen(text), 0);
  auto it = std::lower_bound(sorted.begin(), sorted.end(), probe, Before);
  return it != sorted.end() && std::strcmp(it->text, text) == 0;
}

// Calls visit(n) on each live row of a table, in record order.
template <typename Visit>
int EachLiveRow(xbase::Table* table, Visit visit) {
  xbase::TagSelect(table, nullptr);
  int r = xbase::TableTop(table);
  for (; r == xbase::kOk; r = xbase::TableSkip(table, 1)) {
    if (xbase::RecordIsDeleted(table) == 0) {
      visit(static_cast<std::uint32_t>(xbase::TableRecordNumber(table)));
    }
  }
  return r == xbase::kEof ? xbase::kOk : r;
}

}  // namespace

int CheckRowRules(const RowTables& tables, Findings* findings) {
  const std::string main_path = xbase::TablePath(tables.main);
  const std::string comment_path = xbase::TablePath(tables.comment);
  auto fault = [&](const std::string& path, const std::string& text) {
    findings->Add(CTBCheckFinding::kRows, path, text);
  };
  std::vector<Keyed> addresses, symbols, row_keys, commented, comments;
  const KeyFields main_key(tables.main);
  xbase::Field* repere_field = xbase::FieldGet(tables.main, "REPERE");
  xbase::Field* symbole_field = xbase::FieldGet(tables.main, "SYMBOLE");
  xbase::Field* iscmt_field = xbase::FieldGet(tables.main, "ISCMT");
  int r = EachLiveRow(tables.main, [&](std::uint32_t n) {
    const std::string repere = Text(repere_field, kRepereWidth, true);
    const std::string symbole = Text(symbole_field, kSymboleWidth, true);
    const std::string iscmt = Text(iscmt_field, kIsCmtWidth, false);
    const std::string key = main_key.Key();
    const std::string derived = DerivedKey(repere);
    if (key != derived) {
      fault(main_path, Record(n) + " (" + repere + ") has the key '" + key +
                           "' but its address gives '" + derived + "'");
    }
    if (iscmt != "O" && iscmt != " ") {
      fault(main_path, Record(n) + " (" + repere + ") has '" + iscmt + "' in ISCMT");
    }
    addresses.push_back(Make(repere.data(), repere.size(), n));
    row_keys.push_back(Make(key.data(), key.size(), n));
    if (!symbole.empty()) symbols.push_back(Make(symbole.data(), symbole.size(), n));
    if (iscmt == "O") commented.push_back(Make(key.data(), key.size(), n));
  });
  if (r != xbase::kOk) return r;
  if (tables.comment != nullptr) {
    const KeyFields comment_key(tables.comment);
    r = EachLiveRow(tables.comment, [&](std::uint32_t n) {
      const std::string key = comment_key.Key();
      comments.push_back(Make(key.data(), key.size(), n));
    });
    if (r != xbase::kOk) return r;
  }
  for (auto* list : {&addresses, &symbols, &row_keys, &commented, &comments}) {
    std::sort(list->begin(), list->end(), Before);
  }
  Repeated(addresses, [&](const Keyed& a, const Keyed& b) {
    fault(main_path, "the address " + std::string(a.text) + " is in " + Record(a.record) + " and " +
                         Record(b.record));
  });
  Repeated(row_keys, [&](const Keyed& a, const Keyed& b) {
    fault(main_path, "the key '" + std::string(a.text) + "' is in " + Record(a.record) + " and " +
                         Record(b.record));
  });
  Repeated(symbols, [&](const Keyed& a, const Keyed& b) {
    fault(main_path, "the symbol " + std::string(a.text) + " is carried by " + Record(a.record) +
                         " and " + Record(b.record));
  });
  if (tables.comment == nullptr) return xbase::kOk;
  Repeated(comments, [&](const Keyed& a, const Keyed& b) {
    fault(comment_path, "the key '" + std::string(a.text) + "' has two comment rows, " +
                            Record(a.record) + " and " + Record(b.record));
  });
  for (const Keyed& k : commented) {
    if (!Holds(comments, k.text)) {
      fault(main_path, Record(k.record) + " is marked commented but its key '" +
                           std::string(k.text) + "' has no comment row");
    }
  }
  for (const Keyed& k : comments) {
    if (!Holds(commented, k.text)) {
      fault(comment_path, "comment " + Record(k.record) + " (key '" + std::string(k.text) +
                              "') belongs to no commented address");
    }
  }
  return xbase::kOk;
}

}  // namespace symbase
