// Tables and index files written by another xBase engine (xbase64, in
// tests/fixtures/peer-mdx). For every tag, the entries come out the same three
// ways: sorted straight from the table's bytes, walked by our index reader
// both ways, and listed by Perl's XBase::Index. (Our expressions building the
// same keys is checked where the tables walk these tags: a walk refuses an
// entry whose key is not its row's.)

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/xbase/mdx_test_util.h"
#include "support/memory_file_system.h"
#include "support/temp_dir.h"
#include "support/xbase_readers.h"
#include "xbase/expression.h"
#include "xbase/mdx_file.h"
#include "xbase/result.h"

namespace xbase {
namespace {

using testing_mdx::Entry;

std::string Fixture(const std::string& relative) {
  return std::string(SYMBASE_FIXTURE_DIR) + "/peer-mdx/" + relative;
}

// Just enough of a dBASE reader: the field descriptors and the raw rows.
struct RawTable {
  std::vector<ExpressionField> fields;
  std::vector<std::string> records;  // flag byte first

  explicit RawTable(const std::string& path) {
    const std::string b = testing_support::ReadFileBytes(path);
    if (b.size() < 32) return;
    const std::uint32_t count = testing_mdx::Le32(b, 4), header = testing_mdx::Le32(b, 8) & 0xFFFF,
                        length = testing_mdx::Le32(b, 10) & 0xFFFF;
    std::size_t offset = 1;
    for (std::size_t at = 32; at + 32 <= header && b[at] != '\x0D'; at += 32) {
      const std::size_t width = static_cast<unsigned char>(b[at + 16]);
      fields.push_back({b.substr(at, 11).c_str(), offset, width});
      offset += width;
    }
    for (unsigned i = 0; i < count && header + (i + 1) * length <= b.size(); ++i) {
      records.push_back(b.substr(header + i * length, length));
    }
  }
  std::string Field(const std::string& record, const std::string& name) const {
    for (const ExpressionField& f : fields) {
      if (f.name == name) return record.substr(f.offset, f.width);
    }
    ADD_FAILURE() << "no field " << name;
    return "";
  }
};

// The entries the tag must hold, from the bytes alone: each key the fields of
// `key` ("A+B") laid end to end, deleted rows left out when filtered.
std::vector<Entry> SortedFromRows(const RawTable& table, const std::string& key, bool filtered) {
  std::vector<Entry> entries;
  for (std::size_t i = 0; i < table.records.size(); ++i) {
    if (filtered && table.records[i][0] == '*') continue;
    std::string k;
    for (std::size_t from = 0, plus = 0; plus != std::string::npos; from = plus + 1) {
      plus = key.find('+', from);
      k += table.Field(table.records[i], key.substr(from, plus - from));
    }
    entries.emplace_back(k, static_cast<std::uint32_t>(i + 1));
  }
  std::sort(entries.begin(), entries.end());  // std::string compares unsigned bytes
  return entries;
}

// Each tag's entries as Perl's XBase::Index walks them.
std::map<std::string, std::vector<Entry>> ListedByPerl(const std::string& mdx) {
  std::map<std::string, std::vector<Entry>> tags;
  std::vector<Entry>* current = nullptr;
  for (const std::string& line : testing_support::ReaderIndexEntries(mdx)) {
    const std::size_t bar = line.rfind('|');
    if (line.compare(0, 4, "TAG ") == 0) {
      current = &tags[line.substr(4)];
    } else if (current != nullptr && bar != std::string::npos) {
      current->emplace_back(line.substr(0, bar), std::stoul(line.substr(bar + 1)));
    }
  }
  return tags;
}

// A peer index file opened by our reader from a copy in memory.
class PeerIndex {
 public:
  explicit PeerIndex(const std::string& relative) {
    fs_.SetContents("X.MDX", testing_support::ReadFileBytes(Fixture(relative)));
    std::unique_ptr<File> file;
    EXPECT_EQ(kOk, fs_.Open("X.MDX", OpenMode::kReadWrite, &file));
    EXPECT_EQ(kOk, MdxFile::Open(std::move(file), &mdx_)) << relative;
  }
  MdxFile* operator->() { return mdx_.get(); }
  MdxFile* get() { return mdx_.get(); }

