#include "fields.h"

#include <algorithm>
#include <vector>

#include "symbase/host.h"
#include "symbase/qt/text.h"

namespace gui {

namespace {

bool HasControl(const QByteArray& bytes) {
  return std::any_of(bytes.begin(), bytes.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

// The text's bytes; the error names what the code page cannot hold.
Field Convert(const QString& text, const QString& what) {
  Field field;
  if (!symbase_qt::ToCp1252(text, &field.value)) {
    field.error = QStringLiteral(
                      "%1 « %2 » contient des caractères que la base ne peut pas "
                      "écrire.")
                      .arg(what, text);
  }
  return field;
}

struct Analysed {
  UsAts result{};
  int kind = kAnalysisNothing;
};

Analysed Analyse(const QByteArray& text) {
  Analysed analysed;
  HostAnalyser analyser{};
  AnalyserCreate(&analyser);
  AnalyseText(&analyser, text.constData(), &analysed.result);
  analysed.kind = AnalysisKind(&analyser);
  AnalyserFinish(&analyser);
  AnalyserDestroy(&analyser);
  return analysed;
}

}  // namespace

Field CheckAddress(const QString& text, UsAts* analysis) {
  Field field = Convert(text.trimmed(), QStringLiteral("Le repère"));
  if (!field.ok()) return field;
  const Analysed analysed = Analyse(field.value);
  if (field.value.isEmpty() || HasControl(field.value) ||
      analysed.result.wordClass != kWordAddress) {
    field.error = QStringLiteral("« %1 » n'est pas un repère du langage (%MW10, %I1.2…).")
                      .arg(text.trimmed());
    return field;
  }
  HostFormatter formatter{};
  FormatterCreate(&formatter);
  FormatterLoad(&formatter, &analysed.result);
  const char* written = FormatterAddress(&formatter);
  if (written != nullptr && *written != '\0') field.value = written;
  if (field.value.size() > kMaxAddress) {
    field.error = QStringLiteral("Le repère « %1 » dépasse %2 caractères.")
                      .arg(text.trimmed())
                      .arg(kMaxAddress);
  }
  if (analysis != nullptr) *analysis = analysed.result;
  return field;
}

Field CheckSymbol(const QString& text) {
  Field field = Convert(text.trimmed(), QStringLiteral("Le symbole"));
  if (!field.ok() || field.value.isEmpty()) return field;
  std::vector<char> buffer(field.value.begin(), field.value.end());
  buffer.push_back('\0');
  const int length = PrepareSymbol(buffer.data());
  if (length <= 0 || HasControl(field.value)) {
    field.error = QStringLiteral(
                      "« %1 » n'est pas un symbole : lettres, chiffres et _, sans "
                      "chiffre en tête, %2 caractères au plus.")
                      .arg(text.trimmed())
                      .arg(kMaxSymbol);
    return field;
  }
  field.value = QByteArray(buffer.data(), length);
  if (Analyse(field.value).kind == kAnalysisReserved) {
    field.error = QStringLiteral("« %1 » est un mot réservé du langage.").arg(text.trimmed());
  }
  return field;
}

Field CheckComment(const QString& text) {
  Field field = Convert(text, QStringLiteral("Le commentaire"));
  if (!field.ok()) return field;
  if (HasControl(field.value)) {
    field.error = QStringLiteral(
        "Un commentaire ne peut pas contenir de saut de ligne ni de "
        "caractère de contrôle.");
  } else if (field.value.size() > kMaxComment) {
    field.error = QStringLiteral("Commentaire de %1 caractères : la base en garde %2 au plus.")
                      .arg(field.value.size())
                      .arg(kMaxComment);
  }
  return field;
}

}  // namespace gui
