// The application object: built on a session that opens, or the program ends saying why.
#include "app/application_start.h"

#include <QIcon>
#include <QSocketNotifier>
#include <csignal>
#include <cstdlib>
#include <iostream>

#include "core/startup.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tessaflex::app {
namespace {

#ifndef _WIN32
// A signal handler may only write to a pipe; the event loop reads it (self-pipe pattern).
int terminate_pipe[2] = {-1, -1};

void on_terminate(int) {
  const char byte = 1;
  [[maybe_unused]] const auto written = ::write(terminate_pipe[1], &byte, 1);
}

void close_windows_on_terminate(QApplication& application) {
  if (::pipe2(terminate_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* notifier = new QSocketNotifier(terminate_pipe[0], QSocketNotifier::Read, &application);
  QObject::connect(notifier, &QSocketNotifier::activated, &application, [] {
    char byte = 0;
    while (::read(terminate_pipe[0], &byte, 1) > 0) {
    }
    QApplication::closeAllWindows();
  });
  struct sigaction action {};
  action.sa_handler = on_terminate;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &action, nullptr);
}
#else
void close_windows_on_terminate(QApplication&) {}
#endif

}  // namespace

std::unique_ptr<QApplication> open_application(int& argc, char** argv) {
  // Qt aborts when it finds no display; say why instead, before it tries.
  const std::string no_session = core::graphical_session_problem(argc, argv);
  if (!no_session.empty()) {
    std::cerr << no_session << '\n';
    std::exit(1);
  }
  std::unique_ptr<QApplication> application;
  {
    const core::SessionOpeningGuard guard(core::current_session(argc, argv));
    application = std::make_unique<QApplication>(argc, argv);
  }
  // PNG sizes, compiled in, need no image plugin (SVG would).
  QIcon icon;
  for (const int size : {16, 32, 48, 64, 128, 256})
    icon.addFile(QStringLiteral(":/icons/tessaflex-%1.png").arg(size), QSize(size, size));
  QApplication::setWindowIcon(icon);
  QGuiApplication::setDesktopFileName(QStringLiteral("tessaflex"));
  close_windows_on_terminate(*application);
  return application;
}

}  // namespace tessaflex::app
