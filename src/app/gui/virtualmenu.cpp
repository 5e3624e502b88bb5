#include "virtualmenu.h"

#include <QActionGroup>
#include <QInputDialog>
#include <QMenu>

#include "guisession.h"
#include "shell/ui/mainwin.h"
#include "sim/fault.h"

namespace {

const TPersonality Personalities[] = {TPersonality::Blank,  TPersonality::KvBootOld,
                                      TPersonality::KvBoot, TPersonality::KvSpOld,
                                      TPersonality::KvSp,   TPersonality::OtherMaker};

} // namespace

void AddVirtualModuleMenu(TMainForm& mainForm, TGuiSession& session) {
  QMenu* menu = mainForm.AddExtraMenu(QStringLiteral("&Virtual Module"));
  menu->setObjectName(QStringLiteral("VirtualModuleMenu"));
  auto say = [&mainForm](const std::string& text) { mainForm.AddMessage(text); };

  menu->addAction(QStringLiteral("&Plug In"), &mainForm, [&session, say] {
    std::string error;
    if (!session.Plug(error)) say(error);
    session.Poll();
  });
  menu->addAction(QStringLiteral("&Unplug"), &mainForm, [&session, say] {
    std::string error;
    if (!session.Unplug(error)) say(error);
    session.Poll();
  });

  QMenu* personality = menu->addMenu(QStringLiteral("P&ersonality"));
  auto* group = new QActionGroup(personality);
  for (TPersonality p : Personalities) {
    QAction* action = personality->addAction(QString::fromUtf8(PersonalityName(p)));
    action->setCheckable(true);
    action->setChecked(p == session.Personality());
    group->addAction(action);
    QObject::connect(action, &QAction::triggered, &mainForm, [&session, p] {
      session.SetPersonality(p);
      session.Poll();
    });
  }

  menu->addSeparator();
  menu->addAction(QStringLiteral("Inject &Fault..."), &mainForm, [&mainForm, &session, say] {
    bool ok = false;
    const QString text =
        QInputDialog::getText(&mainForm, QStringLiteral("Inject Fault"),
                              QString::fromUtf8(FaultGrammar), QLineEdit::Normal, {}, &ok);
    if (!ok || text.trimmed().isEmpty()) return;
    std::string error;
    if (session.AddFault(text.trimmed().toStdString(), error))
      say("Virtual module: fault " + text.trimmed().toStdString());
    else
      say("Virtual module: " + error);
  });
  menu->addAction(QStringLiteral("&Clear Faults"), &mainForm, [&session, say] {
    session.ClearFaults();
    say("Virtual module: faults cleared");
  });
}
