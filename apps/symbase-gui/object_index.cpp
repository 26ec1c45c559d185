#include "object_index.h"

#include "symbase/qt/text.h"
#include "symbase/symbase.h"

namespace gui {

namespace {

constexpr int kBatch = 50;  // what the library hands out per call
constexpr int kLongestSymbol = 32;

// Frees the records the library appended.
void TakeRows(CObList& list, std::vector<ObjectRow>* rows) {
  while (!list.IsEmpty()) {
    std::unique_ptr<CTBObjetAts> record(static_cast<CTBObjetAts*>(list.RemoveHead()));
    rows->push_back(RowOf(*record));
  }
}

QByteArray Trimmed(const char* text) {
  QByteArray value(text);
  while (value.endsWith(' ')) value.chop(1);
  return value;
}

// Whether a symbol could hold the text at all; the library's search puts the
// text inside an expression, where an apostrophe would end it.
bool SymbolCanHold(const QByteArray& text) {
  return text.size() <= kLongestSymbol && !text.contains('\'');
}

}  // namespace

IndexLoader::IndexLoader() = default;
IndexLoader::~IndexLoader() = default;

void IndexLoader::Start(CTBData* base, const ViewOrder& order) {
  base_ = base;
  done_ = false;
  failure_ = 0;
  found_.clear();
  handed_ = 0;
  counter_ = 1;
  exporting_ = order.sort == SortOrder::kByAddress && order.text.isEmpty();
  if (!exporting_) Search(order);
}

void IndexLoader::Search(const ViewOrder& order) {
  QByteArray text;
  const bool convertible = symbase_qt::ToCp1252(order.text, &text);
  if (!convertible || (order.field == FilterField::kSymbol && !SymbolCanHold(text))) return;
  CStringList list;
  const int result = TBFindStringInBase(base_, list, order.sort == SortOrder::kBySymbol ? 1 : 0,
                                        static_cast<int>(order.field), CString(text.constData()),
                                        static_cast<int>(order.match));
  if (result != 0 && result != TB_NO_MATCH) failure_ = result;
  found_.reserve(static_cast<std::size_t>(list.GetCount()));
  for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
    found_.push_back(Trimmed(list.GetNext(pos)));
  }
}

void IndexLoader::Stop() {
  done_ = true;
  found_.clear();
  found_.shrink_to_fit();
}

bool IndexLoader::Next(int batches, std::vector<ObjectRow>* rows, bool* complete) {
  if (done_) return false;
  *complete = exporting_;
  if (exporting_) return NextExported(batches, rows);
  // The search is over: what it found goes at once.
  (void)batches;
  for (; handed_ < found_.size(); ++handed_) rows->push_back({found_[handed_], {}, {}});
  if (handed_ == found_.size()) {
    done_ = true;
    found_.clear();
  }
  return !done_;
}

bool IndexLoader::NextExported(int batches, std::vector<ObjectRow>* rows) {
  for (int i = 0; i < batches && !done_; ++i) {
    CObList list;
    int finished = 0;
    const int result = TBExportSymbol(base_, CString(""), 0, &counter_, &list, &finished);
    const bool empty = list.IsEmpty();
    TakeRows(list, rows);
    // An unfinished batch is a full one; an empty one (a locked base) ends it too.
    if (result != 0 || finished != 0 || empty) {
      done_ = true;
      if (result != 0 && result != TB_OUT_OF_RANGE) failure_ = result;
    }
  }
  return !done_;
}

}  // namespace gui
