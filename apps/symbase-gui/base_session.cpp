#include "base_session.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "gui_services.h"
#include "symbase/qt/text.h"

namespace gui {

namespace {

constexpr int kLongestDirectory = 72;
constexpr int kStorageObject = 3;
constexpr char kMainTable[] = "KR9.DBF";
constexpr char kCheckedCalls[] = "Tabiserr";
// Checked calls that open the base's files: table, index, field, tag.
constexpr int kFirstOpening = 4;
constexpr int kLastOpening = 7;
// A write left half-done by a stopped program, rolled back (a note, not a fault).
constexpr int kTransactionIndex = 22;
constexpr int kRolledBack = 1;

bool IsRollBack(const HostErrorReport& report) {
  return report.source == kCheckedCalls && report.operation == kTransactionIndex &&
         report.code == kRolledBack;
}

bool IsFileOpening(const HostErrorReport& report) {
  return report.source == kCheckedCalls && report.operation >= kFirstOpening &&
         report.operation <= kLastOpening;
}

// What the reports of an opening say.
struct Opening {
  bool failed = false;
  bool files = true;  // every failure opened a file
  bool rolledBack = false;
};

Opening ReadOpening(const std::vector<HostErrorReport>& reports, int first) {
  Opening opening;
  for (std::size_t i = static_cast<std::size_t>(std::max(first, 0)); i < reports.size(); ++i) {
    if (IsRollBack(reports[i])) {
      opening.rolledBack = true;
    } else {
      opening.failed = true;
      opening.files = opening.files && IsFileOpening(reports[i]);
    }
  }
  return opening;
}

// The object server hands the on-line dialog the storage object as a CObject.
// The handle is that object: the storage class derives from CObject alone,
// so both pointers are the same address.
CObject* AsServedObject(CTBData* handle) { return reinterpret_cast<CObject*>(handle); }

}  // namespace

BaseSession::BaseSession(GuiServices& services) : services_(services) { TBInitTabisDll(&handle_); }

BaseSession::~BaseSession() {
  Close();
  TBFreeTabisDll(handle_);
}

int BaseSession::ReportCount() const { return services_.ReportCount(); }

QString BaseSession::ReportsSince(int first) const { return services_.ReportsSince(first); }

QString BaseSession::Open(const QString& directory) { return Start(directory, false); }

QString BaseSession::Create(const QString& directory) { return Start(directory, true); }

QByteArray LibraryPath(const QString& directory) {
  QByteArray path;
  if (directory.isEmpty() || !symbase_qt::ToCp1252(directory + '/', &path) || path.contains('\0')) {
    return QByteArray();
  }
  return path;
}

QString BaseSession::Start(const QString& directory, bool create) {
  Close();
  files_failed_ = false;
  rolled_back_ = false;
  const QString clean =
      directory.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(directory).absoluteFilePath());
  const QByteArray path = LibraryPath(clean);
  if (path.isEmpty()) {
    return QStringLiteral(
               "Le nom du dossier « %1 » contient des caractères que la base ne peut "
               "pas écrire.")
        .arg(directory);
  }
  if (path.size() > kLongestDirectory) {
    return QStringLiteral("Le chemin du dossier « %1 » dépasse %2 caractères.")
        .arg(clean)
        .arg(kLongestDirectory);
  }
  if (!QFileInfo(clean).isDir()) {
    return QStringLiteral("Le dossier « %1 » n'existe pas.").arg(clean);
  }
  if (!create && !QFileInfo::exists(clean + '/' + kMainTable)) {
    return QStringLiteral("Le dossier « %1 » ne contient pas de base de symboles (%2).")
        .arg(clean, kMainTable);
  }
  const int first = ReportCount();
  if (create) TBCreateBaseSymbol(handle_, path.constData(), 0);
  if (ReportCount() == first) TBOpenBaseSymbol(handle_, path.constData());
  const Opening opening = ReadOpening(services_.Reports(), first);
  if (opening.failed) {
    files_failed_ = !create && opening.files;
    const QString why = ReportsSince(first);
    TBCloseBaseSymbol(handle_);
    return QStringLiteral("La base « %1 » n'a pas pu être %2 :\n%3")
        .arg(clean, create ? QStringLiteral("créée") : QStringLiteral("ouverte"), why);
  }
  open_ = true;
  rolled_back_ = opening.rolledBack;
  directory_ = clean;
  HostRegisterServerObject(kStorageObject, AsServedObject(handle_));
  services_.SetBase(handle_);
  return QString();
}

void BaseSession::Close() {
  if (!open_) return;
  HostRegisterServerObject(kStorageObject, nullptr);
  services_.SetBase(nullptr);
  TBCloseBaseSymbol(handle_);
  open_ = false;
  directory_.clear();
}

long BaseSession::Count() {
  if (!open_) return -1;
  long count = 0;
  const int first = ReportCount();
  TBNumberObjectByType(handle_, CString(""), 0, &count);
  return ReportCount() == first ? count : -1;
}

QDateTime BaseSession::LastModification() {
  if (!open_) return QDateTime();
  long date = 0;
  if (TBLastModificationDate(handle_, &date) == 0) {
    return QDateTime::fromSecsSinceEpoch(date);
  }
  return QFileInfo(directory_ + '/' + kMainTable).lastModified();
}

}  // namespace gui
