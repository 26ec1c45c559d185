#include "xbase/result.h"

namespace xbase {

const char* ResultMeaning(int code) {
  switch (code) {
    case kOk:
      return "success";
    case kAfter:
      return "not found; positioned on the next greater key";
    case kEof:
      return "end of the order";
    case kBof:
      return "beginning of the order";
    case kLocked:
      return "locked by another process";
    case kRelationEnd:
      return "the relation could not be evaluated";
    case kErrArgument:
      return "invalid handle or argument";
    case kErrOpen:
      return "file cannot be opened";
    case kErrCreate:
      return "file cannot be created";
    case kErrRead:
      return "read failed";
    case kErrWrite:
      return "write failed";
    case kErrReadOnly:
      return "file open for reading only";
    case kErrLock:
      return "lock call failed";
    case kErrBusy:
      return "file in use by another process";
    case kErrFormat:
      return "damaged table file";
    case kErrIndexFormat:
      return "damaged index file";
    case kErrJournal:
      return "interrupted write without a usable journal";
    case kErrExpression:
      return "malformed expression";
    case kErrField:
      return "unknown field in expression";
    case kErrTag:
      return "unknown or invalid tag";
    case kErrRecord:
      return "record number out of range";
    case kErrRename:
      return "rename or removal failed";
    case kErrMemory:
      return "out of memory";
    default:
      return code < 0 ? "engine error" : "unknown result";
  }
}

}  // namespace xbase
