#ifndef SYMBASE_TESTS_APPS_GUI_GUI_FIXTURE_H
#define SYMBASE_TESTS_APPS_GUI_GUI_FIXTURE_H

// The editor's main window on a fresh base in a temporary directory, its
// settings in another, the message boxes it shows answered and kept.

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "base_session.h"
#include "gui_services.h"
#include "main_window.h"
#include "object_editor.h"
#include "symbase/qt/text.h"

namespace testing_support {

// Objects as {address, symbol, comment}.
using Objects = std::vector<std::array<std::string, 3>>;

inline const Objects kPlant = {{"%MW10", "Seuil_haut", "Seuil de démarrage"},
                               {"%MW11", "Seuil_bas", "Seuil d'arrêt"},
                               {"%Q2.0", "Pompe_1", "Commande pompe 1"},
                               {"%Q2.1", "Pompe_2", "Commande pompe 2"},
                               {"%I1.2", "Niveau_haut", "Flotteur haut"}};

// Points the settings of the library's host services and of Qt at a fresh
// temporary directory for as long as the object lives.
class TemporarySettings {
 public:
  TemporarySettings() : previous_(qgetenv("XDG_CONFIG_HOME")) {
    qputenv("XDG_CONFIG_HOME", dir_.path().toLocal8Bit());
    // Qt reads the variable once per process; its own settings follow here.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
  }
  ~TemporarySettings() { qputenv("XDG_CONFIG_HOME", previous_); }
  TemporarySettings(const TemporarySettings&) = delete;
  TemporarySettings& operator=(const TemporarySettings&) = delete;

 private:
  QTemporaryDir dir_;
  QByteArray previous_;
};

class GuiFixture {
 public:
  GuiFixture() : window_(services_) {
    QCoreApplication::setOrganizationName(QStringLiteral("symbase-tests"));
    services_.SetMessageBoxAnswerer([this](const QString& message, int buttons) {
      messages.append(message);
      if (!answers.isEmpty()) return answers.takeFirst();
      return buttons == 4 ? kHostIdYes : kHostIdOk;
    });
    window_.show();
  }
  ~GuiFixture() { window_.Driver().SetShownHook(nullptr); }

  gui::MainWindow& Window() { return window_; }
  gui::BaseSession& Session() { return window_.Session(); }
  QString Directory() const { return directory_.path(); }

  // "" once created with these objects.
  QString CreateBase(const Objects& objects = {}) {
    QString error = window_.CreateBase(directory_.path());
    for (const auto& object : objects) {
      if (!error.isEmpty()) break;
      error = gui::CreateObject(Session(), QString::fromStdString(object[0]),
                                QString::fromStdString(object[1]),
                                QString::fromStdString(object[2]), nullptr);
    }
    window_.Model().Load(window_.Model().Order());
    window_.Model().FinishLoading();
    return error;
  }

  // The base's row of an address as "symbol|comment" (UTF-8), "" when none.
  QString Row(const char* address) {
    gui::ObjectRow row;
    if (!gui::LookUp(Session(), address, &row)) return QString();
    return symbase_qt::FromCp1252(row.symbol) + '|' + symbase_qt::FromCp1252(row.comment);
  }

  QString WriteFile(const char* name, const QString& text) {
    const QString path = directory_.filePath(QString::fromUtf8(name));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(text.toUtf8());
    return path;
  }

  // A script that leaves the dialog open lets it close through its close box.
  void OnDialogs(std::function<void(QDialog&, CDialog&)> script) {
    window_.Driver().SetShownHook([this, script](QDialog& drawn, CDialog& dialog) {
      ++dialogs;
      script(drawn, dialog);
      if (drawn.isVisible()) drawn.close();
    });
  }

  QStringList messages;
  QList<int> answers;
  int dialogs = 0;

 private:
  TemporarySettings settings_;
  QTemporaryDir directory_;
  gui::GuiServices services_;
  gui::MainWindow window_;
};

template <class W>
W* Control(QDialog& drawn, int id) {
  return drawn.findChild<W*>(QStringLiteral("control_%1").arg(id));
}

inline QAction* Action(QMainWindow& window, const QString& text) {
  for (QAction* action : window.menuBar()->findChildren<QAction*>()) {
    if (action->text() == text) return action;
  }
  return nullptr;
}

inline void Click(QDialog& drawn, int id) {
  QTest::mouseClick(Control<QPushButton>(drawn, id), Qt::LeftButton);
}

// Acts on the next message box the editor shows itself, once it is up.
inline void OnNextBox(const std::function<void(QMessageBox&)>& act) {
  QTimer::singleShot(10, [act] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return OnNextBox(act);
    act(*box);
  });
}

}  // namespace testing_support

#endif
