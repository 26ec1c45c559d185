#include "csv.h"

#include <QFile>
#include <QStringDecoder>

namespace gui {

namespace {

struct Record {
  int line;
  QStringList fields;
};

// Splits the text into records of fields; false with *error on an unclosed
// quote or text after a closing quote.
bool SplitRecords(const QString& text, std::vector<Record>* records, QString* error) {
  Record record{1, {}};
  QString field;
  int line = 1;
  bool quoted = false;
  bool afterQuote = false;
  bool any = false;  // something since the record began
  const int size = static_cast<int>(text.size());
  for (int i = 0; i < size; ++i) {
    const QChar c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < size && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
        afterQuote = true;
      } else {
        if (c == '\n') ++line;
        field += c;
      }
      continue;
    }
    if (c == ',') {
      record.fields << field;
      field.clear();
      afterQuote = false;
      any = true;
    } else if (c == '\n' || c == '\r') {
      if (c == '\r' && i + 1 < size && text[i + 1] == '\n') ++i;
      if (any || !field.isEmpty() || afterQuote) {
        record.fields << field;
        records->push_back(record);
      }
      ++line;
      record = Record{line, {}};
      field.clear();
      afterQuote = false;
      any = false;
    } else if (afterQuote) {
      *error = QStringLiteral("ligne %1 : texte après un guillemet fermant").arg(line);
      return false;
    } else if (c == '"' && field.isEmpty()) {
      quoted = true;
      any = true;
    } else {
      field += c;
      any = true;
    }
  }
  if (quoted) {
    *error = QStringLiteral("ligne %1 : guillemet jamais fermé").arg(record.line);
    return false;
  }
  if (any || !field.isEmpty() || afterQuote) {
    record.fields << field;
    records->push_back(record);
  }
  return true;
}

bool IsHeader(const QStringList& fields) {
  static const QStringList kEnglish = {"address", "symbol", "comment"};
  static const QStringList kFrench = {QStringLiteral("repère"), "symbole", "commentaire"};
  QStringList names;
  for (const QString& field : fields) names << field.trimmed().toLower();
  return names == kEnglish || names == kFrench || names == kEnglish.mid(0, 2) ||
         names == kFrench.mid(0, 2);
}

}  // namespace

std::vector<CsvRow> ParseCsv(const QByteArray& bytes, QString* error) {
  error->clear();
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = decoder.decode(bytes);
  if (decoder.hasError()) {
    *error = QStringLiteral("le fichier n'est pas en UTF-8");
    return {};
  }
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  std::vector<Record> records;
  if (!SplitRecords(text, &records, error)) return {};
  if (records.empty() || !IsHeader(records.front().fields)) {
    *error = QStringLiteral("la première ligne doit être « address,symbol,comment »");
    return {};
  }
  std::vector<CsvRow> rows;
  for (std::size_t i = 1; i < records.size(); ++i) {
    const Record& record = records[i];
    if (record.fields.size() < 2 || record.fields.size() > 3) {
      *error = QStringLiteral("ligne %1 : %2 champs au lieu de 3")
                   .arg(record.line)
                   .arg(record.fields.size());
      return {};
    }
    rows.push_back({record.line, record.fields[0], record.fields[1],
                    record.fields.size() > 2 ? record.fields[2] : QString()});
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
  QStringList quoted;
  for (QString field : fields) {
    if (field.contains(',') || field.contains('"') || field.contains('\n') ||
        field.contains('\r') || field.startsWith(' ') || field.endsWith(' ')) {
      field.replace('"', QStringLiteral("\"\""));
      field = '"' + field + '"';
    }
    quoted << field;
  }
  return (quoted.join(',') + QStringLiteral("\r\n")).toUtf8();
}

}  // namespace gui
