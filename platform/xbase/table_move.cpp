// Positioning: record-number order, or the selected tag's order through a
// cursor that survives changes of the tree by re-seeking its last entry.

#include <cstring>

#include "xbase/table.h"

namespace xbase {
namespace {

int Target(Table* table) {
  if (table == nullptr) return kErrArgument;
  if (!table->open()) return table->Fail(kErrArgument);
  return kOk;
}

// Leaving the current row: an unfinished append is dropped, a changed row
// is written.
int PrepareMove(Table* table) {
  if (table->appending) {
    table->appending = false;
    table->FollowStored();
  }
  return FlushRow(table);
}

void SetPositionKey(Table* table) {
  Tag* tag = table->selected;
  table->cursor_synced = false;
  if (tag == nullptr || table->place != Place::kRow) return;
  if (table->position_key.size() < tag->old_key.size())
    table->position_key.resize(tag->old_key.size());
  tag->KeyOf(table->stored.data(), &table->position_key);
}

// Whether the row belongs in the tag under this key (key_length bytes): an
// entry holds its row's key and only rows its tag admits, so a damaged index
// shows as an error rather than as a wrong answer.
bool HoldsEntry(Tag* tag, const char* row, const char* key) {
  if (!tag->Admits(row)) return false;
  tag->KeyOf(row, &tag->new_key);
  return std::memcmp(tag->new_key.data(), key, tag->key_length) == 0;
}

// Stands on row n, in `stored`, whose key in the selected tag is `key`;
// `synced`: the cursor stands on its entry.
void LandOnKey(Table* table, std::uint32_t n, const char* key, bool synced) {
  table->FollowStored();
  table->place = Place::kRow;
  table->recno = n;
  table->bof = false;
  table->position_key.assign(key, table->selected->key_length);
  table->cursor_synced = synced;
}

// Lands on the cursor's entry; `sought`: found by a seek, not by a step.
int LandOnEntry(Table* table, bool sought = false) {
  const MdxCursor& c = table->cursor;
  if (c.record < 1 || c.record > table->dbf->count()) return kErrIndexFormat;
  if (!sought) table->dbf->Prefetch(c.next_record);  // the next step's row
  int r = table->dbf->Read(c.record, &table->stored[0], sought);
  if (r != kOk) return r;
  Tag* tag = table->selected;
  if (c.key.size() != tag->key_length || !HoldsEntry(tag, table->stored.data(), c.key.data())) {
    return kErrIndexFormat;
  }
  LandOnKey(table, c.record, c.key.data(), true);
  return kOk;
}

// A seek of a whole key that the tag's directory knows: the row is read and
// its key compared, and no leaf is read. False: the seek goes down the tree,
// the current row as it was.
bool LandOnKnownKey(Table* table, const char* key) {
  Tag* tag = table->selected;
  const std::uint32_t n = tag->mdx()->Sought(tag->number, key, table->dbf->count());
  if (n == 0) return false;
  std::string& row = table->scratch;
  row.resize(table->stored.size());
  if (table->dbf->Read(n, &row[0], true) != kOk || !HoldsEntry(tag, row.data(), key)) return false;
  table->stored.swap(row);
  LandOnKey(table, n, key, false);
  return true;
}

bool CursorUsable(Table* table, MdxFile* mdx, int t) {
  const MdxCursor& c = table->cursor;
  return table->cursor_synced && c.valid && c.tag == t && c.generation == mdx->generation();
}

// Moves n entries along the selected tag (n != 0).
int TagMove(Table* table, long n) {
  Tag* tag = table->selected;
  MdxFile* mdx = tag->mdx();
  MdxCursor& c = table->cursor;
  int t = tag->number;
  int r = kOk;
  if (table->place == Place::kEof) {
    if (n > 0) return kEof;
    r = mdx->Last(t, &c);
    ++n;
  } else if (!CursorUsable(table, mdx, t)) {
    // The tree changed (or we came by record number): find our entry again.
    // When it is gone the seek lands on the entry that followed it, which is
    // then the first step forward.
    r = mdx->SeekEntry(t, table->position_key.data(), table->recno, &c);
    if (r == kAfter) {
      if (n > 0) --n;
      r = kOk;
    } else if (r == kEof) {
      if (n > 0) {
        LandOnEof(table);
        return kEof;
      }
      r = mdx->Last(t, &c);
      ++n;
    }
  }
  if (r == kBof || r == kEof) {  // the tag is empty
    LandOnEof(table);
    table->bof = true;
    return kBof;
  }
  for (; r == kOk && n > 0; --n) r = mdx->Next(&c);
  if (r == kEof) {
    LandOnEof(table);
    return kEof;
  }
  for (; r == kOk && n < 0; ++n) r = mdx->Prev(&c);
  if (r == kBof) {
    r = mdx->First(t, &c);
    if (r == kOk) r = LandOnEntry(table);
    table->bof = true;
    return r == kOk ? kBof : r;
  }
  if (r != kOk) return r;
  return LandOnEntry(table);
}

int RecordMove(Table* table, long n) {
  std::int64_t count = table->dbf->count();
  std::int64_t from = table->place == Place::kEof ? count + 1 : table->recno;
  std::int64_t to = from + n;
  if (to > count) {
    LandOnEof(table);
    return kEof;
  }
  if (to < 1) {
    int r = count == 0 ? kOk : LandOnRecord(table, 1);
    if (count == 0) LandOnEof(table);
    table->bof = true;
    return r == kOk ? kBof : r;
  }
  return LandOnRecord(table, static_cast<std::uint32_t>(to));
}

// Top (first) or bottom (last) of the selected order.
int GoEnd(Table* table, bool first) {
  int r = Target(table);
  if (r != kOk) return r;
  r = PrepareMove(table);
  if (r != kOk) return table->Fail(r);
  if (table->selected == nullptr) {
    std::uint32_t count = table->dbf->count();
    if (count == 0) {
      LandOnEof(table);
      return table->Fail(kEof);
    }
    return table->Fail(LandOnRecord(table, first ? 1 : count));
  }
  MdxFile* mdx = table->selected->mdx();
  int t = table->selected->number;
  r = first ? mdx->First(t, &table->cursor) : mdx->Last(t, &table->cursor);
  if (r == kEof || r == kBof) {
    LandOnEof(table);
    return table->Fail(kEof);
  }
  if (r == kOk) r = LandOnEntry(table);
  return table->Fail(r);
}

}  // namespace

int LandOnRecord(Table* table, std::uint32_t n, bool load) {
  if (load) {
    int r = table->dbf->Read(n, &table->stored[0]);
    if (r != kOk) return r;
    table->FollowStored();
  }
  table->place = Place::kRow;
  table->recno = n;
  table->bof = false;
  table->changed = table->appending = false;
  SetPositionKey(table);
  return kOk;
}

void LandOnEof(Table* table) {
  table->place = Place::kEof;
  table->recno = table->dbf->count() + 1;
  table->bof = false;
  std::memset(&table->stored[0], ' ', table->stored.size());
  table->FollowStored();
  table->changed = table->appending = false;
  table->cursor_synced = false;
}

void TagSelect(Table* table, Tag* tag) {
  if (Target(table) != kOk) return;
  if (tag != nullptr && (tag->index == nullptr || tag->index->table != table)) {
    table->Fail(kErrArgument);
    return;
  }
  table->selected = tag;
  SetPositionKey(table);
  table->Fail(kOk);
}

int TableSeek(Table* table, const char* key) {
  int r = Target(table);
  if (r != kOk) return r;
  if (key == nullptr) return table->Fail(kErrArgument);
  if (table->selected == nullptr) return table->Fail(kErrTag);
  r = PrepareMove(table);
  if (r != kOk) return table->Fail(r);
  Tag* tag = table->selected;
  std::size_t length = std::strlen(key);
  if (length > tag->key_length) length = tag->key_length;
  if (length == tag->key_length && LandOnKnownKey(table, key)) return table->Fail(kOk);
  r = tag->mdx()->Seek(tag->number, key, length, &table->cursor);
  if (r == kEof) {
    LandOnEof(table);
    return table->Fail(kEof);
  }
  if (r != kOk && r != kAfter) return table->Fail(r);
  int landed = LandOnEntry(table, true);
  return table->Fail(landed != kOk ? landed : r);
}

int TableTop(Table* table) { return GoEnd(table, true); }
int TableBottom(Table* table) { return GoEnd(table, false); }

int TableSkip(Table* table, long count) {
  int r = Target(table);
  if (r != kOk) return r;
  r = PrepareMove(table);
  if (r != kOk) return table->Fail(r);
  if (count == 0) {
    return table->Fail(table->place == Place::kRow ? LandOnRecord(table, table->recno) : kEof);
  }
  return table->Fail(table->selected ? TagMove(table, count) : RecordMove(table, count));
}

int TableGo(Table* table, long record) {
  int r = Target(table);
  if (r != kOk) return r;
  if (record < 1 || static_cast<std::uint64_t>(record) > table->dbf->count()) {
    return table->Fail(kErrRecord);
  }
  r = PrepareMove(table);
  if (r != kOk) return table->Fail(r);
  return table->Fail(LandOnRecord(table, static_cast<std::uint32_t>(record)));
}

long TableRecordNumber(Table* table) {
  if (table == nullptr || !table->open()) return 0;
  return table->place == Place::kRow ? static_cast<long>(table->recno)
                                     : static_cast<long>(table->dbf->count()) + 1;
}

long TableRecordCount(Table* table) {
  int r = Target(table);
  if (r != kOk) return r;
  // Outside a transaction another process may have appended meanwhile.
  if (table->session->state->txn.mode == TransactionState::Mode::kNone) {
    r = table->dbf->RefreshCount();
    if (r != kOk) return table->Fail(r);
  }
  table->Fail(kOk);
  return static_cast<long>(table->dbf->count());
}

TablePlace TablePlaceOf(Table* table) {
  if (Target(table) != kOk || table->place != Place::kRow) return TablePlace{0, false};
  return TablePlace{static_cast<long>(table->recno), table->bof};
}

void TableReturnTo(Table* table, const TablePlace& place) {
  if (Target(table) != kOk) return;
  if (place.record <= 0) {
    LandOnEof(table);
  } else {
    table->place = Place::kRow;
    table->recno = static_cast<std::uint32_t>(place.record);
    table->cursor_synced = false;
  }
  table->bof = place.bof;
}

int TableEof(Table* table) {
  if (Target(table) != kOk) return kErrArgument;
  return table->place == Place::kEof ? 1 : 0;
}

int TableBof(Table* table) {
  if (Target(table) != kOk) return kErrArgument;
  return table->bof ? 1 : 0;
}

}  // namespace xbase
