#include "sqlite_store.h"

#ifdef SYMBASE_HAVE_SQLITE

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace bench {
namespace {

const char* const kSchema =
    "PRAGMA synchronous=OFF;"
    "CREATE TABLE main(objet TEXT, ind1 TEXT, ind2 TEXT, ind3 TEXT, ind4 TEXT,"
    " repere TEXT, symbole TEXT, iscmt TEXT);"
    "CREATE INDEX repcle ON main(objet, ind1, ind2, ind3, ind4);"
    "CREATE INDEX repere ON main(repere);"
    "CREATE INDEX symbole ON main(symbole);";

const char* const kSynced = "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;";

const char* const kInsert = "INSERT INTO main VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, '')";
const char* const kDelete =
    "DELETE FROM main WHERE objet=?1 AND ind1=?2 AND ind2=?3 AND ind3=?4 AND ind4=?5";
// Each seek reads a column outside its key to check it found the right row.
const char* const kSeeks[kTagCount] = {
    "SELECT repere FROM main WHERE objet=?1 AND ind1=?2 AND ind2=?3 AND ind3=?4 AND ind4=?5"
    " LIMIT 1",
    "SELECT symbole FROM main WHERE repere=?1 LIMIT 1",
    "SELECT repere FROM main WHERE symbole=?1 LIMIT 1"};
const char* const kWalks[kTagCount] = {
    "SELECT objet, ind1, ind2, ind3, ind4 FROM main ORDER BY objet, ind1, ind2, ind3, ind4",
    "SELECT repere FROM main ORDER BY repere", "SELECT symbole FROM main ORDER BY symbole"};
// Widths of the walked columns, to rebuild the padded key the engine orders by.
const int kCleWidths[] = {kObjetWidth, kIndWidth, kIndWidth, kIndWidth, kInd4Width};

class SqliteStore : public Store {
 public:
  SqliteStore(const std::string& path, bool synced) : path_(path) {
    if (!Ok(sqlite3_open(path.c_str(), &db_), "open") ||
        !Ok(sqlite3_exec(db_, kSchema, nullptr, nullptr, nullptr), "schema") ||
        (synced && !Ok(sqlite3_exec(db_, kSynced, nullptr, nullptr, nullptr), "synced")) ||
        !Prepare(kInsert, &insert_) || !Prepare(kDelete, &delete_)) {
      return;
    }
    for (int t = 0; t < kTagCount; ++t) {
      if (!Prepare(kSeeks[t], &seeks_[t]) || !Prepare(kWalks[t], &walks_[t]) ||
          !UsesIndex(kSeeks[t]) || !UsesIndex(kWalks[t])) {
        return;
      }
    }
    ready_ = true;
  }

  ~SqliteStore() override {
    for (sqlite3_stmt* statement :
         {insert_, delete_, seeks_[0], seeks_[1], seeks_[2], walks_[0], walks_[1], walks_[2]}) {
      sqlite3_finalize(statement);
    }
    sqlite3_close(db_);
  }

  bool Insert(const BenchRow& row) override {
    if (!ready_) return false;
    BindAddress(insert_, row);
    sqlite3_bind_text(insert_, 6, row.repere, -1, SQLITE_STATIC);
    sqlite3_bind_text(insert_, 7, row.symbole, -1, SQLITE_STATIC);
    return StepDone(insert_, "INSERT", &row);
  }

  bool Seek(TagId tag, const BenchRow& row) override {
    if (!ready_) return false;
    sqlite3_stmt* seek = BindSeek(tag, row);
    const int rc = sqlite3_step(seek);
    bool ok = rc == SQLITE_ROW;
    if (ok) {
      const char* other = tag == kRepere ? row.symbole : row.repere;
      ok = std::strcmp(reinterpret_cast<const char*>(sqlite3_column_text(seek, 0)), other) == 0;
      if (!ok) Fail(std::string("seek ") + TagName(tag) + " landed on another row", &row);
    } else {
      Ok(rc, PhaseName(static_cast<Phase>(kSeekCle + tag)), &row);
      if (rc == SQLITE_DONE) Fail(std::string("seek ") + TagName(tag) + " found nothing", &row);
    }
    sqlite3_reset(seek);
    return ok;
  }

  bool Absent(TagId tag, const BenchRow& row) override {
    if (!ready_) return false;
    sqlite3_stmt* seek = BindSeek(tag, row);
    const int rc = sqlite3_step(seek);
    sqlite3_reset(seek);
    if (rc == SQLITE_DONE) return true;
    if (rc == SQLITE_ROW) return Fail("a deleted key is still found", &row);
    return Ok(rc, "SELECT", &row);
  }

  bool Walk(TagId tag, long* count) override {
    *count = 0;
    if (!ready_) return false;
    sqlite3_stmt* walk = walks_[tag];
    KeyOrder order;
    char key[kRepereWidth + 1];
    int rc;
    while ((rc = sqlite3_step(walk)) == SQLITE_ROW) {
      const int length = WalkKey(walk, tag, key);
      if (!order.Next(key, static_cast<std::size_t>(length))) {
        sqlite3_reset(walk);
        return Fail(std::string("walk ") + TagName(tag) + " out of order");
      }
      ++*count;
    }
    sqlite3_reset(walk);
    return rc == SQLITE_DONE || Ok(rc, "walk");
  }

  bool Delete(const BenchRow& row) override {
    if (!ready_) return false;
    BindAddress(delete_, row);
    if (!StepDone(delete_, "DELETE", &row)) return false;
    if (sqlite3_changes(db_) == 1) return true;
    return Fail("DELETE removed " + std::to_string(sqlite3_changes(db_)) + " rows", &row);
  }

  bool Compact() override {
    return ready_ && Ok(sqlite3_exec(db_, "VACUUM", nullptr, nullptr, nullptr), "VACUUM");
  }

  bool Check(long* rows) override {
    if (!ready_) return false;
    std::string verdict;
    if (!Query("PRAGMA integrity_check", &verdict)) return false;
    if (verdict != "ok") return Fail("integrity_check: " + verdict);
    std::string count;
    if (!Query("SELECT count(*) FROM main", &count)) return false;
    *rows = std::stol(count);
    return true;
  }

  long long BytesOnDisk() override {
    std::error_code error;
    const auto size = std::filesystem::file_size(path_, error);
    return error ? 0 : static_cast<long long>(size);
  }

 private:
  bool Ok(int rc, const char* what, const BenchRow* row = nullptr) {
    if (rc == SQLITE_OK || rc == SQLITE_DONE) return true;
    return Fail(std::string(what) + ": " + (db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc)), row);
  }

  bool Prepare(const char* sql, sqlite3_stmt** statement) {
    return Ok(sqlite3_prepare_v2(db_, sql, -1, statement, nullptr), sql);
  }

  // Refuses a plan without an index or with a sort: the comparison must be
  // with SQLite at its best.
  bool UsesIndex(const char* sql) {
    std::string plan;
    sqlite3_stmt* explain = nullptr;
    if (!Prepare((std::string("EXPLAIN QUERY PLAN ") + sql).c_str(), &explain)) return false;
    while (sqlite3_step(explain) == SQLITE_ROW) {
      plan += reinterpret_cast<const char*>(sqlite3_column_text(explain, 3));
      plan += "; ";
    }
    sqlite3_finalize(explain);
    if (plan.find("INDEX") != std::string::npos && plan.find("TEMP B-TREE") == std::string::npos) {
      return true;
    }
    return Fail(std::string("no index used by ") + sql + ": " + plan);
  }

  bool Query(const char* sql, std::string* answer) {
    sqlite3_stmt* statement = nullptr;
    if (!Prepare(sql, &statement)) return false;
    const int rc = sqlite3_step(statement);
    if (rc == SQLITE_ROW)
      *answer = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    sqlite3_finalize(statement);
    return rc == SQLITE_ROW || Ok(rc, sql);
  }

  static void BindAddress(sqlite3_stmt* statement, const BenchRow& row) {
    const char* const parts[] = {row.objet, row.ind1, row.ind2, row.ind3, row.ind4};
    for (int i = 0; i < 5; ++i) sqlite3_bind_text(statement, i + 1, parts[i], -1, SQLITE_STATIC);
  }

  sqlite3_stmt* BindSeek(TagId tag, const BenchRow& row) {
    sqlite3_stmt* seek = seeks_[tag];
    if (tag == kCle) {
      BindAddress(seek, row);
    } else {
      sqlite3_bind_text(seek, 1, tag == kRepere ? row.repere : row.symbole, -1, SQLITE_STATIC);
    }
    return seek;
  }

  bool StepDone(sqlite3_stmt* statement, const char* what, const BenchRow* row) {
    const int rc = sqlite3_step(statement);
    sqlite3_reset(statement);
    return rc == SQLITE_DONE || Ok(rc, what, row);
  }

  // The walked row's key as the engine orders it: the key columns padded to
  // their widths and concatenated. Returns its length.
  static int WalkKey(sqlite3_stmt* walk, TagId tag, char* key) {
    if (tag != kCle) {
      const int length = std::min(sqlite3_column_bytes(walk, 0), kRepereWidth);
      std::memcpy(key, sqlite3_column_text(walk, 0), static_cast<std::size_t>(length));
      return length;
    }
    int offset = 0;
    for (int column = 0; column < 5; ++column) {
      PadField(reinterpret_cast<const char*>(sqlite3_column_text(walk, column)),
               sqlite3_column_bytes(walk, column), kCleWidths[column], key + offset);
      offset += kCleWidths[column];
    }
    return offset;
  }

  std::string path_;
  sqlite3* db_ = nullptr;
  sqlite3_stmt* insert_ = nullptr;
  sqlite3_stmt* delete_ = nullptr;
  sqlite3_stmt* seeks_[kTagCount] = {};
  sqlite3_stmt* walks_[kTagCount] = {};
  bool ready_ = false;
};

}  // namespace

std::unique_ptr<Store> MakeSqliteStore(const std::string& path, bool synced) {
  return std::make_unique<SqliteStore>(path, synced);
}

}  // namespace bench

#else  // built without SQLite

namespace bench {

std::unique_ptr<Store> MakeSqliteStore(const std::string&, bool) { return nullptr; }

}  // namespace bench

#endif
