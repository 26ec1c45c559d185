// Batches: several calls made as one write, for hosts that write many
// objects at once (an import): one commit instead of one per call.

#include "storage/base_access.h"
#include "symbase/results.h"

int CTBData::BeginBatch() {
  if (m_locked == 1) return TB_ALREADY_LOCKED;
  if (m_batch != nullptr) {
    ++m_batchDepth;
    return 0;
  }
  auto batch = std::make_unique<symbase::BaseAccess>(*this, symbase::Access::kWrite);
  if (batch->refusal() != 0) return batch->refusal();
  m_batch = std::move(batch);
  m_batchDepth = 1;
  return 0;
}

int CTBData::EndBatch() {
  if (m_batch == nullptr || --m_batchDepth > 0) return 0;
  std::unique_ptr<symbase::BaseAccess> batch = std::move(m_batch);
  if (!batch->spoiled()) return batch->Finish(0);
  batch.reset();  // undoes the batch's writes
  return TB_BATCH_UNDONE;
}

void CTBData::EndOpenBatch() {
  if (m_batch == nullptr) return;
  m_batchDepth = 1;
  EndBatch();
}
