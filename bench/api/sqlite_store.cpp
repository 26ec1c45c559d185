// SQLite doing the same logical work: the main table with the same three
// indexes (the address key in one column), the comments in a table of
// their own indexed by key; WAL journal, synchronous=OFF (FULL for the
// durable setting), one transaction per write.

#include "store.h"

#ifdef SYMBASE_HAVE_SQLITE

#include <sqlite3.h>

#include <filesystem>

namespace api_bench {
namespace {

const char* const kSchema =
    "PRAGMA journal_mode=WAL; PRAGMA synchronous=OFF;"
    "CREATE TABLE main(k TEXT, repere TEXT, symbole TEXT);"
    "CREATE INDEX repcle ON main(k); CREATE INDEX repere ON main(repere);"
    "CREATE INDEX symbole ON main(symbole);"
    "CREATE TABLE cmt(k TEXT, cmt TEXT); CREATE INDEX repcmt ON cmt(k);";

enum Statement {
  kFindAddress,
  kFindSymbol,
  kInsertMain,
  kInsertComment,
  kSymbolOf,
  kAddressOf,
  kAttributes,
  kExport,
  kWords,
  kBeginning,
  kContaining,
  kCountAll,
  kCountWords,
  kRowOf,
  kDeleteMain,
  kDeleteComment,
  kStatementCount
};

const char* const kSql[kStatementCount] = {
    "SELECT 1 FROM main WHERE repere=?1",
    "SELECT 1 FROM main WHERE symbole=?1",
    "INSERT INTO main VALUES(?1, ?2, ?3)",
    "INSERT INTO cmt VALUES(?1, ?2)",
    "SELECT symbole FROM main WHERE repere=?1",
    "SELECT repere FROM main WHERE symbole=?1",
    "SELECT m.symbole, c.cmt FROM main m LEFT JOIN cmt c ON c.k=m.k WHERE m.repere=?1",
    "SELECT m.repere, m.symbole, c.cmt FROM main m LEFT JOIN cmt c ON c.k=m.k ORDER BY m.k",
    "SELECT m.repere, m.symbole, c.cmt FROM main m LEFT JOIN cmt c ON c.k=m.k "
    "WHERE m.k>='MW   ' AND m.k<'MW   ~' ORDER BY m.k",
    "SELECT repere FROM main WHERE symbole>=?1 AND symbole<?2 ORDER BY symbole",
    "SELECT m.repere FROM cmt c JOIN main m ON m.k=c.k WHERE c.cmt LIKE '%'||?1||'%' ORDER BY "
    "c.k",
    "SELECT count(*) FROM main",
    "SELECT count(*) FROM main WHERE k>='MW' AND k<'MX'",
    "SELECT rowid, k FROM main WHERE repere=?1",
    "DELETE FROM main WHERE rowid=?1",
    "DELETE FROM cmt WHERE k=?1",
};

// SQLite keeps text in UTF-8; the dataset's texts are Windows-1252 (their
// accented letters all in the Latin-1 part, which maps one to one).
std::string Utf8(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::string Latin1(const char* text) {
  std::string out;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
    if (*p >= 0xC0 && p[1] != 0) {
      out.push_back(static_cast<char>(((*p & 0x1F) << 6) | (p[1] & 0x3F)));
      ++p;
    } else {
      out.push_back(static_cast<char>(*p));
    }
  }
  return out;
}

std::string Text(sqlite3_stmt* s, int column) {
  const unsigned char* text = sqlite3_column_text(s, column);
  return text == nullptr ? "" : Latin1(reinterpret_cast<const char*>(text));
}

class SqliteStore : public Store {
 public:
  ~SqliteStore() override { Close(); }

  bool Create(const std::string& directory) override {
    path_ = directory + "bench.sqlite";
    return Open() && Exec(kSchema) && Prepare();
  }

  bool SetDurable(bool on) override {
    return Exec(on ? "PRAGMA synchronous=FULL" : "PRAGMA synchronous=OFF");
  }

  bool Insert(const Item& item) override {
    if (!Exec("BEGIN")) return false;
    const bool address_taken = Exists(kFindAddress, item.address);
    const bool symbol_taken = Exists(kFindSymbol, item.symbol);
    bool ok = true;
    if (!address_taken && !symbol_taken) {
      ok = Run(kInsertMain, {item.key, item.address, item.symbol});
      if (ok && !item.comment.empty()) ok = Run(kInsertComment, {item.key, Utf8(item.comment)});
    }
    return Exec("COMMIT") && ok;
  }

  bool SymbolOf(const Item& item, std::string* symbol) override {
    return One(kSymbolOf, item.address, symbol);
  }

  bool AddressOf(const Item& item, std::string* address) override {
    return One(kAddressOf, item.symbol, address);
  }

  bool Attributes(const Item& item, Answer* answer) override {
    sqlite3_stmt* s = Bound(kAttributes, {item.address});
    const bool found = sqlite3_step(s) == SQLITE_ROW;
    if (found) *answer = Answer{item.address, Text(s, 0), Text(s, 1)};
    sqlite3_reset(s);
    return found || Fail("no row for " + item.address);
  }

