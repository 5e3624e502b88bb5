#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include "cli/socketpart.h"
#include "devices/connection.h"
#include "devices/devlist.h"
#include "devices/taskexec.h"
#include "devices/ui/devicedialogs.h"
#include "editor/ui/editortools.h"
#include "editor/ui/xform.h"
#include "families/familyclasses.h"
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
  // The registry: the family classes and the built-in catalogue.
  const std::unique_ptr<TDeviceList> registry = CreateDeviceList();
  SetDeviceList(registry.get());

  TMainForm mainForm;
  TServicesScope services(mainForm);
  mainForm.SetTaskCancelHandler([] { TaskForm().SetUserBreak(true); });
  RegisterPages(mainForm);
  InstallEditorTools(mainForm);
  InstallDeviceDialogs(&mainForm);
  TGuiSettings settings(mainForm);
  if (session.IsVirtual()) {
    AddVirtualModuleMenu(mainForm, session);
    // The virtual socket holds the part of the device a page selects.
    THepPage::OnDeviceAttached = [&session, &mainForm](THepPage&, TDevice& device) {
      std::string error;
      if (!session.InsertPart(SocketSpecOf(device), error) && device.e2Opr.Contains(oRead))
        mainForm.AddMessage("Virtual module: " + error);
    };
  }

  // Arrival and removal come from the driver's events, delivered here.
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&session] { session.Poll(); });
  poll.start(200);

  mainForm.show();
  StartUpSearch();

  const QStringList files = parser.positionalArguments();
  if (!files.isEmpty()) {
    if (!mainForm.OpenCommandLineFile(files.first().toStdString())) return 1;
  } else {
    // A programmer page to start with: choose a device and press Read.
    mainForm.NewPage(TPageKind::Programmer);
  }
  const int result = app.exec();
  THepPage::OnDeviceAttached = nullptr;
  return result;
}