  std::vector<Entry> Forward(int t) { return testing_mdx::Entries(mdx_.get(), t); }
  std::vector<Entry> Backward(int t) {
    std::vector<Entry> out;
    MdxCursor c;
    for (int rc = mdx_->Last(t, &c); rc == kOk; rc = mdx_->Prev(&c)) {
      out.insert(out.begin(), Entry(c.key, c.record));
    }
    return out;
  }

 private:
  testing_support::MemoryFileSystem fs_;
  std::unique_ptr<MdxFile> mdx_;
};

TEST(MdxPeer, EveryTagAgreesWithItsRowsAndPerl) {
  const bool perl = std::system("/usr/bin/perl -MXBase::Index -e 1 2>/dev/null") == 0;
  const char* objkey = "OBJET+IND1+IND2+IND3+IND4";
  const struct {
    const char *folder, *table, *tag, *key;
    bool filtered;
  } tags[] = {
      {"objet", "SYMTAB", "OBJKEY", objkey, true},
      {"repere", "SYMTAB", "REPKEY", "REPERE", true},
      {"symbole", "SYMTAB", "SYMKEY", "SYMBOLE", true},
      {"combined", "SYMTAB", "OBJKEY", objkey, true},
      {"combined", "SYMTAB", "REPKEY", "REPERE", true},
      {"combined", "SYMTAB", "SYMKEY", "SYMBOLE", true},
      {"nofilter", "SYMTAB", "SYMKEY", "SYMBOLE", false},
      {"big", "BIGTAB", "OBJKEY", objkey, true},
      {"big", "BIGTAB", "REPKEY", "REPERE", true},
      {"big", "BIGTAB", "SYMKEY", "SYMBOLE", true},
  };
  for (const auto& t : tags) {
    const std::string base = std::string(t.folder) + "/" + t.table;
    SCOPED_TRACE(base + " " + t.tag);
    const RawTable table(Fixture(base + ".DBF"));
    ASSERT_EQ(table.fields.size(), 8u);
    const std::vector<Entry> expected = SortedFromRows(table, t.key, t.filtered);
    ASSERT_GE(expected.size(), 6u);
    PeerIndex mdx(base + ".MDX");
    ASSERT_TRUE(mdx.get());
    const int at = mdx->FindTag(t.tag);
    ASSERT_GE(at, 0);
    EXPECT_EQ(mdx->tag(at).key_expression, t.key);
    EXPECT_EQ(mdx->tag(at).filter_expression, t.filtered ? ".NOT. DELETED()" : "");
    EXPECT_EQ(mdx.Forward(at), expected);
    EXPECT_EQ(mdx.Backward(at), expected);
    testing_mdx::ExpectSound(mdx.get(), at);
    if (perl) {
      EXPECT_EQ(ListedByPerl(Fixture(base + ".MDX"))[t.tag], expected);
    }
  }
}

TEST(MdxPeer, TagHeadersAreRead) {
  PeerIndex combined("combined/SYMTAB.MDX");
  ASSERT_EQ(3, combined->tag_count());
  const MdxTagInfo& obj = combined->tag(0);
  EXPECT_EQ("OBJKEY", obj.name);
  EXPECT_EQ(22, obj.key_length);
  EXPECT_FALSE(obj.unique || obj.descending);
  EXPECT_EQ(36, combined->tag(1).key_length);
  EXPECT_EQ("SYMKEY", combined->tag(2).name);
  EXPECT_EQ(2, combined->FindTag("symkey"));
  for (const char* missing : {"SYMKEYS", "SYM", static_cast<const char*>(nullptr)}) {
    EXPECT_EQ(-1, combined->FindTag(missing));
  }
  // A tag number one past the last is refused by every call.
  const int past = combined->tag_count();
  MdxCursor c;
  EXPECT_EQ("", combined->tag(past).name);
  EXPECT_EQ(kErrArgument, combined->Insert(past, "k", 1));
  EXPECT_EQ(kErrArgument, combined->Remove(past, "k", 1));
  EXPECT_EQ(kErrArgument, combined->Rebuild(past, KeyRun(22)));
  EXPECT_EQ(kErrArgument, combined->Seek(past, "k", 1, &c));
  EXPECT_EQ(kErrArgument, combined->SeekEntry(past, "k", 1, &c));
  EXPECT_EQ(kErrArgument, combined->First(past, &c));
  EXPECT_EQ(kErrArgument, combined->Last(past, &c));
  EXPECT_EQ(kErrArgument, combined->Check(past, [](const std::string&) {}));
  EXPECT_EQ(kErrArgument, combined->ForEach(past, [](const char*, std::uint32_t) { return 0; }));
  c.tag = past;
  EXPECT_EQ(kErrArgument, combined->Next(&c));
  EXPECT_EQ(kErrArgument, combined->Prev(&c));
}

// Seeks on the peer trees; each row: tag, text, result, record landed on.
TEST(MdxPeer, SeeksLandOnTheFirstMatchingOrNextGreaterKey) {
  PeerIndex big("big/BIGTAB.MDX");
  const int obj = big->FindTag("OBJKEY"), sym = big->FindTag("SYMKEY");
  const std::string full = "%MW  42" + std::string(15, ' ') + "tail";  // cut to the key length
  const struct {
    int tag;
    std::string text;
    int result;
    std::uint32_t record;
  } seeks[] = {
      {obj, "%MW  1", kOk, 1},       {obj, "%MW  15", kOk, 15}, {obj, "%MW  100", kAfter, 101},
      {obj, "%A", kAfter, 1},        {obj, full, kOk, 42},      {obj, "", kOk, 1},
      {sym, "SYM_000", kAfter, 168},  // 307 is prime: no row has SYM_000
  };
  MdxCursor c;
  for (const auto& s : seeks) {
    SCOPED_TRACE(s.text);
    EXPECT_EQ(s.result, big->Seek(s.tag, s.text.data(), s.text.size(), &c));
    EXPECT_EQ(s.record, c.record);
  }
  EXPECT_EQ("SYM_001", c.key.substr(0, 7));
  EXPECT_EQ(kOk, big->Seek(obj, "%MW  15", 7, &c));
  EXPECT_EQ(kOk, big->Next(&c));
  EXPECT_EQ(151u, c.record);
  EXPECT_EQ(kEof, big->Seek(obj, "%MX", 3, &c));
  EXPECT_FALSE(c.valid);
  EXPECT_EQ(kOk, big->Prev(&c));  // from past the end back onto the last entry
  EXPECT_EQ(99u, c.record);
  EXPECT_EQ(kErrArgument, big->Seek(sym, nullptr, 3, &c));

  PeerIndex small("symbole/SYMTAB.MDX");
  EXPECT_EQ(kOk, small->Seek(0, "\xC9", 1, &c));
  EXPECT_EQ(6u, c.record);
  EXPECT_EQ(kEof, small->Next(&c));
  EXPECT_EQ(kEof, small->Next(&c));
  EXPECT_EQ(kEof, small->Seek(0, "\xFF", 1, &c));
  EXPECT_EQ(kOk, small->First(0, &c));
  EXPECT_EQ(kBof, small->Prev(&c));
  EXPECT_EQ(kOk, small->Next(&c));  // from before the first entry onto it
  EXPECT_EQ(4u, c.record);
  // SeekEntry finds one of equal keys by its record: Lamp is rows 4 and 7.
  const std::string lamp = "Lamp" + std::string(28, ' ');
  for (auto [record, result, landed] :
       {std::tuple<std::uint32_t, int, std::uint32_t>{7, kOk, 7}, {5, kAfter, 7}, {8, kAfter, 1}}) {
    EXPECT_EQ(result, small->SeekEntry(0, lamp.data(), record, &c)) << record;
    EXPECT_EQ(landed, c.record) << record;
  }
}

TEST(MdxPeer, ChangesToAPeerTreeKeepItSoundAndOrdered) {
  PeerIndex big("big/BIGTAB.MDX");
  const int obj = big->FindTag("OBJKEY");
  auto key = [](std::uint32_t r) {
    std::string k = "%MW  " + std::to_string(r);
    k.resize(22, ' ');
    return k;
  };
  // Put back the deleted rows 10, 20, ... 300, then take out rows 1..150.
  for (std::uint32_t r = 10; r <= 300; r += 10) ASSERT_EQ(kOk, big->Insert(obj, key(r).data(), r));
  for (std::uint32_t r = 1; r <= 150; ++r) ASSERT_EQ(kOk, big->Remove(obj, key(r).data(), r)) << r;
  testing_mdx::ExpectSound(big.get(), obj);
  const std::vector<Entry> got = big.Forward(obj);
  ASSERT_EQ(150u, got.size());
  EXPECT_EQ(151u, got.front().second);
  EXPECT_EQ(300u, got.back().second);  // rows 151..300 are left; "300" sorts last
}

}  // namespace
}  // namespace xbase
