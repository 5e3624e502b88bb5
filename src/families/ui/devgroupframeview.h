#pragma once

#include <QWidget>

class QListWidget;
class TDevicePage;

// The device-group panel: one list box over the page's sorted GroupList; a
// click (or Enter) on an entry runs the page's ClickGroupListItem.
class TDevGroupFrameView : public QWidget {
  Q_OBJECT
public:
  explicit TDevGroupFrameView(TDevicePage& page, QWidget* parent = nullptr);

  void Refresh(); // list := page.GroupList
  QListWidget* List() const { return DeviceList; }

protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void ItemChosen(int row);

  TDevicePage& Page;
  QListWidget* DeviceList = nullptr;
};
