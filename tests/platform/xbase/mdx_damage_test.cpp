// Damaged index files: every call must end in a result code, never in a
// crash, a hang or a read outside a buffer (the sanitizers watch the latter).

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/memory_file_system.h"
#include "xbase/mdx_file.h"
#include "xbase/result.h"

namespace xbase {
namespace {

constexpr int kKeyLength = 60;  // 16 keys per node: three levels with 2000 entries

std::string Key(std::uint32_t r) {
  char key[kKeyLength + 1];
  std::snprintf(key, sizeof key, "K%08u%*s", (r * 2654435761u) % 1000000u, kKeyLength - 9, "");
  return std::string(key, kKeyLength);
}

// A sound file with one three-level tag and one single-leaf tag.
std::string SoundFile() {
  testing_support::MemoryFileSystem fs;
  std::unique_ptr<File> file;
  fs.Open("A.MDX", OpenMode::kCreate, &file);
  MdxTagInfo big{"BIG", "KEY", ".NOT. DELETED()", kKeyLength, false, false};
  MdxTagInfo small{"SMALL", "KEY", "", 4, false, false};
  std::unique_ptr<MdxFile> mdx;
  EXPECT_EQ(kOk, MdxFile::Create(std::move(file), "A", {big, small}, &mdx));
  for (std::uint32_t r = 1; r <= 2000; ++r) EXPECT_EQ(kOk, mdx->Insert(0, Key(r).data(), r));
  EXPECT_EQ(kOk, mdx->Insert(1, "abcd", 1));
  for (std::uint32_t r = 1; r <= 2000; r += 7) EXPECT_EQ(kOk, mdx->Remove(0, Key(r).data(), r));
  EXPECT_EQ(kOk, mdx->Flush());
  mdx.reset();
  return fs.Contents("A.MDX");
}

std::uint32_t Le32(const std::string& bytes, std::size_t at) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
  return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24;
}

// Opens the bytes and exercises every kind of call; returns how Open and the
// walks of the big tag ended (first failure or kOk).
struct Outcome {
  int open = kOk;
  int walk = kOk;
  int check = kOk;
};

Outcome Exercise(const std::string& bytes) {
  testing_support::MemoryFileSystem fs;
  fs.SetContents("A.MDX", bytes);
  std::unique_ptr<File> file;
  fs.Open("A.MDX", OpenMode::kReadWrite, &file);
  Outcome out;
  std::unique_ptr<MdxFile> mdx;
  out.open = MdxFile::Open(std::move(file), &mdx);
  if (out.open != kOk) return out;
  for (int t = 0; t < mdx->tag_count(); ++t) {
    const int kl = mdx->tag(t).key_length;
    long steps = 0;
    int rc = mdx->ForEach(t, [&](const char*, std::uint32_t) { return ++steps > 100000 ? 99 : 0; });
    EXPECT_NE(99, rc) << "walk did not end";
    if (t == 0) out.walk = rc;
    MdxCursor c;
    for (rc = mdx->Last(t, &c); rc == kOk && steps < 200000; rc = mdx->Prev(&c)) ++steps;
    const std::string key = Key(600).substr(0, static_cast<std::size_t>(kl));
    mdx->Seek(t, key.data(), key.size(), &c);
    mdx->SeekEntry(t, key.data(), 600, &c);
    std::vector<std::string> problems;
    rc = mdx->Check(t, [&](const std::string& p) { problems.push_back(p); });
    if (t == 0) out.check = rc;
    EXPECT_TRUE((rc == kOk) == problems.empty());
    mdx->Insert(t, key.data(), 5000);
    mdx->Remove(t, key.data(), 600);
    KeyRun run(key.size());
    run.Add(key.data(), 1);
    mdx->Rebuild(t, run);
    mdx->Flush();
  }
  return out;
}

// One damage of the sound file a row: the three results it must give
// (kAny: not promised).
constexpr int kAny = 1;

TEST(MdxDamage, EachDamageEndsInItsFormatError) {
  const std::string sound = SoundFile();
  const std::size_t tag_header = std::size_t(Le32(sound, 544)) * 512;
  const std::uint32_t root = Le32(sound, tag_header), pages = Le32(sound, 32);
  const std::size_t root_at = std::size_t(root) * 512;
  ASSERT_NE(0u, Le32(sound, root_at + 8 + Le32(sound, root_at) * 64)) << "root must be interior";
  const auto put = [&sound](std::vector<std::pair<std::size_t, std::uint32_t>> changes, int bytes) {
    std::string b = sound;
    for (auto [at, v] : changes) {
      for (int i = 0; i < bytes; ++i) b[at + std::size_t(i)] = static_cast<char>(v >> (8 * i));
    }
    return b;
  };
  const struct {
    const char* what;
    std::string bytes;
    int open, walk, check;
  } damages[] = {
      {"sound", sound, kOk, kOk, kOk},
      // Cut files: the header's page count exceeds them.
      {"empty", "", kErrIndexFormat, kAny, kAny},
      {"cut at 2047", sound.substr(0, 2047), kErrIndexFormat, kAny, kAny},
      {"cut at 2048", sound.substr(0, 2048), kErrIndexFormat, kAny, kAny},
      {"last block cut", sound.substr(0, sound.size() - 512), kErrIndexFormat, kAny, kAny},
      // Lying header fields.
      {"version", put({{0, 3}}, 1), kErrIndexFormat, kAny, kAny},
      {"block size", put({{22, 512}}, 2), kErrIndexFormat, kAny, kAny},
      {"tags in use", put({{28, 48}}, 2), kErrIndexFormat, kAny, kAny},
      {"page count beyond the file", put({{32, 1u << 30}}, 4), kErrIndexFormat, kAny, kAny},
      {"free page beyond the file", put({{36, 1u << 30}}, 4), kErrIndexFormat, kAny, kAny},
      {"tag header on an odd page", put({{544, 7}}, 4), kErrIndexFormat, kAny, kAny},
      {"tag header outside", put({{544, 0xFFFFFFF0}}, 4), kErrIndexFormat, kAny, kAny},
      {"root outside the file", put({{tag_header, 1u << 28}}, 4), kErrIndexFormat, kAny, kAny},
      {"key length 0", put({{tag_header + 12, 0}}, 2), kErrIndexFormat, kAny, kAny},
      {"keys per node beyond a block", put({{tag_header + 14, 500}}, 2), kErrIndexFormat, kAny,
       kAny},
      {"item length", put({{tag_header + 18, 12}}, 2), kErrIndexFormat, kAny, kAny},
      // Trees that are no trees.
      {"the root its own first child", put({{root_at + 8, root}}, 4), kOk, kErrIndexFormat,
       kErrIndexFormat},
      {"two children share a block", put({{root_at + 8 + 64, Le32(sound, root_at + 8)}}, 4), kOk,
       kAny, kErrIndexFormat},
      {"overfull root", put({{root_at, 1000}}, 4), kOk, kErrIndexFormat, kErrIndexFormat},
      {"a free chain looping on itself",
       put({{36, pages - 2}, {40, 1}, {std::size_t(pages - 2) * 512 + 4, pages - 2}}, 4), kOk, kAny,
       kErrIndexFormat},
  };
  for (const auto& d : damages) {
    SCOPED_TRACE(d.what);
    const Outcome o = Exercise(d.bytes);
    EXPECT_EQ(d.open, o.open);
    for (auto [expected, got] :
         {std::make_pair(d.walk, o.walk), std::make_pair(d.check, o.check)}) {
      EXPECT_TRUE(expected == kAny || expected == got) << got;
    }
  }
}

}  // namespace
}  // namespace xbase
