#pragma once

#include <QImage>
#include <QSize>

#include "shell/ui/bpage.h"

class QScrollArea;
class QStatusBar;

// Paints the picture scaled into its own size, keeping the picture's
// proportions; no scaled copy is ever kept, so zooming costs no memory.
class TImageView : public QWidget {
  Q_OBJECT
public:
  using QWidget::QWidget;
  void SetPicture(const QImage& image);
  const QImage& Picture() const { return Image; }
  // The rectangle the picture is drawn into (centred, aspect kept).
  QRect PictureRect() const;

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  QImage Image;
};

// A page showing a picture with zoom in and out, fit and actual size.
class TImagePage : public TBasePage {
  Q_OBJECT
public:
  static constexpr float ZoomFactor = 1.05f;
  static constexpr int MaxSide = 32000; // zooming stops before a side passes this

  explicit TImagePage(TMainForm& mainForm, QWidget* parent = nullptr);

  TBasePage* Activate() override;
  bool OpenFile(const std::string& path) override;
  bool SaveFile(const std::string& path) override;
  void ConnectActions() override;
  bool CloseQuery() override { return true; }
  std::string GetFileName() override;

  void ZoomIn();
  void ZoomOut();
  void FitInWindow();
  void ActualView();

  QSize ImageSize() const;
  QSize PictureSize() const { return OwnSize; }
  TImageView* View() const { return Image1; }
  QScrollArea* ScrollBox() const { return ScrollBox1; }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void SetImageSize(QSize size);
  QScrollArea* ScrollBox1;
  TImageView* Image1;
  QStatusBar* StatusBar1;
  QSize OwnSize;
  std::string Path;
};
