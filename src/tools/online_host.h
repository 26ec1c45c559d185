#ifndef SYMBASE_TOOLS_ONLINE_HOST_H
#define SYMBASE_TOOLS_ONLINE_HOST_H

// The host libraries as the on-line dialog uses them: each object below holds
// one host object in its own storage for the time of one step and gives it
// back on the way out, whatever path is taken.

#include "symbase/afxwin.h"
#include "symbase/host.h"

namespace symbase {
namespace online {

// The context a name check takes.
class CheckContext {
 public:
  CheckContext();
  ~CheckContext();
  CheckContext(const CheckContext&) = delete;
  CheckContext& operator=(const CheckContext&) = delete;

  const HostContext* get() const { return &context_; }

 private:
  HostContextSource source_;
  HostContext context_;
};

// One analysis of a text by the lexical analyser.
class Analysis {
 public:
  explicit Analysis(const char* text);
  ~Analysis();
  Analysis(const Analysis&) = delete;
  Analysis& operator=(const Analysis&) = delete;

  const UsAts& result() const { return result_; }
  int kind() const { return kind_; }  // AnalysisKind: 306 a plain symbol

 private:
  HostAnalyser analyser_;
  UsAts result_;
  int kind_;
};

// A declarations record.
class DeclRecord {
 public:
  DeclRecord();
  ~DeclRecord();
  DeclRecord(const DeclRecord&) = delete;
  DeclRecord& operator=(const DeclRecord&) = delete;

  HostDeclRecord* get() { return &record_; }

 private:
  HostDeclRecord record_;
};

// The address of an analysed word in the workshop's written form.
CString FormatAddress(const UsAts* result);
// The symbol text of a symbol word ("" when the host gives none).
CString WordText(const UsAts& word);
// Whether the host accepts an analysed word as an object.
bool NameAccepted(const HostContext* context, const UsAts* result);

// Shows a string of the library as a warning with a single button; 0 shows
// an empty message.
void ShowMessage(unsigned messageId);

// The dialog's remembered top-left corner: when none is kept (either value
// -1) the dialog is centred on its parent, otherwise moved there, size kept.
void PlaceAtSavedPosition(CWnd& dialog);
void SavePosition(const CWnd& dialog);

}  // namespace online
}  // namespace symbase

#endif
