#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include "devices/connection.h"
#include "devices/devlist.h"
#include "devices/taskexec.h"
#include "guisession.h"
#include "pages.h"
#include "settingswiring.h"
#include "shell/ui/mainwin.h"
#include "virtualmenu.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("kvprog"));
  QApplication::setOrganizationName(QStringLiteral("Morlisk"));

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Korvane Device Programmer"));
  parser.addHelpOption();
  parser.addOption({QStringLiteral("virtual"),
                    QStringLiteral("Use the virtual programmer module instead of USB.")});
  parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A file to open."),
                               QStringLiteral("[FILE]"));
  parser.process(app);

  // The process-wide objects first: debug window, connection list, registry, link.
  TGuiSession session(parser.isSet(QStringLiteral("virtual")));
  DeviceList();

  TMainForm mainForm;
  TServicesScope services(mainForm);
  mainForm.SetTaskCancelHandler([] { TaskForm().SetUserBreak(true); });
  RegisterPages(mainForm);
  TGuiSettings settings(mainForm);
  if (session.IsVirtual()) AddVirtualModuleMenu(mainForm, session);

  // Arrival and removal come from the driver's events, delivered here.
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&session] { session.Poll(); });
  poll.start(200);

  mainForm.show();
  StartUpSearch();

  const QStringList files = parser.positionalArguments();
  if (!files.isEmpty() && !mainForm.OpenCommandLineFile(files.first().toStdString())) return 1;
  return app.exec();
}
