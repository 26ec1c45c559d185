#include "long_call.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <memory>

#include "base_session.h"

namespace gui {

namespace {

// A call this short shows no progress window: it would only flash.
constexpr int kShowAfterMs = 400;

}  // namespace

int RunLongCall(QWidget* parent, BaseSession& session, const QString& label,
                const std::function<int()>& call) {
  int result = 0;
  session.SetBusy(true);
  QProgressDialog progress(label, QString(), 0, 0, parent);  // no end known: a busy bar
  progress.setWindowModality(Qt::ApplicationModal);
  progress.setMinimumDuration(kShowAfterMs);
  QTimer::singleShot(kShowAfterMs, &progress, &QWidget::show);
  std::unique_ptr<QThread> worker(QThread::create([&result, &call] { result = call(); }));
  QEventLoop loop;
  QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
  worker->start();
  // Drawing goes on; clicks and keys wait for the end of the call.
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  worker->wait();
  session.SetBusy(false);
  return result;
}

}  // namespace gui
