#pragma once
// The picture editor: loads, saves, copies, pastes and clears one picture,
// which the caller receives back only when the editor is confirmed.
#include <QDialog>

#include "host/core/Properties.h"
#include "host/graphics/Bitmap.h"

class QLabel;
class QPushButton;

namespace zd {

// The picture as a template keeps it: its file bytes, a raster as BMP.
TBytes PictureBytes(const TPicture& picture);

class TfrmPicEdit : public QDialog {
 public:
  explicit TfrmPicEdit(int langShift, QWidget* parent = nullptr);

  const TPicture& Picture() const { return picture_; }
  void SetPicture(const TPicture& picture);

  // The buttons' work without their file dialogs; false (with a message to
  // the user) when the file could not be read or written.
  bool LoadFile(const QString& fileName);
  bool SaveFile(const QString& fileName);
  void CopyToClipboard() const;
  void PasteFromClipboard();
  void ClearPicture();

  QPushButton *btnLoad, *btnSave, *btnCopy, *btnPaste, *btnDelete, *btnOk, *btnCancel;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void showPicture();
  int langShift_;
  TPicture picture_;
  QLabel* image_;
};

// Edits the picture in the editor; true, with the picture replaced, when
// the editor was confirmed.
bool ZdqChangePicture(int langShift, TPicture& picture, QWidget* parent = nullptr);

}  // namespace zd
