#include "designer/ZdPicEdit.h"
#include "designer/DesignerText.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QImageReader>
#include <QImageWriter>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

#include "host/graphics/QtGraphics.h"
#include "print/Language.h"
#include "print/TextIds.h"

namespace zd {

namespace {

QString ImageFilter() {
  QStringList patterns;
  for (const QByteArray& format : QImageReader::supportedImageFormats()) patterns << "*." + QString(format);
  patterns << "*.emf";
  return "Pictures (" + patterns.join(' ') + ");;All files (*)";
}

}  // namespace

TBytes PictureBytes(const TPicture& picture) {
  switch (picture.Kind()) {
    case TPictureKind::Empty: return {};
    case TPictureKind::Bitmap: return picture.Bitmap().SaveToBytes(TImageFormat::Bmp);
    default: return picture.Data();
  }
}

TfrmPicEdit::TfrmPicEdit(int langShift, QWidget* parent) : QDialog(parent), langShift_(langShift) {
  auto text = [langShift](int id) { return DesignerText(langShift, id); };
  setWindowTitle(text(txt::PictureCaption));
  image_ = new QLabel;
  image_->setAlignment(Qt::AlignCenter);
  image_->setFrameShape(QFrame::StyledPanel);
  image_->setMinimumSize(200, 150);
  image_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  btnLoad = new QPushButton(text(txt::Load));
  btnSave = new QPushButton(text(txt::Save));
  btnCopy = new QPushButton(text(txt::Copy));
  btnPaste = new QPushButton(text(txt::Paste));
  btnDelete = new QPushButton(text(txt::Delete));
  btnOk = new QPushButton(text(txt::OK));
  btnCancel = new QPushButton(text(txt::Cancel));
  btnOk->setDefault(true);

  auto* grid = new QGridLayout(this);
  grid->addWidget(image_, 0, 0, 6, 1);
  int row = 0;
  for (QPushButton* b : {btnLoad, btnSave, btnCopy, btnPaste, btnDelete}) grid->addWidget(b, row++, 1);
  grid->setRowStretch(5, 1);
  grid->setColumnStretch(0, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch();
  bottom->addWidget(btnOk);
  bottom->addWidget(btnCancel);
  grid->addLayout(bottom, 6, 0, 1, 2);

  connect(btnLoad, &QPushButton::clicked, this, [this] {
    const QString name = QFileDialog::getOpenFileName(this, btnLoad->text(), {}, ImageFilter());
    if (!name.isEmpty()) LoadFile(name);
  });
  connect(btnSave, &QPushButton::clicked, this, [this] {
    if (picture_.Empty()) return;
    const QString name = QFileDialog::getSaveFileName(this, btnSave->text(), {}, ImageFilter());
    if (!name.isEmpty()) SaveFile(name);
  });
  connect(btnCopy, &QPushButton::clicked, this, [this] { CopyToClipboard(); });
  connect(btnPaste, &QPushButton::clicked, this, [this] { PasteFromClipboard(); });
  connect(btnDelete, &QPushButton::clicked, this, [this] { ClearPicture(); });
  connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  resize(420, 300);
  showPicture();
}

void TfrmPicEdit::SetPicture(const TPicture& picture) {
  picture_ = picture;
  showPicture();
}

bool TfrmPicEdit::LoadFile(const QString& fileName) {
  // Kept as its own bytes where a template can hold them, else as a raster.
  try {
    TPicture loaded;
    loaded.LoadFromFile(fileName.toStdString());
    SetPicture(loaded);
    return true;
  } catch (const std::exception&) {
  }
  QImageReader reader(fileName);
  const QImage image = reader.read();
  if (image.isNull()) {
    QMessageBox::warning(this, DesignerText(langShift_, txt::ErrorCaption),
                         fileName + ": " + reader.errorString());
    return false;
  }
  TPicture loaded;
  loaded.SetBitmap(FromQImage(image));
  SetPicture(loaded);
  return true;
}

bool TfrmPicEdit::SaveFile(const QString& fileName) {
  QSaveFile file(fileName);
  bool ok = file.open(QIODevice::WriteOnly);
  if (ok) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (picture_.Kind() == TPictureKind::Metafile || picture_.Bitmap().Empty()) {
      const TBytes& data = picture_.Data();
      ok = file.write(reinterpret_cast<const char*>(data.data()), qint64(data.size())) == qint64(data.size());
    } else {
      const QByteArray format = QImageWriter::supportedImageFormats().contains(suffix.toLatin1())
                                    ? suffix.toLatin1() : QByteArray("png");
      ok = ToQImage(picture_.Bitmap()).save(&file, format.constData());
    }
    ok = ok && file.commit();
  }
  if (!ok)
    QMessageBox::warning(this, DesignerText(langShift_, txt::ErrorCaption),
                         fileName + ": " + file.errorString());
  return ok;
}

void TfrmPicEdit::CopyToClipboard() const {
  if (picture_.Empty() || picture_.Bitmap().Empty()) return;
  QApplication::clipboard()->setImage(ToQImage(picture_.Bitmap()));
}

void TfrmPicEdit::PasteFromClipboard() {
  const QImage image = QApplication::clipboard()->image();
  if (image.isNull()) return;
  TPicture pasted;
  pasted.SetBitmap(FromQImage(image));
  SetPicture(pasted);
}

void TfrmPicEdit::ClearPicture() { SetPicture(TPicture()); }

void TfrmPicEdit::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  showPicture();
}

void TfrmPicEdit::showPicture() {
  const bool raster = !picture_.Empty() && !picture_.Bitmap().Empty();
  if (raster) {
    const QPixmap pixmap = QPixmap::fromImage(ToQImage(picture_.Bitmap()));
    const QSize room = image_->contentsRect().size();
    image_->setPixmap(pixmap.width() > room.width() || pixmap.height() > room.height()
                          ? pixmap.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                          : pixmap);
  } else {
    image_->setPixmap({});
    image_->setText(picture_.Kind() == TPictureKind::Metafile ? "(Metafile)" : QString());
  }
  btnSave->setEnabled(!picture_.Empty());
  btnCopy->setEnabled(raster);
  btnDelete->setEnabled(!picture_.Empty());
}

bool ZdqChangePicture(int langShift, TPicture& picture, QWidget* parent) {
  TfrmPicEdit editor(langShift, parent);
  editor.SetPicture(picture);
  if (editor.exec() != QDialog::Accepted) return false;
  picture = editor.Picture();
  return true;
}

}  // namespace zd
