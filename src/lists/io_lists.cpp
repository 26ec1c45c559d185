// Sorting and filtering the I/O list of a module. Neither reads the base.

#include <utility>

#include "lists/io_quicksort.h"
#include "lists/io_sort_key.h"
#include "lists/io_text.h"
#include "storage/tb_data.h"

using namespace symbase;

namespace {

// Plain inputs and outputs of every size (%I, %IW, %Q, %QD ...), never an
// element that speaks of an error.
bool IsInputOrOutput(const CString& element) {
  if (Contains(element, "ERR")) return false;
  return HeadFind(element, "I") == 1 || HeadFind(element, "Q") == 1;
}

// Appends a text to the list by moving it into a new node.
void MoveToTail(CStringList& list, CString& text) {
  list.AddTail("");
  list.GetTail() = std::move(text);
}

}  // namespace

void CTBData::TriListeRepereES(CStringList* list) {
  if (list == nullptr) return;
  const INT_PTR count = list->GetCount();
  CStringArray texts;
  CDWordArray keys;
  texts.SetSize(count);
  keys.SetSize(count);
  // Each key is computed once, as the element leaves the list.
  DecodedRepere work;
  for (INT_PTR i = 0; i < count; ++i) {
    CString& element = list->GetHead();
    keys.GetData()[i] = IoSortKey(element, work);
    texts.GetData()[i] = std::move(element);
    list->RemoveHead();
  }
  SortByKey(texts.GetData(), keys.GetData(), 0, count - 1);
  for (INT_PTR i = 0; i < count; ++i) MoveToTail(*list, texts.GetData()[i]);
}

void CTBData::FiltrerListeRepereES(CStringList* list) {
  if (list == nullptr) return;
  for (POSITION position = list->GetHeadPosition(); position != nullptr;) {
    const POSITION at = position;
    if (!IsInputOrOutput(list->GetNext(position))) list->RemoveAt(at);
  }
}
