#include "shell/ui/imgform.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QScrollArea>
#include <QStatusBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>

#include "shell/ui/mainwin.h"

void TImageView::SetPicture(const QImage& image) {
  Image = image;
  update();
}

QRect TImageView::PictureRect() const {
  if (Image.isNull()) return {};
  QSize drawn = Image.size().scaled(size(), Qt::KeepAspectRatio);
  return QRect(QPoint((width() - drawn.width()) / 2, (height() - drawn.height()) / 2), drawn);
}

void TImageView::paintEvent(QPaintEvent* event) {
  if (Image.isNull()) return;
  QPainter painter(this);
  painter.setClipRegion(event->region());
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(PictureRect(), Image);
}

TImagePage::TImagePage(TMainForm& mainForm, QWidget* parent)
    : TBasePage(mainForm, TPageKind::Image, parent), ScrollBox1(new QScrollArea(this)),
      Image1(new TImageView), StatusBar1(new QStatusBar(this)) {
  ScrollBox1->setObjectName("ScrollBox1");
  Image1->setObjectName("Image1");
  Image1->resize(800, 800);
  ScrollBox1->setWidget(Image1);
  ScrollBox1->setWidgetResizable(false);
  ScrollBox1->viewport()->installEventFilter(this);
  setFocusPolicy(Qt::StrongFocus);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(ScrollBox1);
  layout->addWidget(StatusBar1);
}

TBasePage* TImagePage::Activate() {
  ConnectActions();
  setFocus();
  MainForm.SetDocumentTitle(Path, false);
  return this;
}

bool TImagePage::OpenFile(const std::string& path) {
  if (path.empty()) {
    Path = MainForm.NewPageName();
    NeverSaved = true;
  } else {
    QString file = QString::fromStdString(path);
    QString ext = QFileInfo(file).suffix().toLower();
    QByteArray format = ext == "jpg" ? "jpeg" : ext == "gif" ? "gif" : ext == "png" ? "png" : "";
    QImageReader reader(file, format);
    if (format.isEmpty()) reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    if (image.isNull()) {
      MainForm.ShowWarning("Error",
                           "Cannot show " + path + ": " + reader.errorString().toStdString());
      return false;
    }
    Image1->SetPicture(image);
    OwnSize = image.size();
    SetImageSize(OwnSize);
    Path = path;
    NeverSaved = false;
  }
  if (MainForm.GetActivePage() == this) MainForm.SetDocumentTitle(Path, false);
  SetCaption(QString::fromStdString(GetFileName()));
  return true;
}

bool TImagePage::SaveFile(const std::string&) {
  return true;
}

void TImagePage::ConnectActions() {
  auto& a = Actions();
  a["ZoomInAction"].Bind([this](void*) { ZoomIn(); });
  a["ZoomOutAction"].Bind([this](void*) { ZoomOut(); });
  a["FitInWindowAction"].Bind([this](void*) { FitInWindow(); });
  a["ActualViewAction"].Bind([this](void*) { ActualView(); });
  a["CloseAction"].SetEnabled(true);
}

std::string TImagePage::GetFileName() {
  std::string name = QFileInfo(QString::fromStdString(Path)).fileName().toStdString();
  return name.substr(0, name.find('.'));
}

QSize TImagePage::ImageSize() const {
  return Image1->size();
}

void TImagePage::SetImageSize(QSize size) {
  // The scroll ranges follow the view's size.
  Image1->resize(std::max(1, size.width()), std::max(1, size.height()));
}

void TImagePage::ZoomIn() {
  QSize s = ImageSize();
  QSize next(static_cast<int>(std::lround(s.width() * ZoomFactor)),
             static_cast<int>(std::lround(s.height() * ZoomFactor)));
  if (next.width() > MaxSide || next.height() > MaxSide) return;
  SetImageSize(next);
}

void TImagePage::ZoomOut() {
  QSize s = ImageSize();
  SetImageSize(QSize(static_cast<int>(std::lround(s.width() / ZoomFactor)),
                     static_cast<int>(std::lround(s.height() / ZoomFactor))));
}

void TImagePage::FitInWindow() {
  SetImageSize(ScrollBox1->viewport()->size());
}

void TImagePage::ActualView() {
  if (!OwnSize.isEmpty()) SetImageSize(OwnSize);
}

bool TImagePage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ScrollBox1->viewport() && event->type() == QEvent::Wheel) {
    int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
    if (delta > 0) ZoomIn();
    if (delta < 0) ZoomOut();
    return true;
  }
  return TBasePage::eventFilter(watched, event);
}
