// Index files written by another xBase engine (tests/fixtures/peer-mdx),
// walked, sought and checked by ours.

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "support/memory_file_system.h"
#include "support/temp_dir.h"
#include "xbase/mdx_file.h"
#include "xbase/result.h"

namespace xbase {
namespace {

const char kSmallOrder[] = "6 1 5 2 4 7";
const char kSymbolOrder[] = "4 7 1 5 2 6";

const char kBigObjKey[] =
    "1 101 102 103 104 105 106 107 108 109 11 111 112 113 114 115 116 117 118 119 "
    "12 121 122 123 124 125 126 127 128 129 13 131 132 133 134 135 136 137 138 139 "
    "14 141 142 143 144 145 146 147 148 149 15 151 152 153 154 155 156 157 158 159 "
    "16 161 162 163 164 165 166 167 168 169 17 171 172 173 174 175 176 177 178 179 "
    "18 181 182 183 184 185 186 187 188 189 19 191 192 193 194 195 196 197 198 199 "
    "2 201 202 203 204 205 206 207 208 209 21 211 212 213 214 215 216 217 218 219 "
    "22 221 222 223 224 225 226 227 228 229 23 231 232 233 234 235 236 237 238 239 "
    "24 241 242 243 244 245 246 247 248 249 25 251 252 253 254 255 256 257 258 259 "
    "26 261 262 263 264 265 266 267 268 269 27 271 272 273 274 275 276 277 278 279 "
    "28 281 282 283 284 285 286 287 288 289 29 291 292 293 294 295 296 297 298 299 "
    "3 31 32 33 34 35 36 37 38 39 4 41 42 43 44 45 46 47 48 49 "
    "5 51 52 53 54 55 56 57 58 59 6 61 62 63 64 65 66 67 68 69 "
    "7 71 72 73 74 75 76 77 78 79 8 81 82 83 84 85 86 87 88 89 "
    "9 91 92 93 94 95 96 97 98 99";

const char kBigRepKey[] =
    "273 246 219 192 165 138 111 84 57 3 274 247 193 166 139 112 85 58 31 4 "
    "275 248 221 194 167 113 86 59 32 5 276 249 222 195 168 141 114 87 33 6 "
    "277 223 196 169 142 115 88 61 34 7 298 271 244 278 251 224 197 217 143 116 "
    "89 62 35 8 163 136 279 252 225 198 171 144 117 109 63 36 9 82 55 28 "
    "253 226 199 172 145 118 91 64 37 1 281 254 227 173 146 119 92 65 38 11 "
    "282 255 228 201 174 147 93 66 39 12 283 256 229 202 175 148 121 94 67 13 "
    "284 257 203 176 149 122 95 68 41 14 285 258 231 204 177 123 96 69 42 15 "
    "286 259 232 205 178 151 124 97 43 16 287 233 206 179 152 125 98 71 44 17 "
    "299 272 245 288 261 234 207 218 153 126 99 72 45 18 191 164 137 289 262 235 "
    "208 181 154 127 73 46 19 83 56 29 263 236 209 182 155 128 101 74 47 2 "
    "291 264 237 183 156 129 102 75 48 21 292 265 238 211 184 157 103 76 49 22 "
    "293 266 239 212 185 158 131 104 77 23 294 267 213 186 159 132 105 78 51 24 "
    "295 268 241 214 187 133 106 79 52 25 296 269 242 215 188 161 134 107 53 26 "
    "297 243 216 189 162 135 108 81 54 27";

const char kBigSymKey[] =
    "168 29 197 58 226 87 255 116 284 145 6 174 35 203 64 232 93 261 122 151 "
    "12 41 209 238 99 267 128 296 157 18 186 47 215 76 244 105 273 134 163 24 "
    "192 53 221 82 111 279 1 169 198 59 227 88 256 117 285 146 7 175 36 204 "
    "65 233 94 262 123 291 152 13 181 42 71 239 268 129 297 158 19 187 48 216 "
    "77 245 106 274 135 164 25 193 54 222 83 251 112 141 2 31 199 228 89 257 "
    "118 286 147 8 176 37 205 66 234 95 263 124 292 153 14 182 43 211 72 101 "
    "269 298 159 188 49 217 78 246 107 275 136 165 26 194 55 223 84 252 113 281 "
    "142 3 171 32 61 229 258 119 287 148 9 177 38 206 67 235 96 264 125 293 "
    "154 15 183 44 212 73 241 102 131 299 21 189 218 79 247 108 276 137 166 27 "
    "195 56 224 85 253 114 282 143 4 172 33 201 62 91 259 288 149 178 39 207 "
    "68 236 97 265 126 294 155 16 184 45 213 74 242 103 271 132 161 22 51 219 "
    "248 109 277 138 167 28 196 57 225 86 254 115 283 144 5 173 34 202 63 231 "
    "92 121 289 11 179 208 69 237 98 266 127 295 156 17 185 46 214 75 243 104 "
    "272 133 162 23 191 52 81 249 278 139";

std::vector<std::uint32_t> Numbers(const char* text) {
  std::vector<std::uint32_t> out;
  std::istringstream in(text);
  std::uint32_t n;
  while (in >> n) out.push_back(n);
  return out;
}

class PeerFixture {
 public:
  explicit PeerFixture(const std::string& relative) {
    const std::string path = std::string(SYMBASE_FIXTURE_DIR) + "/peer-mdx/" + relative;
    bytes_ = testing_support::ReadFileBytes(path);
    fs_.SetContents("X.MDX", bytes_);
    std::unique_ptr<File> file;
    EXPECT_EQ(kOk, fs_.Open("X.MDX", OpenMode::kReadWrite, &file));
    EXPECT_EQ(kOk, MdxFile::Open(std::move(file), &mdx_)) << path;
  }
  MdxFile* mdx() { return mdx_.get(); }
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
  testing_support::MemoryFileSystem fs_;
  std::unique_ptr<MdxFile> mdx_;
};

std::vector<std::uint32_t> Forward(MdxFile* mdx, int t) {
  std::vector<std::uint32_t> out;
  EXPECT_EQ(kOk, mdx->ForEach(t, [&](const char*, std::uint32_t r) {
    out.push_back(r);
    return 0;
  }));
  return out;
}

std::vector<std::uint32_t> Backward(MdxFile* mdx, int t) {
  std::vector<std::uint32_t> out;
  MdxCursor c;
  for (int rc = mdx->Last(t, &c); rc == kOk; rc = mdx->Prev(&c)) out.insert(out.begin(), c.record);
  return out;
}

void ExpectSound(MdxFile* mdx, int t) {
  std::vector<std::string> problems;
  EXPECT_EQ(kOk, mdx->Check(t, [&](const std::string& p) { problems.push_back(p); }));
  EXPECT_TRUE(problems.empty()) << problems.front();
}

struct Expected {
  const char* file;
  const char* tag;
  const char* order;
};

TEST(MdxFixtures, EveryTagListsTheRecordsInThePeerOrderBothWays) {
  const Expected cases[] = {
      {"objet/SYMTAB.MDX", "OBJKEY", kSmallOrder},
      {"repere/SYMTAB.MDX", "REPKEY", kSmallOrder},
      {"symbole/SYMTAB.MDX", "SYMKEY", kSymbolOrder},
      {"combined/SYMTAB.MDX", "OBJKEY", kSmallOrder},
      {"combined/SYMTAB.MDX", "REPKEY", kSmallOrder},
      {"combined/SYMTAB.MDX", "SYMKEY", kSymbolOrder},
      {"nofilter/SYMTAB.MDX", "SYMKEY", "4 7 1 3 5 2 6"},
      {"big/BIGTAB.MDX", "OBJKEY", kBigObjKey},
      {"big/BIGTAB.MDX", "REPKEY", kBigRepKey},
      {"big/BIGTAB.MDX", "SYMKEY", kBigSymKey},
  };
  for (const Expected& e : cases) {
    SCOPED_TRACE(std::string(e.file) + " " + e.tag);
    PeerFixture f(e.file);
    ASSERT_TRUE(f.mdx());
    const int t = f.mdx()->FindTag(e.tag);
    ASSERT_GE(t, 0);
    EXPECT_EQ(Numbers(e.order), Forward(f.mdx(), t));
    EXPECT_EQ(Numbers(e.order), Backward(f.mdx(), t));
    ExpectSound(f.mdx(), t);
  }
}

TEST(MdxFixtures, TagDefinitionsAreReadFromTheTagHeaders) {
  PeerFixture combined("combined/SYMTAB.MDX");
  ASSERT_EQ(3, combined.mdx()->tag_count());
  const MdxTagInfo& obj = combined.mdx()->tag(0);
  EXPECT_EQ("OBJKEY", obj.name);
  EXPECT_EQ("OBJET+IND1+IND2+IND3+IND4", obj.key_expression);
  EXPECT_EQ(".NOT. DELETED()", obj.filter_expression);
  EXPECT_EQ(22, obj.key_length);
  EXPECT_FALSE(obj.unique);
  EXPECT_FALSE(obj.descending);
  EXPECT_EQ(36, combined.mdx()->tag(1).key_length);
  EXPECT_EQ("SYMKEY", combined.mdx()->tag(2).name);
  EXPECT_EQ(2, combined.mdx()->FindTag("symkey"));
  EXPECT_EQ(-1, combined.mdx()->FindTag("SYMKEYS"));
  EXPECT_EQ(-1, combined.mdx()->FindTag("SYM"));
  EXPECT_EQ(-1, combined.mdx()->FindTag(nullptr));

  PeerFixture nofilter("nofilter/SYMTAB.MDX");
  EXPECT_EQ("", nofilter.mdx()->tag(0).filter_expression);
  EXPECT_EQ("SYMBOLE", nofilter.mdx()->tag(0).key_expression);
}

TEST(MdxFixtures, PrefixSeeksLandOnTheFirstMatchingOrNextGreaterKey) {
  PeerFixture big("big/BIGTAB.MDX");
  MdxFile* mdx = big.mdx();
  const int obj = mdx->FindTag("OBJKEY");
  MdxCursor c;
  EXPECT_EQ(kOk, mdx->Seek(obj, "%MW  1", 6, &c));
  EXPECT_EQ(1u, c.record);
  EXPECT_EQ(kOk, mdx->Seek(obj, "%MW  15", 7, &c));
  EXPECT_EQ(15u, c.record);
  EXPECT_EQ(kOk, mdx->Next(&c));
  EXPECT_EQ(151u, c.record);
  // Row 100 is deleted, so the filtered tag holds no key for it.
  EXPECT_EQ(kAfter, mdx->Seek(obj, "%MW  100", 8, &c));
  EXPECT_EQ(101u, c.record);
  EXPECT_EQ(kAfter, mdx->Seek(obj, "%A", 2, &c));
  EXPECT_EQ(1u, c.record);
  EXPECT_EQ(kEof, mdx->Seek(obj, "%MX", 3, &c));
  EXPECT_FALSE(c.valid);
  EXPECT_EQ(kOk, mdx->Prev(&c));  // from past the end back onto the last entry
  EXPECT_EQ(99u, c.record);
  // A text longer than the key is cut to the key length.
  std::string full = "%MW  42" + std::string(15, ' ') + "tail";
  EXPECT_EQ(kOk, mdx->Seek(obj, full.data(), full.size(), &c));
  EXPECT_EQ(42u, c.record);
  EXPECT_EQ(kOk, mdx->Seek(obj, nullptr, 0, &c));
  EXPECT_EQ(1u, c.record);

  const int sym = mdx->FindTag("SYMKEY");
  // 307 is prime, so no row has SYM_000: the seek stops on SYM_001, row 168.
  EXPECT_EQ(kAfter, mdx->Seek(sym, "SYM_000", 7, &c));
  EXPECT_EQ(168u, c.record);
  EXPECT_EQ("SYM_001", c.key.substr(0, 7));
  EXPECT_EQ(kErrArgument, mdx->Seek(sym, nullptr, 3, &c));
  EXPECT_EQ(kErrArgument, mdx->Seek(7, "S", 1, &c));

  PeerFixture symbole("symbole/SYMTAB.MDX");
  MdxFile* small = symbole.mdx();
  EXPECT_EQ(kOk, small->Seek(0, "Lamp", 4, &c));
  EXPECT_EQ(4u, c.record);
  EXPECT_EQ(kOk, small->Next(&c));
  EXPECT_EQ(7u, c.record);
  EXPECT_EQ(kOk, small->Seek(0, "\xC9", 1, &c));
  EXPECT_EQ(6u, c.record);
  EXPECT_EQ(kEof, small->Next(&c));
  EXPECT_EQ(kEof, small->Next(&c));
  EXPECT_EQ(kEof, small->Seek(0, "\xFF", 1, &c));
  EXPECT_EQ(kOk, small->First(0, &c));
  EXPECT_EQ(kBof, small->Prev(&c));
  EXPECT_EQ(kOk, small->Next(&c));  // from before the first entry onto it
  EXPECT_EQ(4u, c.record);
}

TEST(MdxFixtures, SeekEntryFindsOneDuplicateByRecord) {
  PeerFixture symbole("symbole/SYMTAB.MDX");
  MdxFile* mdx = symbole.mdx();
  std::string lamp = "Lamp" + std::string(28, ' ');
  MdxCursor c;
  EXPECT_EQ(kOk, mdx->SeekEntry(0, lamp.data(), 7, &c));
  EXPECT_EQ(7u, c.record);
  EXPECT_EQ(kAfter, mdx->SeekEntry(0, lamp.data(), 5, &c));
  EXPECT_EQ(7u, c.record);
  EXPECT_EQ(kAfter, mdx->SeekEntry(0, lamp.data(), 8, &c));
  EXPECT_EQ(1u, c.record);  // Motor_on follows
}

TEST(MdxFixtures, ChangesToAPeerTreeKeepItSoundAndOrdered) {
  PeerFixture big("big/BIGTAB.MDX");
  MdxFile* mdx = big.mdx();
  const int obj = mdx->FindTag("OBJKEY");
  // Put back the deleted rows 10, 20, ... 300, then take out rows 1..150.
  for (std::uint32_t r = 10; r <= 300; r += 10) {
    std::string key = "%MW  " + std::to_string(r);
    key.resize(22, ' ');
    ASSERT_EQ(kOk, mdx->Insert(obj, key.data(), r));
  }
  for (std::uint32_t r = 1; r <= 150; ++r) {
    std::string key = "%MW  " + std::to_string(r);
    key.resize(22, ' ');
    ASSERT_EQ(kOk, mdx->Remove(obj, key.data(), r)) << r;
  }
  ExpectSound(mdx, obj);
  std::vector<std::uint32_t> got = Forward(mdx, obj);
  ASSERT_EQ(150u, got.size());
  EXPECT_EQ(151u, got.front());
  EXPECT_EQ(300u, got.back());  // rows 151..300 are left; "300" sorts last
}

}  // namespace
}  // namespace xbase
