// Create, open, close, delete, lock (compact) and unlock a symbol base.

#include <cstring>

#include "frame/checked_calls.h"
#include "frame/guard.h"
#include "frame/report.h"
#include "storage/base_access.h"
#include "storage/base_files.h"
#include "storage/tb_data.h"

using namespace symbase;

namespace {

// Engine options of a base's session: no production index opened with a
// table, creation replaces existing files, a lock is tried once; a call
// waits a little for another process's call; commits synced on request.
void SetSessionOptions(xbase::Session* session, int durable) {
  session->auto_open = 0;
  session->safety = 0;
  session->lock_attempts = 1;
  session->busy_timeout_ms = kBusyTimeoutMilliseconds;
  session->durable = durable;
}

// The journal of the base's last write: of no use once the base is deleted.
void RemoveJournal(const char* directory) {
  char path[kPathBufferSize];
  if (!ComposePath(path, directory, kJournalFile)) return;
  try {
    CFile::Remove(path);
  } catch (CFileException* e) {
    e->Delete();  // usually absent: the last process to close a base removes it
  }
}

}  // namespace

void CTBData::OpenFiles(const char* directory, bool create) {
  if (std::strlen(directory) > kMaxDirectoryLength) {
    // The path buffer cannot hold it: refuse before any file is touched.
    ReportError(create ? 2 : 4, xbase::kErrArgument, directory, kCheckedCallSource, __LINE__);
    return;
  }
  char path[kPathBufferSize];
  auto table = [&](const char* name, const xbase::FieldDefinition* fields) {
    ComposePath(path, directory, name);
    return create ? CheckedTableCreate(&m_session, path, fields, nullptr)
                  : CheckedTableOpen(&m_session, path);
  };
  auto index = [&](xbase::Table* on, const char* name, const xbase::TagDefinition* tags) {
    ComposePath(path, directory, name);
    return create ? CheckedIndexCreate(&m_session, on, path, tags)
                  : CheckedIndexOpen(&m_session, on, path);
  };
  m_mainTable = table(kMainTableFile, kMainFields);
  m_commentTable = table(kCommentTableFile, kCommentFields);
  m_indexRepCle = index(m_mainTable, kRepCleIndexFile, kRepCleTag);
  m_indexRepere = index(m_mainTable, kRepereIndexFile, kRepereTag);
  m_indexSymbole = index(m_mainTable, kSymboleIndexFile, kSymboleTag);
  m_indexRepCmt = index(m_commentTable, kRepCmtIndexFile, kRepCmtTag);

  m_fieldObjet = CheckedFieldGet(m_mainTable, "OBJET");
  m_fieldInd1 = CheckedFieldGet(m_mainTable, "IND1");
  m_fieldInd2 = CheckedFieldGet(m_mainTable, "IND2");
  m_fieldInd3 = CheckedFieldGet(m_mainTable, "IND3");
  m_fieldInd4 = CheckedFieldGet(m_mainTable, "IND4");
  m_fieldRepere = CheckedFieldGet(m_mainTable, "REPERE");
  m_fieldSymbole = CheckedFieldGet(m_mainTable, "SYMBOLE");
  m_fieldIsCmt = CheckedFieldGet(m_mainTable, "ISCMT");
  m_fieldCmtObjet = CheckedFieldGet(m_commentTable, "OBJET");
  m_fieldCmtInd1 = CheckedFieldGet(m_commentTable, "IND1");
  m_fieldCmtInd2 = CheckedFieldGet(m_commentTable, "IND2");
  m_fieldCmtInd3 = CheckedFieldGet(m_commentTable, "IND3");
  m_fieldCmtInd4 = CheckedFieldGet(m_commentTable, "IND4");
  m_fieldCmt1 = CheckedFieldGet(m_commentTable, "CMT1");
  m_fieldCmt2 = CheckedFieldGet(m_commentTable, "CMT2");

  // A new base's tags are known to exist: they are looked up unchecked.
  auto tag = [&](xbase::Table* on, const char* name) {
    return create ? xbase::TagGet(on, name) : CheckedTagGet(on, name);
  };
  m_tagRepCle = tag(m_mainTable, kRepCleTagName);
  m_tagRepere = tag(m_mainTable, kRepereTagName);
  m_tagSymbole = tag(m_mainTable, kSymboleTagName);
  m_tagRepCmt = tag(m_commentTable, kRepCmtTagName);
}

void CTBData::ForgetFiles() {
  m_symbolTexts.Forget();
  m_mainTable = m_commentTable = nullptr;
  m_indexRepCle = m_indexRepere = m_indexSymbole = m_indexRepCmt = nullptr;
  m_fieldObjet = m_fieldInd1 = m_fieldInd2 = m_fieldInd3 = m_fieldInd4 = nullptr;
  m_fieldRepere = m_fieldSymbole = m_fieldIsCmt = nullptr;
  m_fieldCmtObjet = m_fieldCmtInd1 = m_fieldCmtInd2 = m_fieldCmtInd3 = m_fieldCmtInd4 = nullptr;
  m_fieldCmt1 = m_fieldCmt2 = nullptr;
  m_tagRepCle = m_tagRepere = m_tagSymbole = m_tagRepCmt = nullptr;
  m_relation = nullptr;
}

int CTBData::Create(const char* directory, int /*ignored*/) {
  EndOpenBatch();
  m_symbolTexts.Forget();
  CheckedEngineInit(&m_session);
  SetSessionOptions(&m_session, m_durable);
  OpenFiles(directory, true);
  m_modified = 0;
  return 0;
}

int CTBData::Open(const char* directory) {
  EndOpenBatch();
  m_symbolTexts.Forget();
  CheckedEngineInit(&m_session);
  SetSessionOptions(&m_session, m_durable);
  OpenFiles(directory, false);
  ReportRecovery(*this);
  m_modified = 0;
  return 0;
}

int CTBData::Close() {
  EndOpenBatch();
  CheckedEngineEnd(&m_session);
  ForgetFiles();
  return 0;
}

int CTBData::Delete(const char* directory) {
  char path[kPathBufferSize];
  for (const char* name : kBaseFiles) {
    if (!ComposePath(path, directory, name)) {
      ReportError(24, kFileExceptionBase + CFileException::badPath, directory, kCheckedCallSource,
                  __LINE__);
      continue;
    }
    CheckedFileDelete(path);
  }
  RemoveJournal(directory);
  return 0;
}

int CTBData::Lock() {
  if (m_locked == 1) return TB_ALREADY_LOCKED;
  if (m_batch != nullptr) return TB_LOCKED_BY_OTHER;
  int result = CheckedTableCompact(m_mainTable);
  if (result != 0) return result;
  result = CheckedTableCompact(m_commentTable);
  if (result != 0) return result;
  CheckedEngineCloseAll(&m_session);
  ForgetFiles();
  m_locked = 1;
  return 0;
}

int CTBData::Unlock(const char* directory) {
  m_locked = 0;
  m_symbolTexts.Forget();
  OpenFiles(directory, false);
  ReportRecovery(*this);
  return 0;
}