  bool ExportAll(const std::function<void(const Answer&)>& visit) override {
    sqlite3_stmt* s = Bound(kExport, {});
    while (sqlite3_step(s) == SQLITE_ROW) visit(Answer{Text(s, 0), Text(s, 1), Text(s, 2)});
    sqlite3_reset(s);
    return true;
  }

  bool ListWords(const std::function<void(const std::string&)>& visit) override {
    sqlite3_stmt* s = Bound(kWords, {});
    while (sqlite3_step(s) == SQLITE_ROW) visit(Text(s, 0));
    sqlite3_reset(s);
    return true;
  }

  bool SymbolsBeginning(const std::string& prefix, long* count) override {
    std::string above = prefix;
    ++above.back();
    return Rows(Bound(kBeginning, {prefix, above}), count);
  }

  bool CommentsContaining(const std::string& text, long* count) override {
    return Rows(Bound(kContaining, {Utf8(text)}), count);
  }

  bool CountAll(long* count) override { return Number(kCountAll, count); }
  bool CountWords(long* count) override { return Number(kCountWords, count); }

  bool Delete(const Item& item) override {
    if (!Exec("BEGIN")) return false;
    sqlite3_stmt* s = Bound(kRowOf, {item.address});
    bool ok = sqlite3_step(s) == SQLITE_ROW;
    const sqlite3_int64 row = ok ? sqlite3_column_int64(s, 0) : 0;
    const std::string key = ok ? Text(s, 1) : std::string();
    sqlite3_reset(s);
    if (ok) {
      sqlite3_stmt* d = statements_[kDeleteMain];
      sqlite3_bind_int64(d, 1, row);
      ok = sqlite3_step(d) == SQLITE_DONE;
      sqlite3_reset(d);
    }
    if (ok) ok = Run(kDeleteComment, {key});
    return Exec("COMMIT") && (ok || Fail("delete " + item.address));
  }

  bool Reopen() override {
    Close();
    return Open() && Prepare();
  }

  bool Compact() override { return Exec("VACUUM"); }

  long long BytesOnDisk() override {
    long long bytes = 0;
    for (const char* suffix : {"", "-wal", "-shm"}) {
      std::error_code error;
      const auto size = std::filesystem::file_size(path_ + suffix, error);
      if (!error) bytes += static_cast<long long>(size);
    }
    return bytes;
  }

 private:
  bool Open() {
    return sqlite3_open(path_.c_str(), &db_) == SQLITE_OK || Fail(sqlite3_errmsg(db_));
  }

  void Close() {
    for (sqlite3_stmt*& s : statements_) {
      sqlite3_finalize(s);
      s = nullptr;
    }
    sqlite3_close(db_);
    db_ = nullptr;
  }

  bool Prepare() {
    for (int i = 0; i < kStatementCount; ++i) {
      if (sqlite3_prepare_v2(db_, kSql[i], -1, &statements_[i], nullptr) != SQLITE_OK) {
        return Fail(std::string(kSql[i]) + ": " + sqlite3_errmsg(db_));
      }
    }
    return true;
  }

  bool Exec(const char* sql) {
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK ||
           Fail(std::string(sql) + ": " + sqlite3_errmsg(db_));
  }

  sqlite3_stmt* Bound(Statement which, std::initializer_list<std::string> values) {
    sqlite3_stmt* s = statements_[which];
    int i = 1;
    for (const std::string& v : values) {
      sqlite3_bind_text(s, i++, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    }
    return s;
  }

  bool Run(Statement which, std::initializer_list<std::string> values) {
    sqlite3_stmt* s = Bound(which, values);
    const bool ok = sqlite3_step(s) == SQLITE_DONE;
    sqlite3_reset(s);
    return ok || Fail(kSql[which]);
  }

  bool Exists(Statement which, const std::string& value) {
    sqlite3_stmt* s = Bound(which, {value});
    const bool found = sqlite3_step(s) == SQLITE_ROW;
    sqlite3_reset(s);
    return found;
  }

  bool One(Statement which, const std::string& value, std::string* out) {
    sqlite3_stmt* s = Bound(which, {value});
    const bool found = sqlite3_step(s) == SQLITE_ROW;
    if (found) *out = Text(s, 0);
    sqlite3_reset(s);
    return found || Fail(std::string("no row for ") + value);
  }

  bool Rows(sqlite3_stmt* s, long* count) {
    *count = 0;
    while (sqlite3_step(s) == SQLITE_ROW) ++*count;
    sqlite3_reset(s);
    return true;
  }

  bool Number(Statement which, long* count) {
    sqlite3_stmt* s = statements_[which];
    const bool ok = sqlite3_step(s) == SQLITE_ROW;
    *count = ok ? static_cast<long>(sqlite3_column_int64(s, 0)) : -1;
    sqlite3_reset(s);
    return ok || Fail(kSql[which]);
  }

  std::string path_;
  sqlite3* db_ = nullptr;
  sqlite3_stmt* statements_[kStatementCount] = {};
};

}  // namespace

std::unique_ptr<Store> MakeSqliteStore() { return std::make_unique<SqliteStore>(); }

}  // namespace api_bench

#else

namespace api_bench {

std::unique_ptr<Store> MakeSqliteStore() { return nullptr; }

}  // namespace api_bench

#endif
