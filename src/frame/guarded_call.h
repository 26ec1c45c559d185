#ifndef SYMBASE_FRAME_GUARDED_CALL_H
#define SYMBASE_FRAME_GUARDED_CALL_H

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

}  // namespace symbase

#endif
