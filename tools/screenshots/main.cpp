// Draws the pictures under docs/ from the real windows, so no picture is made by hand.
#include <QApplication>
#include <iostream>

#include "shots.h"

int main(int argc, char* argv[]) {
  if (argc != 3) {
    std::cerr << "usage: tessaflex_screenshots <out-dir> <device-list>\n";
    return 2;
  }
  QApplication application(argc, argv);
  const QString out = QString::fromLocal8Bit(argv[1]);
  const QString list = QString::fromLocal8Bit(argv[2]);
  tessaflex::shots::main_window(out, list);
  tessaflex::shots::dialogs(out, list);
  tessaflex::shots::themes(out, list);
  return 0;
}
