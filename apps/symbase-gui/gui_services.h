#ifndef SYMBASE_APPS_GUI_GUI_SERVICES_H
#define SYMBASE_APPS_GUI_GUI_SERVICES_H

// The graphical host's services: the library's error reports kept and shown,
// its message boxes drawn with Qt, and its notifications passed to the main
// window.

#include <QString>
#include <functional>
#include <vector>

#include "symbase/symbase.h"

class QWidget;

namespace gui {

class GuiServices : public CHostServices {
 public:
  GuiServices();
  ~GuiServices() override;
  GuiServices(const GuiServices&) = delete;
  GuiServices& operator=(const GuiServices&) = delete;

  // Kept in order; the owner reads them after each call it makes.
  void HostReportError(const HostErrorReport& report) override;
  // A modal Qt message box over the window in front: yes and no for button
  // set 4, a single OK otherwise.
  int HostMessageBox(const char* text, const char* message, int kind, int buttons) override;
  // Stored as the library asks, unless settings are turned off.
  int HostReadSetting(CObject* app, int section, const char* key, int fallback) override;
  int HostWriteSetting(CObject* app, int section, const char* key, int value) override;
  void HostNotifyChange(CObject* app) override;
  void HostFrameNotify(CWnd* frame, int first, int code, int flag, const char* text) override;
  // The object-name check of a symbol also refuses (reason 2) a symbol that
  // another address of the open base carries.
  void CheckSymbolName(const char* symbol, int* ok, int* reason) override;

  // The base the editor has open (null: none), for the check above.
  void SetBase(CTBData* base) { base_ = base; }

  // Shows one of the editor's own messages the way the library's are shown
  // (and answered, when an answerer is set).
  void Tell(const QString& message, bool warning = true);
  // Asks a yes-or-no question the same way; true for yes.
  bool Ask(const QString& question);

  int ReportCount() const { return static_cast<int>(reports_.size()); }
  const std::vector<HostErrorReport>& Reports() const { return reports_; }
  // The reports from index `first` on, one line each.
  QString ReportsSince(int first) const;

  // Off for renderings that must leave the person's settings alone.
  void SetSettingsEnabled(bool enabled) { settings_ = enabled; }
  // Called with the address the on-line dialog just symbolised.
  void SetOnSymbolised(std::function<void(const QString&)> callback) {
    on_symbolised_ = std::move(callback);
  }
  void SetOnChange(std::function<void()> callback) { on_change_ = std::move(callback); }
  // Answers message boxes instead of showing them (tests, renderings).
  void SetMessageBoxAnswerer(std::function<int(const QString&, int buttons)> answerer) {
    answerer_ = std::move(answerer);
  }

 private:
  std::vector<HostErrorReport> reports_;
  CTBData* base_ = nullptr;
  bool settings_ = true;
  std::function<void(const QString&)> on_symbolised_;
  std::function<void()> on_change_;
  std::function<int(const QString&, int)> answerer_;
};

// One line for a report: "erreur 146/502, code -10 (Tabiserr, ligne 88)".
QString ReportLine(const HostErrorReport& report);

}  // namespace gui

#endif
