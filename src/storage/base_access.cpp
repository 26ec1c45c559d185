#include "storage/base_access.h"

#include <exception>

#include "frame/checked_calls.h"
#include "frame/report.h"

namespace symbase {

BaseAccess::BaseAccess(CTBData& base, Access access)
    : base_(base),
      access_(access),
      outer_(base.m_access == nullptr),
      unwinding_(std::uncaught_exceptions()) {
  if (!outer_) return;
  base_.m_access = this;
  refusal_ = Begin();
}

BaseAccess::~BaseAccess() {
  if (!outer_) {
    if (std::uncaught_exceptions() > unwinding_ && base_.m_access != nullptr) {
      base_.m_access->spoiled_ = true;
    }
    return;
  }
  // Only an exception leaves a call with the base still held.
  if (held_) xbase::EngineRollback(&base_.m_session);
  if (base_.m_access == this) base_.m_access = nullptr;
}

int BaseAccess::Begin() {
  xbase::ClearLastFileFailure();
  const int r = xbase::EngineBegin(&base_.m_session, access_ == Access::kWrite ? 1 : 0);
  ReportRecovery(base_);
  if (r == xbase::kOk) {
    held_ = true;
    return 0;
  }
  base_.m_access = nullptr;  // calls made meanwhile try for themselves
  if (r == xbase::kLocked) return TB_LOCKED_BY_OTHER;
  ReportError(kTransactionIndex, r, xbase::LastFileFailure().c_str(), kCheckedCallSource, __LINE__);
  return r;
}

int BaseAccess::Finish(int result, CommitFailure policy) {
  if (!outer_ || !held_) return result;
  held_ = false;
  const int r = xbase::EngineCommit(&base_.m_session);
  if (r == xbase::kOk) return result;
  ReportError(kTransactionIndex, r, xbase::LastFileFailure().c_str(), kCheckedCallSource, __LINE__);
  return policy == CommitFailure::kReplacesResult && result >= 0 ? r : result;
}

void BaseAccess::Pause() {
  // A batch keeps the base until it ends: its writes go together.
  if (!outer_ || !held_ || base_.m_batch.get() == this) return;
  paused_at_ = xbase::EngineChangeCounter(&base_.m_session);
  xbase::EngineCommit(&base_.m_session);  // nothing is written yet: this lets the base go
  held_ = false;
  base_.m_access = nullptr;
}

int BaseAccess::Resume(bool* changed) {
  *changed = false;
  if (!outer_ || held_) return 0;
  base_.m_access = this;
  refusal_ = Begin();
  if (refusal_ != 0) return refusal_;
  *changed = xbase::EngineChangeCounter(&base_.m_session) != paused_at_;
  return 0;
}

OptimisticRead::OptimisticRead(CTBData& base)
    : base_(base), begun_(xbase::EngineBeginOptimistic(&base.m_session) == xbase::kOk) {}

OptimisticRead::~OptimisticRead() {
  if (begun_) xbase::EngineEndOptimistic(&base_.m_session);
}

bool OptimisticRead::Confirmed() {
  begun_ = false;
  return xbase::EngineEndOptimistic(&base_.m_session) == xbase::kOk;
}

void ReportRecovery(CTBData& base) {
  const int found = xbase::EngineTakeRecovery(&base.m_session);
  if (found != 0) {
    ReportError(kTransactionIndex, found, xbase::TablePath(base.m_mainTable), kCheckedCallSource,
                __LINE__);
  }
}

}  // namespace symbase
