#include "csv.h"

#include <QFile>
#include <QStringDecoder>
#include <string>

#include "common/csv.h"

namespace gui {

namespace {

bool IsHeader(const std::vector<csv::Field>& fields) {
  static const QStringList kEnglish = {"address", "symbol", "comment"};
  static const QStringList kFrench = {QStringLiteral("repère"), "symbole", "commentaire"};
  QStringList names;
  for (const csv::Field& field : fields) {
    names << QString::fromStdString(field.text).trimmed().toLower();
  }
  return names == kEnglish || names == kFrench || names == kEnglish.mid(0, 2) ||
         names == kFrench.mid(0, 2);
}

QString Malformed(const csv::Record& record) {
  QString what;
  switch (record.error) {
    case csv::Error::kNone:
      break;
    case csv::Error::kQuoteInField:
      what = QStringLiteral("guillemet dans un champ qui n'est pas entre guillemets");
      break;
    case csv::Error::kTextAfterQuote:
      what = QStringLiteral("texte après un guillemet fermant");
      break;
    case csv::Error::kUnclosedQuote:
      what = QStringLiteral("guillemet jamais fermé");
      break;
  }
  return QStringLiteral("ligne %1 : %2").arg(record.error_line).arg(what);
}

}  // namespace

std::vector<CsvRow> ParseCsv(const QByteArray& bytes, QString* error) {
  error->clear();
  // Decoded only to learn whether the bytes are UTF-8: the reader takes them as they are.
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString decoded = decoder.decode(bytes);
  if (decoder.hasError()) {
    *error = QStringLiteral("le fichier n'est pas en UTF-8");
    return {};
  }
  const std::string text = bytes.mid(bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0).toStdString();
  csv::Reader reader(text, ',');
  csv::Record record;
  if (!reader.Next(&record) || record.error != csv::Error::kNone || !IsHeader(record.fields)) {
    *error = record.error != csv::Error::kNone
                 ? Malformed(record)
                 : QStringLiteral("la première ligne doit être « address,symbol,comment »");
    return {};
  }
  std::vector<CsvRow> rows;
  while (reader.Next(&record)) {
    const std::vector<csv::Field>& fields = record.fields;
    if (record.error != csv::Error::kNone) {
      *error = Malformed(record);
      return {};
    }
    if (fields.size() < 2 || fields.size() > 3) {
      *error =
          QStringLiteral("ligne %1 : %2 champs au lieu de 3").arg(record.line).arg(fields.size());
      return {};
    }
    rows.push_back({record.line, QString::fromStdString(fields[0].text),
                    QString::fromStdString(fields[1].text),
                    fields.size() > 2 ? QString::fromStdString(fields[2].text) : QString()});
  }
  return rows;
}

std::vector<CsvRow> ReadCsvFile(const QString& path, QString* error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    *error = QStringLiteral("%1 : %2").arg(path, file.errorString());
    return {};
  }
  if (file.size() > kLargestCsv) {
    *error = QStringLiteral("%1 : fichier de plus de %2 Mo").arg(path).arg(kLargestCsv >> 20);
    return {};
  }
  return ParseCsv(file.readAll(), error);
}

QByteArray CsvLine(const QStringList& fields) {
  std::string line;
  for (int i = 0; i < fields.size(); ++i) {
    if (i > 0) line.push_back(',');
    csv::AppendField(&line, fields[i].toStdString(), ',');
  }
  line += "\r\n";
  return QByteArray::fromStdString(line);
}

}  // namespace gui
