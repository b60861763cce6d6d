// The program's two typefaces, with free stand-ins where the designed ones are not installed.
#include "ui/fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace tessaflex::ui {
namespace {

QFont first_installed(const QStringList& families, QFont::StyleHint hint, double points) {
  const QStringList installed = QFontDatabase::families();
  QFont font;
  for (const QString& family : families) {
    if (installed.contains(family, Qt::CaseInsensitive)) {
      font.setFamily(family);
      break;
    }
  }
  font.setStyleHint(hint);
  font.setPointSizeF(points);
  return font;
}

}  // namespace

QFont window_font(double points) {
  return first_installed({QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans")},
                         QFont::SansSerif, points);
}

QFont fixed_font(double points) {
  return first_installed({QStringLiteral("Lucida Console"), QStringLiteral("Liberation Mono"),
                          QStringLiteral("DejaVu Sans Mono")},
                         QFont::Monospace, points);
}

}  // namespace tessaflex::ui
