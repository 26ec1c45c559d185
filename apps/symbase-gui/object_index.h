#ifndef SYMBASE_APPS_GUI_OBJECT_INDEX_H
#define SYMBASE_APPS_GUI_OBJECT_INDEX_H

// The rows of one view of the base (an order and a filter), handed out in
// batches: the whole base in address order comes from the library's export,
// 50 objects a call with their texts; an order by symbol or a filter comes
// from the library's text search, addresses only.

#include <QString>
#include <memory>
#include <vector>

#include "object_row.h"

class CObList;
class CTBData;

namespace gui {

enum class SortOrder { kByAddress, kBySymbol };
enum class FilterField { kSymbol = 0, kComment = 1 };
enum class FilterMatch { kContains = 0, kEndsWith = 1, kBeginsWith = 2 };

struct ViewOrder {
  SortOrder sort = SortOrder::kByAddress;
  FilterField field = FilterField::kSymbol;
  FilterMatch match = FilterMatch::kContains;
  QString text;  // "" shows every object
};

class IndexLoader {
 public:
  IndexLoader();
  ~IndexLoader();
  IndexLoader(const IndexLoader&) = delete;
  IndexLoader& operator=(const IndexLoader&) = delete;

  // Starts a view; a filter text that no symbol can match (over 32
  // characters, an apostrophe, characters outside the code page) gives an
  // empty view without asking the library.
  void Start(CTBData* base, const ViewOrder& order);
  // Hands out nothing more; an export left between two calls is abandoned.
  void Stop();
  // Appends rows to *rows: up to `batches` batches of whole rows from the
  // export; everything found at once from the search, addresses alone
  // (symbol and comment empty, and *complete false). False once the view is
  // fully handed out or failed.
  bool Next(int batches, std::vector<ObjectRow>* rows, bool* complete);
  bool Done() const { return done_; }
  // True while an export is between two of its calls: nothing else may use
  // the base then.
  bool HoldsBase() const { return !done_ && exporting_; }
  // The library's result when it failed (0 otherwise).
  int Failure() const { return failure_; }

 private:
  bool NextExported(int batches, std::vector<ObjectRow>* rows);
  void Search(const ViewOrder& order);

  CTBData* base_ = nullptr;
  bool done_ = true;
  bool exporting_ = false;
  long counter_ = 1;
  int failure_ = 0;
  std::vector<QByteArray> found_;
  std::size_t handed_ = 0;
};

}  // namespace gui

#endif
