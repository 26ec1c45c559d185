#ifndef SYMBASE_STORAGE_BASE_FILES_H
#define SYMBASE_STORAGE_BASE_FILES_H

#include <cstddef>

#include "address/key_widths.h"
#include "xbase/engine.h"

// The six files of a symbol base, their fields and their tags.

namespace symbase {

constexpr const char* kMainTableFile = "KR9.DBF";
constexpr const char* kCommentTableFile = "KR9CMT.DBF";
constexpr const char* kRepCleIndexFile = "KR9CLER.MDX";
constexpr const char* kRepereIndexFile = "KR9R.MDX";
constexpr const char* kSymboleIndexFile = "KR9S.MDX";
constexpr const char* kRepCmtIndexFile = "KR9CMTR.MDX";

// The journal of the base's writes, beside the main table while a process
// has the base open (and after a write that a process left half-done).
constexpr const char* kJournalFile = "KR9.DBF.jnl";

// The files in the order they are deleted.
extern const char* const kBaseFiles[6];

// Paths are composed in a buffer of 84 bytes, NUL included; the longest file
// name has 11 characters, so a directory may hold at most 72.
constexpr std::size_t kPathBufferSize = 84;
constexpr std::size_t kMaxDirectoryLength = 72;

// Field widths, beside those of the key fields (address/key_widths.h).
constexpr int kRepereWidth = 36;
constexpr int kSymboleWidth = 32;
constexpr int kIsCmtWidth = 1;
constexpr int kCmtWidth = 254;
constexpr int kCommentKeyLength = 22;
// The longest comment kept: CMT1 and CMT2 together.
constexpr int kMaxCommentLength = 2 * kCmtWidth;

extern const xbase::FieldDefinition kMainFields[];
extern const xbase::FieldDefinition kCommentFields[];
extern const xbase::TagDefinition kRepCleTag[];
extern const xbase::TagDefinition kRepereTag[];
extern const xbase::TagDefinition kSymboleTag[];
extern const xbase::TagDefinition kRepCmtTag[];

// The four index files: the table each indexes, its name, its one tag.
struct IndexFileDefinition {
  bool on_comment_table;
  const char* file;
  const xbase::TagDefinition* tags;
};
extern const IndexFileDefinition kIndexFiles[4];

constexpr const char* kRepCleTagName = "REPCLE_TAG";
constexpr const char* kRepereTagName = "REPERE_TAG";
constexpr const char* kSymboleTagName = "SYMBOLE_TAG";
constexpr const char* kRepCmtTagName = "REPCMT_TAG";

// Writes directory + name into buffer (kPathBufferSize bytes). False, with
// nothing written past the buffer, when the directory is too long.
bool ComposePath(char* buffer, const char* directory, const char* name);

}  // namespace symbase

#endif
