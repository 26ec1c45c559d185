#ifndef SYMBASE_BENCH_API_STORE_H
#define SYMBASE_BENCH_API_STORE_H

// One store under the interface benchmark: symbase through its exported
// functions, or SQLite doing the same logical work. Every call returns
// false, with a sentence in failure(), on an error; the runner checks the
// answers against the dataset.

#include <functional>
#include <memory>
#include <string>

#include "dataset.h"

namespace api_bench {

struct Answer {
  std::string address, symbol, comment;
};

class Store {
 public:
  virtual ~Store() = default;

  // A new, empty base in `directory` (ending with "/"), open.
  virtual bool Create(const std::string& directory) = 0;
  // Every sync of a commit to the disk, or none.
  virtual bool SetDurable(bool on) = 0;
  // Adds the object unless its address or symbol is already there: both
  // looked up, then written, as one unit of work.
  virtual bool Insert(const Item& item) = 0;
  virtual bool SymbolOf(const Item& item, std::string* symbol) = 0;
  virtual bool AddressOf(const Item& item, std::string* address) = 0;
  virtual bool Attributes(const Item& item, Answer* answer) = 0;
  // Every object with its symbol and comment, in address-key order.
  virtual bool ExportAll(const std::function<void(const Answer&)>& visit) = 0;
  // The %MW words alone (not their bits), in address-key order, each read
  // with its symbol and comment as the library's listing hands them out;
  // only the addresses are checked.
  virtual bool ListWords(const std::function<void(const std::string& address)>& visit) = 0;
  // How many symbols begin with `prefix`, and how many comments contain
  // `text`, case ignored; each found address is visited.
  virtual bool SymbolsBeginning(const std::string& prefix, long* count) = 0;
  virtual bool CommentsContaining(const std::string& text, long* count) = 0;
  virtual bool CountAll(long* count) = 0;
  // The %MW words and their bits.
  virtual bool CountWords(long* count) = 0;
  virtual bool Delete(const Item& item) = 0;
  // Closes and opens the base again.
  virtual bool Reopen() = 0;
  // Drops the deleted rows for good.
  virtual bool Compact() = 0;
  virtual long long BytesOnDisk() = 0;

  const std::string& failure() const { return failure_; }
  bool Fail(const std::string& what) {
    if (failure_.empty()) failure_ = what;
    return false;
  }

 private:
  std::string failure_;
};

std::unique_ptr<Store> MakeSymbaseStore();
// Null when the benchmark was built without SQLite.
std::unique_ptr<Store> MakeSqliteStore();

}  // namespace api_bench

#endif
