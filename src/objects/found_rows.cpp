// The addresses of the rows a text search found, in the order asked.

#include "objects/found_rows.h"

#include <algorithm>
#include <cstring>

#include "frame/checked_calls.h"
#include "storage/base_files.h"

namespace symbase {
namespace {

// One row found: where it was found, its record, what orders it and its
// address.
struct Found {
  long rank;
  long record;
  char order[kSymboleWidth + 1];
  char address[kRepereWidth + 1];
  bool kept;
};

// Where the fields a listing reads sit in a row's bytes.
struct RowLayout {
  explicit RowLayout(CTBData& base)
      : repere(xbase::FieldOffset(base.m_fieldRepere)),
        symbole(xbase::FieldOffset(base.m_fieldSymbole)),
        iscmt(xbase::FieldOffset(base.m_fieldIsCmt)),
        key{{xbase::FieldOffset(base.m_fieldObjet), kObjetWidth},
            {xbase::FieldOffset(base.m_fieldInd1), kIndWidth},
            {xbase::FieldOffset(base.m_fieldInd2), kIndWidth},
            {xbase::FieldOffset(base.m_fieldInd3), kIndWidth},
            {xbase::FieldOffset(base.m_fieldInd4), kInd4Width}} {}

  bool Usable() const {
    if (repere < 0 || symbole < 0 || iscmt < 0) return false;
    return std::all_of(std::begin(key), std::end(key),
                       [](const auto& part) { return part.first >= 0; });
  }

  int repere, symbole, iscmt;
  std::pair<int, int> key[5];
};

// Fills the row's order text and address from its bytes.
void Take(const RowLayout& layout, FoundOrder order, bool commentedOnly, const char* image,
          Found* row) {
  row->kept = !commentedOnly || image[layout.iscmt] == 'O';
  std::memcpy(row->address, image + layout.repere, kRepereWidth);
  std::size_t length = kRepereWidth;
  while (length > 0 && row->address[length - 1] == ' ') --length;
  row->address[length] = '\0';
  char* at = row->order;
  if (order == FoundOrder::kBySymbol) {
    std::memcpy(at, image + layout.symbole, kSymboleWidth);
    at += kSymboleWidth;
  } else if (order == FoundOrder::kByKey) {
    for (const auto& [offset, width] : layout.key) {
      std::memcpy(at, image + offset, static_cast<std::size_t>(width));
      at += width;
    }
  }
  *at = '\0';
}

}  // namespace

long ListFoundRows(CTBData& base, const std::vector<long>& records, FoundOrder order,
                   bool commentedOnly, CStringList& list) {
  const RowLayout layout(base);
  std::vector<Found> rows(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    rows[i].rank = static_cast<long>(i);
    rows[i].record = records[i];
    rows[i].kept = false;
  }
  // The table is read in record order, each record once.
  std::sort(rows.begin(), rows.end(),
            [](const Found& a, const Found& b) { return a.record < b.record; });
  std::vector<long> numbers;
  numbers.reserve(rows.size());
  for (const Found& row : rows) {
    if (numbers.empty() || numbers.back() != row.record) numbers.push_back(row.record);
  }
  std::size_t next = 0;
  const int r =
      !layout.Usable()
          ? xbase::kErrField
          : xbase::TableVisitRows(base.m_mainTable, numbers, [&](long record, const char* image) {
              for (; next < rows.size() && rows[next].record == record; ++next) {
                Take(layout, order, commentedOnly, image, &rows[next]);
              }
              return 0;
            });
  if (r != xbase::kOk) ReportReadFailure(base.m_mainTable, 20, r, __LINE__);
  rows.erase(std::remove_if(rows.begin(), rows.end(), [](const Found& row) { return !row.kept; }),
             rows.end());
  std::sort(rows.begin(), rows.end(), [order](const Found& a, const Found& b) {
    if (order == FoundOrder::kAsFound) return a.rank < b.rank;
    const int c = std::strcmp(a.order, b.order);
    return c != 0 ? c < 0 : a.record < b.record;
  });
  for (const Found& row : rows) list.AddTail(row.address);
  return static_cast<long>(rows.size());
}

}  // namespace symbase
