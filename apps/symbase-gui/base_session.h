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
  // directory without a base (Open), or the library's reports.
  QString Open(const QString& directory);
  QString Create(const QString& directory);
  void Close();

  bool IsOpen() const { return open_; }
  CTBData* Handle() const { return handle_; }
  // The directory, absolute, without a final "/".
  const QString& Directory() const { return directory_; }

  // Live objects of the base; -1 when it cannot tell.
  long Count();
  // When the base last changed: the library's time of the last change made
  // here, else the main table file's time.
  QDateTime LastModification();

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
};

}  // namespace gui

#endif
