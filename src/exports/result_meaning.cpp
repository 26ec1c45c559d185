// The meaning of each result the interface returns.

#include "symbase/results.h"
#include "xbase/result.h"

const char* TBResultMeaning(int code) {
  switch (code) {
    case TB_OK:
      return "success";
    case TB_NOT_DONE:
      return "not done: the comment row could not be written, or the module address is out "
             "of range";
    case TB_ALREADY_LOCKED:
      return "the base is already locked";
    case TB_SYMBOL_TAKEN:
      return "the symbol is already carried by another row";
    case TB_NO_ROW:
      return "no row there: end or beginning reached, or an empty order";
    case TB_KEY_NOT_FOUND:
      return "key not found";
    case TB_LOCKED_BY_OTHER:
      return "locked by another user";
    case TB_OUT_OF_RANGE:
      return "start record or call counter out of range";
    case TB_INTERRUPTED:
      return "insertion interrupted by the user";
    case TB_REFUSED:
      return "replacement refused by the user";
    case TB_NO_MATCH:
      return "no row passes the text search";
    case TB_CHECK_REPAIRABLE:
      return "the check found faults that a repair mends";
    case TB_CHECK_DAMAGED:
      return "the check found faults that a repair cannot mend";
    case TB_BATCH_UNDONE:
      return "the batch was undone: a call inside it failed midway";
    default:
      // Engine failures pass through with their own meanings.
      return code < 0 ? xbase::ResultMeaning(code) : "unknown result code";
  }
}
