#ifndef SYMBASE_TESTS_APPS_GUI_BASE_HOLDER_H
#define SYMBASE_TESTS_APPS_GUI_BASE_HOLDER_H

#include <QByteArray>
#include <QString>

#include "xbase/engine.h"

namespace testing_support {

// Another program's engine session holding the base for writing until
// destroyed: half-way through its writes (the first row deleted and
// recalled), or, `idle`, before its first write.
class BaseHolder {
 public:
  explicit BaseHolder(const QString& directory, bool idle = false) {
    xbase::EngineInit(&session_, 0, 0);
    const QByteArray lead = (directory + QStringLiteral("/KR9.DBF")).toLocal8Bit();
    xbase::Table* table = xbase::TableOpen(&session_, lead.constData());
    held_ = table != nullptr && xbase::EngineBegin(&session_, 1) == xbase::kOk;
    held_ = held_ &&
            (idle ||
             (xbase::TableGo(table, 1) == xbase::kOk && xbase::RecordDelete(table) == xbase::kOk &&
              xbase::TableGo(table, 1) == xbase::kOk && xbase::RecordRecall(table) == xbase::kOk &&
              xbase::TableGo(table, 1) == xbase::kOk));
  }
  ~BaseHolder() {
    if (held_) xbase::EngineCommit(&session_);
    xbase::EngineEnd(&session_);
  }
  bool Held() const { return held_; }

 private:
  xbase::Session session_;
  bool held_ = false;
};

}  // namespace testing_support

#endif
