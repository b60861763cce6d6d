// How a failed comparison shows the Qt values it compared. Without these, gtest prints a
// QString as the bytes of its object ("2-byte object <50-00>") or as a list of QChars.
// gtest finds a PrintTo by argument-dependent lookup, so each lives in Qt's own namespace;
// a QStringList is printed as a list through the QString printer.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <ostream>
#include <string>

// The GUI types only where the test program links Qt GUI.
#ifdef QT_GUI_LIB
#include <QColor>
#include <QPalette>
#endif
#ifdef QT_WIDGETS_LIB
#include <QWidget>
#endif

QT_BEGIN_NAMESPACE

inline void PrintTo(const QString& text, std::ostream* os) {
  *os << ::testing::PrintToString(text.toStdString());
}

inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
  *os << ::testing::PrintToString(bytes.toStdString());
}

inline void PrintTo(const QPoint& point, std::ostream* os) {
  *os << "QPoint(" << point.x() << ", " << point.y() << ')';
}

inline void PrintTo(const QSize& size, std::ostream* os) {
  *os << "QSize(" << size.width() << ", " << size.height() << ')';
}

inline void PrintTo(const QRect& rect, std::ostream* os) {
  *os << "QRect(" << rect.x() << ", " << rect.y() << ", " << rect.width() << ", " << rect.height() << ')';
}

#ifdef QT_GUI_LIB
inline void PrintTo(const QColor& colour, std::ostream* os) {
  if (!colour.isValid()) {
    *os << "QColor(invalid)";
    return;
  }
  *os << "QColor(" << colour.red() << ", " << colour.green() << ", " << colour.blue();
  if (colour.alpha() != 255) *os << ", alpha " << colour.alpha();
  *os << ')';
}

// The colours a themed control sets, in each of the three groups: two palettes that differ
// elsewhere print alike, but these are the roles the window paints with.
inline void PrintTo(const QPalette& palette, std::ostream* os) {
  constexpr QPalette::ColorRole kRoles[] = {QPalette::Window, QPalette::WindowText, QPalette::Base,
                                            QPalette::Text,   QPalette::Button,     QPalette::ButtonText};
  constexpr const char* kGroups[] = {"active", "disabled", "inactive"};  // by QPalette::ColorGroup
  *os << "QPalette(";
  for (int group = QPalette::Active; group <= QPalette::Inactive; ++group) {
    if (group != QPalette::Active) *os << "; ";
    *os << kGroups[group] << ':';
    for (const QPalette::ColorRole role : kRoles) {
      *os << ' '
          << palette.color(static_cast<QPalette::ColorGroup>(group), role)
                 .name(QColor::HexArgb)
                 .toStdString();
    }
  }
  *os << ')';
}
#endif

#ifdef QT_WIDGETS_LIB
// A widget by its objectName, so a comparison of focus or of found controls says which.
inline void PrintTo(QWidget* widget, std::ostream* os) {
  *os << (widget == nullptr ? std::string("no widget")
                            : "widget \"" + widget->objectName().toStdString() + '"');
}
#endif

QT_END_NAMESPACE
