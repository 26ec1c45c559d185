#include "template_font.h"

#include <QFontMetricsF>

#include "symbase/qt/text.h"

namespace symbase_qt {

namespace {

// Dialog base units are measured on the average width of these letters.
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kSmallestPixelSize = 6;
constexpr WORD kDefaultPointSize = 8;
constexpr int kButtonMargin = 4;  // pixels a push button keeps around its text

bool FitsBaseUnits(const QFontMetricsF& metrics, const SIZE& units) {
  const QString alphabet = QString::fromLatin1(kAlphabet);
  const qreal average = metrics.horizontalAdvance(alphabet) / alphabet.size();
  return average <= units.cx && metrics.height() <= units.cy;
}

// Whether every one-line text of the template fits its rectangle.
bool FitsTexts(const QFontMetricsF& metrics, const CDialog& dialog) {
  const AFX_DLGTEMPLATE* tpl = dialog.GetTemplate();
  for (int i = 0; tpl->pItems != nullptr && i < tpl->nItems; ++i) {
    const AFX_DLGITEM& item = tpl->pItems[i];
    if (item.nKind == AFX_CTL_EDIT || item.lpszText == nullptr) continue;
    CRect box(item.x, item.y, item.x + item.cx, item.y + item.cy);
    dialog.MapDialogRect(&box);
    if (box.Height() >= 2 * metrics.height()) continue;  // wraps over several lines
    QString text = FromCp1252(item.lpszText);
    text.remove('&');
    const int margin = item.nKind == AFX_CTL_STATIC ? 0 : 2 * kButtonMargin;
    if (metrics.horizontalAdvance(text) + margin > box.Width()) return false;
  }
  return true;
}

}  // namespace

QFont TemplateFont(const CDialog& dialog) {
  const AFX_DLGTEMPLATE* tpl = dialog.GetTemplate();
  const char* face = tpl != nullptr ? tpl->lpszFontName : nullptr;
  const WORD points = tpl != nullptr && tpl->wPointSize > 0 ? tpl->wPointSize : kDefaultPointSize;
  const SIZE units = AfxGetDialogBaseUnits(face, points);
  QFont font(FromCp1252(face));
  font.setStyleHint(QFont::SansSerif);
  for (int pixels = static_cast<int>(units.cy); pixels > kSmallestPixelSize; --pixels) {
    font.setPixelSize(pixels);
    const QFontMetricsF metrics(font);
    if (FitsBaseUnits(metrics, units) && (tpl == nullptr || FitsTexts(metrics, dialog))) {
      return font;
    }
  }
  font.setPixelSize(kSmallestPixelSize);
  return font;
}

}  // namespace symbase_qt
