#ifndef SYMBASE_APPS_GUI_BASE_SESSION_H
#define SYMBASE_APPS_GUI_BASE_SESSION_H

// The one symbol base the editor has open: the library's handle, the base's
// directory, and what the status bar shows of it.

#include <QDateTime>
#include <QString>

#include "symbase/symbase.h"

namespace gui {

class GuiServices;

class BaseSession {
 public:
  explicit BaseSession(GuiServices& services);
  ~BaseSession();
  BaseSession(const BaseSession&) = delete;
  BaseSession& operator=(const BaseSession&) = delete;

  // Open and Create close the base in use first. They give "" when done, or
  // why not: a directory the library cannot name (over 72 bytes with its
  // final "/", characters outside Windows-1252), a missing directory, a
  // directory without a base (Open), or the library's reports. A base the
  // library reports trouble with is not kept open.
  QString Open(const QString& directory);
  QString Create(const QString& directory);
  void Close();
  // After an Open that failed: true when every report was about opening the
  // base's files (a missing or damaged index file, for one); the check then
  // tells which files and whether the repair mends them.
  bool FilesFailed() const { return files_failed_; }
  // After an Open that succeeded: true when the library rolled back a write
  // that a program stopped half-way (reported once, by the opening).
  bool RolledBack() const { return rolled_back_; }

  bool IsOpen() const { return open_; }
  CTBData* Handle() const { return handle_; }
  // The directory, absolute, without a final "/".
  const QString& Directory() const { return directory_; }

  // Live objects of the base; -1 when it cannot tell.
  long Count();
  // When the base last changed: the library's time of the last change made
  // here, else the main table file's time.
  QDateTime LastModification();

  // While a long call has the library on another thread: nothing else of
  // the editor may call it (see long_call.h).
  bool Busy() const { return busy_; }
  void SetBusy(bool busy) { busy_ = busy; }

  GuiServices& Services() { return services_; }
  // The library's reports since `first`, one line each ("" when none).
  QString ReportsSince(int first) const;
  int ReportCount() const;

 private:
  QString Start(const QString& directory, bool create);

  GuiServices& services_;
  CTBData* handle_ = nullptr;
  bool open_ = false;
  QString directory_;
  bool files_failed_ = false;
  bool rolled_back_ = false;
  bool busy_ = false;
};

// A directory as the library takes it: Windows-1252, ending with "/"; empty
// when the name cannot be written so.
QByteArray LibraryPath(const QString& directory);

}  // namespace gui

#endif
