#ifndef SYMBASE_MAINTENANCE_OWN_BASE_H
#define SYMBASE_MAINTENANCE_OWN_BASE_H

#include <string>

#include "maintenance/findings.h"
#include "xbase/engine.h"

// The files of one base opened in an engine session of their own, for the
// check and the repair: what opens is used, what does not is a finding.

namespace symbase {

class OwnBase {
 public:
  // `alone`: the tables are opened for this session only (the repair).
  OwnBase(const char* directory, bool alone);
  ~OwnBase();
  OwnBase(const OwnBase&) = delete;
  OwnBase& operator=(const OwnBase&) = delete;

  // Opens both tables: 0 (a table that cannot be opened is then a finding
  // and stays null), 104 when another process has the base open and `alone`
  // was asked, or a negative code for a directory that cannot hold a base.
  // What the opening repaired is reported to the host's error service.
  int OpenTables(Findings* findings);
  // Opens the four index files on their tables; each that is missing or
  // unreadable, or lacks its tag as the base defines it, is a finding.
  void OpenIndexes(Findings* findings);

  std::string Path(const char* file) const { return directory_ + file; }
  xbase::Table* table(bool comment) const { return comment ? comment_ : main_; }
  xbase::Session* session() { return &session_; }

 private:
  std::string directory_;
  xbase::Session session_;
  xbase::Table* main_ = nullptr;
  xbase::Table* comment_ = nullptr;
};

}  // namespace symbase

#endif
