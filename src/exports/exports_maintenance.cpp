// Exported integrity check, repair, durability setting and batches.

#include "frame/guard.h"
#include "maintenance/base_check.h"
#include "storage/tb_data.h"
#include "symbase/maintenance.h"

using symbase::Guarded;
using symbase::RefusedNull;

namespace {

constexpr int kCheckOperation = 537;
constexpr int kRepairOperation = 538;
constexpr int kDurabilityOperation = 539;
constexpr int kBeginBatchOperation = 540;
constexpr int kEndBatchOperation = 541;

}  // namespace

int TBCheckBaseSymbol(CTBData*, const char* directory, CObList* findings) {
  if (RefusedNull(kCheckOperation, directory, findings)) return 0;
  return Guarded(kCheckOperation, [&] { return symbase::CheckBase(directory, findings); });
}

int TBRepairBaseSymbol(CTBData*, const char* directory, CObList* actions) {
  if (RefusedNull(kRepairOperation, directory, actions)) return 0;
  return Guarded(kRepairOperation, [&] { return symbase::RepairBase(directory, actions); });
}

void TBSetDurability(CTBData* handle, int on) {
  Guarded(kDurabilityOperation, [&] {
    handle->m_durable = on != 0 ? 1 : 0;
    handle->m_session.durable = handle->m_durable;
    return 0;
  });
}

int TBBeginBatch(CTBData* handle) {
  return Guarded(kBeginBatchOperation, [&] { return handle->BeginBatch(); });
}

int TBEndBatch(CTBData* handle) {
  return Guarded(kEndBatchOperation, [&] { return handle->EndBatch(); });
}
