// symbase through its exported interface only.

#include <filesystem>
#include <memory>

#include "store.h"
#include "symbase/symbase.h"

namespace api_bench {
namespace {

constexpr int kKeep = 1;

class SymbaseStore : public Store {
 public:
  SymbaseStore() { TBInitTabisDll(&base_); }
  ~SymbaseStore() override {
    TBCloseBaseSymbol(base_);
    TBFreeTabisDll(base_);
  }

  bool Create(const std::string& directory) override {
    directory_ = directory;
    return Quiet("create", [&] { return TBCreateBaseSymbol(base_, directory.c_str(), 0); });
  }

  bool SetDurable(bool on) override {
    TBSetDurability(base_, on ? 1 : 0);
    return true;
  }

  bool Insert(const Item& item) override {
    CTBObjetAts object(item.address.c_str(), item.symbol.c_str(), item.comment.c_str(), 0, -1);
    return Quiet("insert " + item.address, [&] { return TBInsertObject(base_, &object, kKeep); });
  }

  bool SymbolOf(const Item& item, std::string* symbol) override {
    CTBObjetAts object(item.address.c_str(), "", "", 0, -1);
    if (!Quiet("symbol of " + item.address, [&] { return TBSearchSymbol(base_, &object); })) {
      return false;
    }
    *symbol = static_cast<const char*>(object.m_symbole);
    return true;
  }

  bool AddressOf(const Item& item, std::string* address) override {
    CTBObjetAts object("", item.symbol.c_str(), "", 0, -1);
    if (!Quiet("address of " + item.symbol, [&] { return TBSearchRepere(base_, &object); })) {
      return false;
    }
    *address = static_cast<const char*>(object.m_repere);
    return true;
  }

  bool Attributes(const Item& item, Answer* answer) override {
    CTBObjetAts object(item.address.c_str(), "", "", 0, -1);
    if (!Quiet("attributes of " + item.address,
               [&] { return TBSearchAttrib(base_, &object, 0); })) {
      return false;
    }
    *answer = Answer{item.address, static_cast<const char*>(object.m_symbole),
                     static_cast<const char*>(object.m_commentaire)};
    return true;
  }

  bool ExportAll(const std::function<void(const Answer&)>& visit) override {
    long counter = 1;
    int finished = 0;
    while (finished == 0) {
      CObList list;
      const int result = TBExportSymbol(base_, "", 0, &counter, &list, &finished);
      Drain(&list, [&](CTBObjetAts* o) {
        visit(Answer{static_cast<const char*>(o->m_repere), static_cast<const char*>(o->m_symbole),
                     static_cast<const char*>(o->m_commentaire)});
      });
      if (result != 0) return Fail("export gave " + std::to_string(result));
    }
    return NoReport("export");
  }

  bool ListWords(const std::function<void(const std::string&)>& visit) override {
    int ind1 = 0;
    int finished = 0;
    while (finished == 0) {
      CObList list;
      const int result = TBListRepereByTypeObject(base_, "%MW", 0, &ind1, &list, &finished);
      Drain(&list, [&](CTBObjetAts* o) { visit(static_cast<const char*>(o->m_repere)); });
      if (result != 0) return Fail("listing gave " + std::to_string(result));
    }
    return NoReport("listing");
  }

  bool SymbolsBeginning(const std::string& prefix, long* count) override {
    return Search(0, prefix, 2, count);
  }

  bool CommentsContaining(const std::string& text, long* count) override {
    return Search(1, text, 0, count);
  }

  bool CountAll(long* count) override { return Count("", count); }
  bool CountWords(long* count) override { return Count("%MW", count); }

  bool Delete(const Item& item) override {
    CTBObjetAts object(item.address.c_str(), "", "", 0, -1);
    return Quiet("delete " + item.address, [&] { return TBDelObject(base_, &object); });
  }

  bool Reopen() override {
    TBCloseBaseSymbol(base_);
    return Quiet("open", [&] { return TBOpenBaseSymbol(base_, directory_.c_str()); });
  }

  bool Compact() override {
    return Quiet("lock", [&] { return TBLockBaseSymbol(base_); }) &&
           Quiet("unlock", [&] { return TBUnlockBaseSymbol(base_, directory_.c_str()); });
  }

  long long BytesOnDisk() override {
    long long bytes = 0;
    for (const auto& entry : std::filesystem::directory_iterator(directory_)) {
      bytes += static_cast<long long>(entry.file_size());
    }
    return bytes;
  }

 private:
  // Runs a call that must give 0 and report nothing.
  template <typename Call>
  bool Quiet(const std::string& what, Call call) {
    HostClearErrorReports();
    const int result = call();
    if (result != 0) return Fail(what + " gave " + std::to_string(result));
    return NoReport(what);
  }

  bool NoReport(const std::string& what) {
    const std::vector<HostErrorReport> reports = HostErrorReports();
    if (reports.empty()) return true;
    return Fail(what + " reported error " + std::to_string(reports[0].operation) + " code " +
                std::to_string(reports[0].code));
  }

  template <typename Visit>
  static void Drain(CObList* list, Visit visit) {
    while (!list->IsEmpty()) {
      std::unique_ptr<CTBObjetAts> object(static_cast<CTBObjetAts*>(list->RemoveHead()));
      visit(object.get());
    }
  }

  bool Search(int field, const std::string& text, int match, long* count) {
    CStringList list;
    const int result =
        TBFindStringInBase(base_, list, field == 0 ? 1 : 0, field, text.c_str(), match);
    if (result != 0 && result != TB_NO_MATCH) return Fail("search gave " + std::to_string(result));
    *count = list.GetCount();
    return true;
  }

  bool Count(const char* prefix, long* count) {
    HostClearErrorReports();
    *count = -1;
    TBNumberObjectByType(base_, prefix, 0, count);
    return NoReport(std::string("count ") + prefix);
  }

  CTBData* base_ = nullptr;
  std::string directory_;
};

}  // namespace

std::unique_ptr<Store> MakeSymbaseStore() { return std::make_unique<SymbaseStore>(); }

}  // namespace api_bench
