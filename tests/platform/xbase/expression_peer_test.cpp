// Keys and filters computed by another xBase engine: the peer fixtures' tags
// were built by xbase64, and Perl's XBase::Index (an independent reader) lists
// what they hold. Our expressions, run over the same rows, must give the same
// entries in the same order.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/temp_dir.h"
#include "xbase/expression.h"
#include "xbase/result.h"

namespace xbase {
namespace {

using Entry = std::pair<std::string, unsigned long>;  // key bytes, record number

struct Table {
  std::vector<ExpressionField> fields;
  std::vector<std::string> records;  // flag byte first
};

unsigned Little(const std::string& bytes, std::size_t at, int size) {
  unsigned value = 0;
  for (int i = size - 1; i >= 0; --i)
    value = value * 256 + static_cast<unsigned char>(bytes[at + i]);
  return value;
}

// Just enough of a dBASE reader: the field descriptors and the raw rows.
Table ReadTable(const std::string& path) {
  const std::string bytes = testing_support::ReadFileBytes(path);
  Table table;
  if (bytes.size() < 32) return table;
  const unsigned count = Little(bytes, 4, 4);
  const unsigned header = Little(bytes, 8, 2);
  const unsigned length = Little(bytes, 10, 2);
  std::size_t offset = 1;
  for (std::size_t at = 32; at + 32 <= header && bytes[at] != '\x0D'; at += 32) {
    const std::string name = bytes.substr(at, 11).c_str();
    const std::size_t width = static_cast<unsigned char>(bytes[at + 16]);
    table.fields.push_back({name, offset, width});
    offset += width;
  }
  for (unsigned i = 0; i < count && header + (i + 1) * length <= bytes.size(); ++i) {
    table.records.push_back(bytes.substr(header + i * length, length));
  }
  return table;
}

std::string Unhex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

// The tag's entries in index order, as Perl's XBase::Index walks them.
bool ReadTagWithPerl(const std::string& mdx, const std::string& tag, std::vector<Entry>* out) {
  const std::string command =
      "/usr/bin/perl -MXBase::Index -e 'my $i = XBase::Index->new($ARGV[0], tag => $ARGV[1]) "
      "or die; $i->prepare_select; while (my ($k, $r) = $i->fetch) { print $r, \" \", "
      "unpack(\"H*\", $k), \"\\n\" }' '" +
      mdx + "' '" + tag + "' 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return false;
  char line[512];
  while (std::fgets(line, sizeof line, pipe) != nullptr) {
    char hex[400];
    unsigned long record = 0;
    if (std::sscanf(line, "%lu %399s", &record, hex) != 2) continue;
    out->emplace_back(Unhex(hex), record);
  }
  return pclose(pipe) == 0;
}

// Our entries: every row the filter admits, with its key, in (key, record) order.
std::vector<Entry> BuildEntries(const Table& table, const std::string& key_text,
                                const std::string& filter_text) {
  std::unique_ptr<Expression> key;
  std::unique_ptr<Expression> filter;
  EXPECT_EQ(Expression::Parse(key_text, table.fields, &key), kOk);
  if (!filter_text.empty()) {
    EXPECT_EQ(Expression::Parse(filter_text, table.fields, &filter), kOk);
  }
  std::vector<Entry> entries;
  if (!key) return entries;
  std::string buffer(key->width(), '\0');
  for (std::size_t i = 0; i < table.records.size(); ++i) {
    const char* record = table.records[i].data();
    if (filter && !filter->IsTrue(record)) continue;
    key->Evaluate(record, &buffer[0]);
    entries.emplace_back(buffer, i + 1);
  }
  // std::string compares its bytes as unsigned char.
  std::sort(entries.begin(), entries.end());
  return entries;
}

struct PeerTag {
  const char* folder;
  const char* table;
  const char* tag;
  const char* key;
  const char* filter;
};

TEST(ExpressionPeer, KeysAndFiltersMatchThePeerEnginesTags) {
  if (access("/usr/bin/perl", X_OK) != 0) GTEST_SKIP() << "no /usr/bin/perl";
  const char* objkey = "OBJET+IND1+IND2+IND3+IND4";
  const char* live = ".NOT. DELETED()";
  const PeerTag tags[] = {
      {"objet", "SYMTAB", "OBJKEY", objkey, live},
      {"repere", "SYMTAB", "REPKEY", "REPERE", live},
      {"symbole", "SYMTAB", "SYMKEY", "SYMBOLE", live},
      {"combined", "SYMTAB", "OBJKEY", objkey, live},
      {"combined", "SYMTAB", "REPKEY", "REPERE", live},
      {"combined", "SYMTAB", "SYMKEY", "SYMBOLE", live},
      {"nofilter", "SYMTAB", "SYMKEY", "SYMBOLE", ""},
      {"big", "BIGTAB", "OBJKEY", objkey, live},
      {"big", "BIGTAB", "REPKEY", "REPERE", live},
      {"big", "BIGTAB", "SYMKEY", "SYMBOLE", live},
  };
  for (const PeerTag& t : tags) {
    const std::string base =
        std::string(SYMBASE_FIXTURE_DIR) + "/peer-mdx/" + t.folder + "/" + t.table;
    const Table table = ReadTable(base + ".DBF");
    ASSERT_EQ(table.fields.size(), 8u) << base;
    std::vector<Entry> peer;
    ASSERT_TRUE(ReadTagWithPerl(base + ".MDX", t.tag, &peer)) << "XBase::Index on " << base;
    ASSERT_FALSE(peer.empty()) << base << " " << t.tag;
    EXPECT_EQ(BuildEntries(table, t.key, t.filter), peer) << t.folder << " " << t.tag;
  }
}

}  // namespace
}  // namespace xbase
