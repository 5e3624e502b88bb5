#include "families/ui/devgroupframeview.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QPointer>
#include <QVBoxLayout>

#include "devices/devicepage.h"

TDevGroupFrameView::TDevGroupFrameView(TDevicePage& page, QWidget* parent)
    : QWidget(parent), Page(page) {
  static unsigned count = 0;
  setObjectName(QStringLiteral("GroupDevBaseFrame_%1").arg(++count));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  DeviceList = new QListWidget(this);
  DeviceList->setObjectName(QStringLiteral("DeviceList"));
  // The page's list is sorted already, and a row must stay its index there.
  DeviceList->setSortingEnabled(false);
  DeviceList->installEventFilter(this);
  column->addWidget(DeviceList);
  connect(DeviceList, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { ItemChosen(DeviceList->row(item)); });
  Refresh();
}

void TDevGroupFrameView::ItemChosen(int row) {
  if (row < 0) return;
  // The click refills this very list (the entry attaches, a group entry
  // refills it): run it after the list has finished with its item.
  QPointer<TDevGroupFrameView> self(this);
  QMetaObject::invokeMethod(
      this,
      [self, row] {
        if (!self) return;
        self->Page.ClickGroupListItem(row);
        if (self) self->Refresh();
      },
      Qt::QueuedConnection);
}

bool TDevGroupFrameView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == DeviceList && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      ItemChosen(DeviceList->currentRow());
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TDevGroupFrameView::Refresh() {
  const std::vector<std::string> texts = Page.GroupList.Texts();
  bool same = DeviceList->count() == static_cast<int>(texts.size());
  for (int i = 0; same && i < DeviceList->count(); ++i)
    same = DeviceList->item(i)->text().toStdString() == texts[static_cast<std::size_t>(i)];
  if (same) return;
  DeviceList->clear();
  for (const std::string& text : texts)
    DeviceList->addItem(QString::fromStdString(text));
}

void TDevGroupFrameView::showEvent(QShowEvent* event) {
  Refresh();
  QWidget::showEvent(event);
}
