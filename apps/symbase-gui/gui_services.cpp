#include "gui_services.h"

#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <algorithm>

#include "symbase/qt/text.h"

namespace gui {

namespace {

constexpr int kYesNoButtons = 4;
constexpr int kSymbolisedCode = 4025;
constexpr int kSymbolInBase = 2;

QWidget* WindowInFront() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return QApplication::activeWindow();
}

}  // namespace

GuiServices::GuiServices() { HostInstallServices(this); }

GuiServices::~GuiServices() { HostInstallServices(nullptr); }

QString ReportLine(const HostErrorReport& report) {
  QString line = QStringLiteral("erreur %1/%2, code %3 (%4, ligne %5)")
                     .arg(report.module)
                     .arg(report.operation)
                     .arg(report.code)
                     .arg(symbase_qt::FromCp1252(report.source.c_str()))
                     .arg(report.line);
  if (!report.text.empty()) line += " : " + symbase_qt::FromCp1252(report.text.c_str());
  return line;
}

void GuiServices::HostReportError(const HostErrorReport& report) { reports_.push_back(report); }

QString GuiServices::ReportsSince(int first) const {
  QStringList lines;
  for (int i = std::max(first, 0); i < ReportCount(); ++i) lines << ReportLine(reports_[i]);
  return lines.join('\n');
}

int GuiServices::HostMessageBox(const char* text, const char* message, int, int buttons) {
  QString shown = symbase_qt::FromCp1252(text);
  const QString body = symbase_qt::FromCp1252(message);
  if (!body.isEmpty()) shown += (shown.isEmpty() ? "" : "\n") + body;
  if (answerer_) return answerer_(shown, buttons);
  if (buttons == kYesNoButtons) {
    return QMessageBox::question(WindowInFront(), QStringLiteral("symbase"), shown,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes
               ? kHostIdYes
               : kHostIdNo;
  }
  QMessageBox::warning(WindowInFront(), QStringLiteral("symbase"), shown);
  return kHostIdOk;
}

void GuiServices::Tell(const QString& message, bool warning) {
  if (answerer_) {
    answerer_(message, 0);
  } else if (warning) {
    QMessageBox::warning(WindowInFront(), QStringLiteral("symbase"), message);
  } else {
    QMessageBox::information(WindowInFront(), QStringLiteral("symbase"), message);
  }
}

bool GuiServices::Ask(const QString& question) {
  if (answerer_) return answerer_(question, kYesNoButtons) == kHostIdYes;
  return QMessageBox::question(WindowInFront(), QStringLiteral("symbase"), question,
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

int GuiServices::HostReadSetting(CObject* app, int section, const char* key, int fallback) {
  return settings_ ? CHostServices::HostReadSetting(app, section, key, fallback) : fallback;
}

int GuiServices::HostWriteSetting(CObject* app, int section, const char* key, int value) {
  return settings_ ? CHostServices::HostWriteSetting(app, section, key, value) : 0;
}

void GuiServices::HostNotifyChange(CObject*) {
  if (on_change_) on_change_();
}

void GuiServices::HostFrameNotify(CWnd*, int, int code, int, const char* text) {
  if (code == kSymbolisedCode && on_symbolised_) on_symbolised_(symbase_qt::FromCp1252(text));
}

void GuiServices::CheckSymbolName(const char* symbol, int* ok, int* reason) {
  CHostServices::CheckSymbolName(symbol, ok, reason);
  if (*ok == 0 || base_ == nullptr || symbol == nullptr) return;
  CTBObjetAts probe("", symbol, "", 0, -1);
  if (TBSearchRepere(base_, &probe) == 0) {
    *ok = 0;
    *reason = kSymbolInBase;
  }
}

}  // namespace gui
