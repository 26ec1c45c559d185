#ifndef SYMBASE_MAINTENANCE_FINDINGS_H
#define SYMBASE_MAINTENANCE_FINDINGS_H

#include <string>

#include "symbase/afxcoll.h"

// What a check finds (or a repair does), appended to the caller's list as
// CTBCheckFinding records, with a count of each kind for the result.

namespace symbase {

class Findings {
 public:
  explicit Findings(CObList* list) : list_(list) {}

  // `path` is shown by its file name alone.
  void Add(int kind, const std::string& path, const std::string& text);
  // TB_OK when nothing was found; TB_CHECK_DAMAGED when a finding needs a
  // person (rows); TB_CHECK_REPAIRABLE when a repair mends them all.
  int Result() const;
  int count() const { return index_ + header_ + rows_; }

 private:
  CObList* list_;
  int index_ = 0;
  int header_ = 0;
  int rows_ = 0;
};

}  // namespace symbase

#endif
