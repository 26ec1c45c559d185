#ifndef SYMBASE_HOST_HOST_STATE_H
#define SYMBASE_HOST_HOST_STATE_H

// What the default host services remember between calls: the records a host
// or a test reads back, the scripted message-box answers and what the host
// registered. One process-wide instance, guarded by its mutex.

#include <deque>
#include <map>
#include <mutex>
#include <vector>

#include "symbase/host.h"

namespace host {

struct HostState {
  std::mutex mutex;
  std::vector<HostErrorReport> reports;
  HostReportCallback report_callback = nullptr;
  void* report_context = nullptr;
  std::vector<HostMessageRecord> messages;
  std::deque<int> answers;
  std::vector<CObject*> changes;
  std::vector<HostFrameNotification> frames;
  CObject* application = nullptr;
  std::map<int, CObject*> server_objects;
  int addressing_mode = 0;
};

HostState& State();

}  // namespace host

#endif
