// Relations: the rows a query admits, collected once by RelationTop in the
// table's order (or sorted, stably, by the sort expression), then visited
// by record number. A row is checked again when the walk reaches it, so a
// row deleted (or changed out of the query) meanwhile is never shown, and
// rows changed during the walk are neither missed nor met twice.

#include "xbase/relation.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "xbase/table.h"

namespace xbase {
namespace {

int SetExpression(Relation* relation, const char* text, Expression::Type type,
                  std::unique_ptr<Expression>* slot, int* error) {
  if (relation == nullptr) return kErrArgument;
  Table* table = relation->table;
  if (!table->open() || text == nullptr) return table->Fail(kErrArgument);
  slot->reset();
  relation->rows.clear();
  relation->position = -1;
  if (*text == '\0') {
    *error = kOk;
    return table->Fail(kOk);
  }
  std::unique_ptr<Expression> parsed;
  int r = Expression::Parse(text, table->layout, &parsed);
  if (r == kOk && parsed->type() != type) r = kErrExpression;
  *error = r;
  if (r == kOk) *slot = std::move(parsed);
  return table->Fail(r);
}

bool Admits(const Relation* relation, const char* image) {
  return image[0] != kDeletedFlag && (!relation->query || relation->query->IsTrue(image));
}

int Collect(Relation* relation, std::uint32_t n, const char* image) {
  if (!Admits(relation, image)) return 0;
  relation->rows.push_back(n);
  if (relation->sort) {
    std::size_t at = relation->sort_keys.size();
    relation->sort_keys.resize(at + relation->sort->width());
    relation->sort->Evaluate(image, &relation->sort_keys[at]);
  }
  return 0;
}

// The rows the query admits, in the table's selected order.
int Gather(Relation* relation) {
  Table* table = relation->table;
  relation->rows.clear();
  relation->sort_keys.clear();
  if (table->selected == nullptr) {
    return table->dbf->Scan(
        [relation](std::uint32_t n, const char* image) { return Collect(relation, n, image); });
  }
  std::vector<std::uint32_t> order;
  Tag* tag = table->selected;
  int r = tag->mdx()->ForEach(tag->number, [&order](const char*, std::uint32_t n) {
    order.push_back(n);
    return 0;
  });
  char* image = &relation->scratch[0];
  for (std::size_t i = 0; r == kOk && i < order.size(); ++i) {
    r = table->dbf->Read(order[i], image);
    if (r == kErrRecord) r = kErrIndexFormat;
    if (r == kOk) Collect(relation, order[i], image);
  }
  return r;
}

void SortRows(Relation* relation) {
  if (!relation->sort) return;
  std::size_t width = relation->sort->width();
  std::vector<std::size_t> order(relation->rows.size());
  std::iota(order.begin(), order.end(), 0);
  const char* keys = relation->sort_keys.data();
  std::stable_sort(order.begin(), order.end(), [keys, width](std::size_t a, std::size_t b) {
    return std::memcmp(keys + a * width, keys + b * width, width) < 0;
  });
  std::vector<std::uint32_t> sorted(order.size());
  for (std::size_t i = 0; i < order.size(); ++i) sorted[i] = relation->rows[order[i]];
  relation->rows.swap(sorted);
}

// From `position`, steps in `direction` over rows no longer admitted and
// puts the table on the first one that is.
int Settle(Relation* relation, int direction) {
  Table* table = relation->table;
  long size = static_cast<long>(relation->rows.size());
  for (; relation->position >= 0 && relation->position < size; relation->position += direction) {
    std::uint32_t n = relation->rows[relation->position];
    if (n > table->dbf->count()) continue;
    int r = LandOnRecord(table, n);
    if (r != kOk) return r;
    if (Admits(relation, table->stored.data())) return kOk;
  }
  if (relation->position >= size) {
    relation->position = size;
    LandOnEof(table);
    return kEof;
  }
  return kBof;
}

int Prepare(Relation* relation) {
  if (relation == nullptr) return kErrArgument;
  Table* table = relation->table;
  if (!table->open()) return table->Fail(kErrArgument);
  if (table->appending) {
    table->appending = false;
    table->FollowStored();
  }
  return FlushRow(table);
}

}  // namespace

Relation* RelationCreate(Table* table) {
  if (table == nullptr) return nullptr;
  if (!table->open()) {
    table->Fail(kErrArgument);
    return nullptr;
  }
  std::unique_ptr<Relation> relation(new Relation());
  relation->table = table;
  relation->scratch.assign(table->dbf->record_length(), ' ');
  table->session->state->relations.push_back(std::move(relation));
  table->Fail(kOk);
  return table->session->state->relations.back().get();
}

int RelationQuerySet(Relation* relation, const char* expression) {
  return SetExpression(relation, expression, Expression::Type::kLogical,
                       relation ? &relation->query : nullptr,
                       relation ? &relation->query_error : nullptr);
}

int RelationSortSet(Relation* relation, const char* expression) {
  return SetExpression(relation, expression, Expression::Type::kText,
                       relation ? &relation->sort : nullptr,
                       relation ? &relation->sort_error : nullptr);
}

int RelationTop(Relation* relation) {
  int r = Prepare(relation);
  if (relation == nullptr) return r;
  Table* table = relation->table;
  if (r != kOk) return table->Fail(r);
  if (relation->query_error != kOk || relation->sort_error != kOk) {
    return table->Fail(kRelationEnd);
  }
  r = Gather(relation);
  if (r != kOk) return table->Fail(r);
  SortRows(relation);
  relation->position = 0;
  r = Settle(relation, 1);
  return table->Fail(r);
}

int RelationSkip(Relation* relation, long count) {
  int r = Prepare(relation);
  if (relation == nullptr) return r;
  Table* table = relation->table;
  if (r != kOk) return table->Fail(r);
  if (relation->position < 0) return table->Fail(kRelationEnd);  // never positioned
  long size = static_cast<long>(relation->rows.size());
  int direction = count < 0 ? -1 : 1;
  long steps = count < 0 ? -count : count;
  if (count == 0) return table->Fail(Settle(relation, 1));
  for (; steps > 0; --steps) {
    relation->position += direction;
    if (relation->position >= size) {
      relation->position = size;
      LandOnEof(table);
      return table->Fail(kEof);
    }
    r = Settle(relation, direction);
    if (r == kBof) {  // before the first row: stay on the first one shown
      relation->position = 0;
      r = Settle(relation, 1);
      return table->Fail(r == kOk ? kBof : r);
    }
    if (r != kOk) return table->Fail(r);
  }
  return table->Fail(kOk);
}

int RelationFree(Relation* relation, int close_files) {
  if (relation == nullptr) return kErrArgument;
  Table* table = relation->table;
  Session* session = table->session;
  auto& list = session->state->relations;
  int r = kOk;
  if (close_files != 0 && table->open()) {
    r = SettleSession(session);
    CloseTable(table);
  }
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (it->get() == relation) {
      list.erase(it);
      break;
    }
  }
  session->error = r;
  return r;
}

}  // namespace xbase
