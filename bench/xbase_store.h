#ifndef SYMBASE_BENCH_XBASE_STORE_H
#define SYMBASE_BENCH_XBASE_STORE_H

// The workload on our table engine, called as the library calls it: the main
// table "KR9.DBF" with its three index files, one TableUnlock per written row.

#include <string>

#include "workload.h"
#include "xbase/engine.h"

namespace bench {

class XbaseStore : public Store {
 public:
  // Creates the table and its index files in `directory` (ending with "/");
  // on failure every operation fails with the reason. `durable`: the
  // engine's power-loss durability setting.
  explicit XbaseStore(const std::string& directory, bool durable = false);
  ~XbaseStore() override;

  bool Insert(const BenchRow& row) override;
  bool Seek(TagId tag, const BenchRow& row) override;
  bool Absent(TagId tag, const BenchRow& row) override;
  bool Walk(TagId tag, long* count) override;
  bool Delete(const BenchRow& row) override;
  bool Compact() override;
  bool Check(long* rows) override;
  long long BytesOnDisk() override;

 private:
  enum FieldId { kObjet, kInd1, kInd2, kInd3, kInd4, kRepereField, kSymboleField, kFieldCount };

  bool Select(TagId tag);
  bool Assign(FieldId field, const char* text, const BenchRow& row);
  // The current row's key on `tag`, blank-padded, into key_ (NUL-ended).
  void CopyKey(TagId tag);
  bool Expect(int result, int wanted, const char* what, const BenchRow* row);

  std::string directory_;
  xbase::Session session_;
  xbase::Table* table_ = nullptr;
  xbase::Field* fields_[kFieldCount] = {};
  xbase::Tag* tags_[kTagCount] = {};
  int selected_ = -1;
  bool ready_ = false;
  char key_[kRepereWidth + 1];
};

}  // namespace bench

#endif
