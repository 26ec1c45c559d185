#include "maintenance/findings.h"

#include <memory>

#include "symbase/maintenance.h"

namespace symbase {

void Findings::Add(int kind, const std::string& path, const std::string& text) {
  const std::size_t slash = path.find_last_of('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  std::unique_ptr<CTBCheckFinding> finding(new CTBCheckFinding(kind, name.c_str(), text.c_str()));
  list_->AddTail(finding.get());
  finding.release();  // the caller's list owns it now
  switch (kind) {
    case CTBCheckFinding::kIndex:
      ++index_;
      break;
    case CTBCheckFinding::kHeader:
      ++header_;
      break;
    case CTBCheckFinding::kRows:
      ++rows_;
      break;
    default:
      break;
  }
}

int Findings::Result() const {
  if (rows_ > 0) return TB_CHECK_DAMAGED;
  return index_ + header_ > 0 ? TB_CHECK_REPAIRABLE : 0;
}

}  // namespace symbase
