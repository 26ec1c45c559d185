// Sessions: the owner of every table, index, field, tag and relation handle.

#include "xbase/relation.h"
#include "xbase/table.h"

namespace xbase {

Session::Session() = default;
Session::~Session() {
  if (state) EngineEnd(this);
}

int Table::Fail(int code) {
  if (session != nullptr) session->error = code;
  return code;
}

void EngineInit(Session* session, int /*flags*/, int /*tuning*/) {
  if (session == nullptr) return;
  if (session->state) EngineEnd(session);
  session->state.reset(new SessionState());
  if (session->file_system == nullptr) session->file_system = FileSystem::Posix();
  session->state->fs = session->file_system;
  session->error = kOk;
}

int EngineCloseAll(Session* session) {
  if (session == nullptr) return kErrArgument;
  if (!session->state) return session->error = kOk;
  SessionState& st = *session->state;
  st.relations.clear();
  int first = kOk;
  for (auto& table : st.tables) {
    if (!table->open()) continue;
    int r = UnlockTable(table.get());
    if (r != kOk && first == kOk) first = r;
    CloseTable(table.get());
  }
  st.tables.clear();
  return session->error = first;
}

int EngineEnd(Session* session) {
  if (session == nullptr) return kErrArgument;
  int r = EngineCloseAll(session);
  session->state.reset();
  return session->error = r;
}

}  // namespace xbase
