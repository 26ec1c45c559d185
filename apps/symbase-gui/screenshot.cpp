#include "screenshot.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>

#include "arguments.h"
#include "findings_window.h"
#include "gui_services.h"
#include "main_window.h"
#include "object_editor.h"
#include "transfer.h"

namespace gui {

namespace {

constexpr int kConfirmDialog = 19306;
constexpr int kCaptionHeight = 26;

struct Sample {
  const char* address;
  const char* symbol;
  const char* comment;
};

const Sample kSamples[] = {
    {"%MW10", "Seuil_haut", "Seuil de démarrage de la pompe (cm)"},
    {"%MW11", "Seuil_bas", "Seuil d'arrêt de la pompe (cm)"},
    {"%MW12", "", "Consigne de vitesse, en tr/min"},
    {"%I1.2", "Niveau_haut", "Flotteur niveau haut cuve"},
    {"%Q2.0", "Pompe_1", "Commande contacteur pompe 1"},
};

int Fail(const QString& message) {
  std::fprintf(stderr, "symbase-gui: %s\n", message.toLocal8Bit().constData());
  return 1;
}

// The dialog with a title bar above it: the offscreen platform draws none.
QImage WithCaption(QWidget& dialog) {
  const QPixmap client = dialog.grab();
  QImage image(client.width() + 2, client.height() + kCaptionHeight + 1, QImage::Format_RGB32);
  image.fill(QColor(0x5A, 0x5A, 0x5A));
  QPainter painter(&image);
  painter.fillRect(1, 1, client.width(), kCaptionHeight - 1, QColor(0x1F, 0x4E, 0x8C));
  QFont font = dialog.font();
  font.setBold(true);
  font.setPixelSize(12);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRect(8, 1, client.width() - 16, kCaptionHeight - 1),
                   Qt::AlignVCenter | Qt::AlignLeft, dialog.windowTitle());
  painter.drawPixmap(1, kCaptionHeight, client);
  return image;
}

// Keys as a person types them, so that they go the driver's way.
void TypeInto(QWidget* widget, const QString& text) {
  widget->setFocus();
  for (QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &release);
  }
}

QString FillSampleBase(MainWindow& window, const QString& directory) {
  QString error = window.CreateBase(directory);
  for (const Sample& sample : kSamples) {
    if (!error.isEmpty()) break;
    error =
        CreateObject(window.Session(), QString::fromUtf8(sample.address),
                     QString::fromUtf8(sample.symbol), QString::fromUtf8(sample.comment), nullptr);
  }
  window.Model().Load(window.Model().Order());
  window.Model().FinishLoading();
  return error;
}

// Shows the dialog on a sample base and saves it once drawn.
int RenderDialog(MainWindow& window, int dialog, const QString& out) {
  QTemporaryDir directory;
  if (!directory.isValid()) return Fail(QStringLiteral("no temporary directory"));
  const QString error = FillSampleBase(window, directory.path());
  if (!error.isEmpty()) return Fail(error);
  bool saved = false;
  window.Driver().SetShownHook([&](QDialog& drawn, CDialog& shown) {
    if (dialog != kConfirmDialog) {
      const QList<QLineEdit*> edits = drawn.findChildren<QLineEdit*>();
      if (!edits.isEmpty()) TypeInto(edits.front(), QStringLiteral("Consigne_vitesse"));
    }
    saved = WithCaption(drawn).save(out, "PNG");
    // The drawn dialog is left as a person would: Escape, then yes to the
    // question whether to interrupt the import.
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&drawn, &escape);
    if (!shown.IsDialogEnded()) shown.EndDialog(IDCANCEL);
  });
  if (dialog == kConfirmDialog) {
    // %MW10 with the symbol %MW11 carries: both conflicts in one question.
    ImportRows(window.Session(),
               {{2, QStringLiteral("%MW10"), QStringLiteral("Seuil_bas"),
                 QStringLiteral("Seuil de démarrage, relevé")}},
               nullptr);
  } else {
    window.SelectAddress("%MW12");
    window.Symbolise();
  }
  window.Driver().SetShownHook(nullptr);
  return saved ? 0 : Fail(QStringLiteral("cannot write %1").arg(out));
}

// Replaces the first `from` in a file of the base by `to`, of the same length.
QString Overwrite(const QString& path, const QByteArray& from, const QByteArray& to) {
  QFile file(path);
  if (!file.open(QIODevice::ReadWrite)) return file.errorString();
  QByteArray bytes = file.readAll();
  const qsizetype at = bytes.indexOf(from);
  if (at < 0) return QStringLiteral("nothing to damage in %1").arg(path);
  bytes.replace(at, to.size(), to);
  if (!file.seek(0) || file.write(bytes) != bytes.size()) return file.errorString();
  return QString();
}

// The sample base damaged behind the library's back, as a failing disk or
// another program might leave it: a key of the symbol index changed, and a
// row given the symbol another row carries.
QString DamageBase(const QString& directory) {
  QString error = Overwrite(directory + QStringLiteral("/KR9S.MDX"), "Pompe_1", "Pompe_7");
  if (error.isEmpty()) {
    error = Overwrite(directory + QStringLiteral("/KR9.DBF"), "Seuil_bas ", "Seuil_haut");
  }
  return error;
}

// The check of the base in `directory`, or of a sample base with a damaged
// index, in its findings window. Questions are answered no: the base is
// looked at, never repaired.
int RenderCheck(GuiServices& services, MainWindow& window, const QString& directory,
                const QString& out) {
  services.SetMessageBoxAnswerer([](const QString& message, int) {
    std::fprintf(stderr, "symbase-gui: %s\n", message.toLocal8Bit().constData());
    return kHostIdNo;
  });
  QTemporaryDir sample;
  QString base = directory;
  if (base.isEmpty()) {
    if (!sample.isValid()) return Fail(QStringLiteral("no temporary directory"));
    base = sample.path();
    QString error = FillSampleBase(window, base);
    window.CloseBase();
    if (error.isEmpty()) error = DamageBase(base);
    if (!error.isEmpty()) return Fail(error);
  }
  if (!window.OpenBase(base).isEmpty()) return 1;
  window.CheckBase();
  window.CloseBase();
  if (window.Findings() == nullptr) return 1;  // the message said why
  QApplication::processEvents();
  if (!WithCaption(*window.Findings()).save(out, "PNG")) {
    return Fail(QStringLiteral("cannot write %1").arg(out));
  }
  return 0;
}

}  // namespace

int RenderScreenshot(GuiServices& services, const Arguments& arguments) {
  services.SetSettingsEnabled(false);
  services.SetMessageBoxAnswerer([](const QString& message, int) {
    std::fprintf(stderr, "symbase-gui: %s\n", message.toLocal8Bit().constData());
    return kHostIdYes;
  });
  MainWindow window(services);
  window.resize(900, 520);
  window.show();
  const QString out = QString::fromLocal8Bit(arguments.screenshot.c_str());
  const QString directory = QString::fromLocal8Bit(arguments.directory.c_str());
  if (arguments.dialog != 0) return RenderDialog(window, arguments.dialog, out);
  if (arguments.check) return RenderCheck(services, window, directory, out);
  if (!directory.isEmpty() && !window.OpenBase(directory).isEmpty()) return 1;
  window.Model().FinishLoading();
  QApplication::processEvents();
  if (window.Model().rowCount() > 0) window.Table()->selectRow(0);
  if (!window.grab().save(out, "PNG")) return Fail(QStringLiteral("cannot write %1").arg(out));
  return 0;
}

}  // namespace gui
