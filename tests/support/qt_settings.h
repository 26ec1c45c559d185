#ifndef SYMBASE_TESTS_SUPPORT_QT_SETTINGS_H
#define SYMBASE_TESTS_SUPPORT_QT_SETTINGS_H

// Points the settings of the library's host services and of Qt at a fresh
// temporary directory for as long as the object lives.

#include <QByteArray>
#include <QSettings>
#include <QTemporaryDir>

namespace testing_support {

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

}  // namespace testing_support

#endif
