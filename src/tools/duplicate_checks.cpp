// Duplicate addresses and keys of an open base. These checks only read, and
// call the engine directly: a failed move simply ends the walk, unreported.

#include <initializer_list>
#include <new>
#include <string>
#include <string_view>
#include <unordered_set>

#include "storage/base_access.h"
#include "storage/base_files.h"
#include "storage/tb_data.h"
#include "symbase/tabis.h"
#include "xbase/engine.h"

using namespace symbase;

namespace {

// One field of a row's text, copied whole, trailing blanks included.
struct FieldPart {
  xbase::Field* field;
  int width;
};

// The text of the table's current row: its fields joined by single blanks.
// `text` keeps its capacity from row to row.
void RowText(std::initializer_list<FieldPart> parts, std::string& text) {
  char buffer[kRepereWidth + 1];
  text.clear();
  bool first = true;
  for (const FieldPart& part : parts) {
    if (!first) text += ' ';
    first = false;
    buffer[0] = '\0';
    xbase::FieldCopy(part.field, buffer, part.width + 1);
    text += buffer;
  }
}

// The texts met so far: a framework list in record order, and a hash set of
// views into its nodes (which never move) for the lookup.
class SeenTexts {
 public:
  bool Holds(const std::string& text) const { return index_.count(text) != 0; }

  void Add(const std::string& text) {
    const CString& kept = seen_.GetAt(seen_.AddTail(text.c_str()));
    index_.insert(std::string_view(kept.GetString(), kept.GetLength()));
  }

 private:
  CStringList seen_{10};
  std::unordered_set<std::string_view> index_;
};

// Walks the table in record order and lists the texts met before.
int ListRepeated(xbase::Table* table, std::initializer_list<FieldPart> parts, CStringList& list) {
  try {
    SeenTexts seen;
    std::string text;
    int found = 0;
    xbase::TagSelect(table, nullptr);
    for (int r = xbase::TableTop(table); r == 0; r = xbase::TableSkip(table, 1)) {
      RowText(parts, text);
      if (seen.Holds(text)) {
        list.AddTail(text.c_str());
        found = 1;
      } else {
        seen.Add(text);
      }
    }
    return found;
  } catch (const std::bad_alloc&) {
    // The host knows the framework's memory exception, not the library's.
    AfxThrowMemoryException();
  }
}

enum class Check { kAddress, kMainKey, kCommentKey };

// The rows of one check that repeat an earlier row's text.
int ListRepeatedOf(const CTBData& data, Check check, CStringList& list) {
  switch (check) {
    case Check::kAddress:
      return ListRepeated(data.m_mainTable, {{data.m_fieldRepere, kRepereWidth}}, list);
    case Check::kMainKey:
      return ListRepeated(data.m_mainTable,
                          {{data.m_fieldObjet, kObjetWidth},
                           {data.m_fieldInd1, kIndWidth},
                           {data.m_fieldInd2, kIndWidth},
                           {data.m_fieldInd3, kIndWidth},
                           {data.m_fieldInd4, kInd4Width}},
                          list);
    case Check::kCommentKey:
      return ListRepeated(data.m_commentTable,
                          {{data.m_fieldCmtObjet, kObjetWidth},
                           {data.m_fieldCmtInd1, kIndWidth},
                           {data.m_fieldCmtInd2, kIndWidth},
                           {data.m_fieldCmtInd3, kIndWidth},
                           {data.m_fieldCmtInd4, kInd4Width}},
                          list);
  }
  return 0;
}

// A null handle or a locked base is not read; a base another process keeps
// busy past the wait gives 104.
int RunCheck(CTBData* data, Check check, CStringList& list) {
  if (data == nullptr || data->m_locked) return 0;
  BaseAccess hold(*data, Access::kRead);
  if (hold.refusal() != 0) return hold.refusal();
  return hold.Finish(ListRepeatedOf(*data, check, list));
}

}  // namespace

IMPLEMENT_DYNAMIC(CTBTest, CObject)

CTBTest::CTBTest(CTBData* data) : m_data(data) {}

CTBTest::~CTBTest() = default;

int CTBTest::ListOfDoublonRepSymb(CStringList& list) {
  return RunCheck(m_data, Check::kAddress, list);
}

int CTBTest::ListOfDoublonCleSymb(CStringList& list) {
  return RunCheck(m_data, Check::kMainKey, list);
}

int CTBTest::ListOfDoublonCleCmt(CStringList& list) {
  return RunCheck(m_data, Check::kCommentKey, list);
}
