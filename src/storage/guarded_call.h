#ifndef SYMBASE_STORAGE_GUARDED_CALL_H
#define SYMBASE_STORAGE_GUARDED_CALL_H

#include <tuple>

#include "frame/guard.h"
#include "storage/base_access.h"
#include "symbase/tabis.h"

// An exported operation on the open base: inside the guard, the base held
// for reading or writing for the whole call (storage/base_access.h). A base
// held by another process past the wait gives 104 and the operation does
// not run.

namespace symbase {

template <typename Operation>
int GuardedOn(CTBData* base, int operation, Access access, Operation&& run,
              CommitFailure policy = CommitFailure::kReplacesResult) {
  return Guarded(operation, [&] {
    BaseAccess hold(*base, access);
    if (hold.refusal() != 0) return hold.refusal();
    return hold.Finish(run(), policy);
  });
}

// A guarded lookup of one object (storage/base_access.h, ReadLightly): the
// object's members are put back before a second attempt.
template <typename Operation>
int GuardedLookup(CTBData* base, int operation, CTBObjetAts* object, Operation&& run) {
  return Guarded(operation, [&] {
    const CTBObjetAts before(*object);
    return ReadLightly(*base, run, [&] { *object = before; });
  });
}

// A guarded listing whose whole state is in its arguments, read first
// without taking the base (ReadLightly): before a second attempt, the
// entries the first appended are taken off the list and deleted, the
// `outputs` (the positions it hands back) are put back, and `restore` puts
// back whatever else the listing keeps (GuardedListing: nothing).
template <typename Operation, typename Restore, typename... Outputs>
int GuardedListingWith(CTBData* base, int operation, CObList* list, Operation&& run,
                       Restore&& restore, Outputs*... outputs) {
  return Guarded(operation, [&] {
    const INT_PTR listed = list->GetCount();
    const std::tuple<Outputs...> before(*outputs...);
    return ReadLightly(*base, run, [&] {
      while (list->GetCount() > listed) delete list->RemoveTail();
      std::tie(*outputs...) = before;
      restore();
    });
  });
}

template <typename Operation, typename... Outputs>
int GuardedListing(CTBData* base, int operation, CObList* list, Operation&& run,
                   Outputs*... outputs) {
  return GuardedListingWith(
      base, operation, list, run, [] {}, outputs...);
}

}  // namespace symbase

#endif
