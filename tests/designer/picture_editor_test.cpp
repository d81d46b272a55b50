// The picture editor: files of the formats Qt reads, the clipboard both
// ways, clearing, saving, and the caller's picture untouched unless OK.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QFile>
#include <QPushButton>

#include "designer/ZdPicEdit.h"
#include "tests/TempPath.h"
#include "tests/designer/DesignWindowFixture.h"

namespace zd::test {
namespace {

QImage Sample(int width, int height, Qt::GlobalColor color) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(color);
  return image;
}

TPicture PictureOf(int width, int height) {
  TPicture picture;
  picture.SetBitmap(TBitmap(width, height, clRed));
  return picture;
}

TEST(PictureEditor, LoadsEveryFormatQtReadsAndSavesWhatItHolds) {
  ensureDesignerApp();
  auto path = [](const std::string& name) { return QString::fromStdString(UniqueTempPath(name).string()); };
  TfrmPicEdit editor(0);
  int width = 5;
  for (const char* format : {"png", "jpg", "bmp", "ppm"}) {
    SCOPED_TRACE(format);
    const QString file = path("picture-sample." + std::string(format));
    ASSERT_TRUE(Sample(width, 3, Qt::green).save(file, format));
    ASSERT_TRUE(editor.LoadFile(file));
    EXPECT_EQ(editor.Picture().Width(), width);
    EXPECT_EQ(editor.Picture().Height(), 3);
    ++width;
  }
  const QString saved = path("picture-saved.png");
  ASSERT_TRUE(editor.SaveFile(saved));
  EXPECT_EQ(QImage(saved).size(), QSize(width - 1, 3));

  // A file that is no picture is refused and the picture stays.
  const QString junk = path("picture-junk.png");
  QFile(junk).open(QIODevice::WriteOnly);
  WhenModal<QDialog>([](QDialog* box) { box->close(); });
  EXPECT_FALSE(editor.LoadFile(junk));
  EXPECT_EQ(editor.Picture().Width(), width - 1);
  for (const char* name : {"picture-sample.png", "picture-sample.jpg", "picture-sample.bmp", "picture-sample.ppm",
                           "picture-saved.png", "picture-junk.png"})
    QFile::remove(path(name));
}

TEST(PictureEditor, PastesCopiesAndClearsThroughTheButtons) {
  ensureDesignerApp();
  QClipboard& clipboard = *QApplication::clipboard();
  TfrmPicEdit editor(0);
  editor.SetPicture(PictureOf(4, 4));

  clipboard.setText("no picture here");
  editor.btnPaste->click();
  EXPECT_EQ(editor.Picture().Width(), 4);  // nothing to paste

  clipboard.setImage(Sample(9, 2, Qt::blue));
  editor.btnPaste->click();
  EXPECT_EQ(editor.Picture().Width(), 9);
  EXPECT_EQ(editor.Picture().Height(), 2);

  editor.SetPicture(PictureOf(6, 7));
  editor.btnCopy->click();
  EXPECT_EQ(clipboard.image().size(), QSize(6, 7));

  editor.btnDelete->click();
  EXPECT_TRUE(editor.Picture().Empty());
  EXPECT_FALSE(editor.btnCopy->isEnabled());
  editor.CopyToClipboard();  // an empty picture leaves the clipboard as it was
  EXPECT_EQ(clipboard.image().size(), QSize(6, 7));
}

TEST(PictureEditor, TheCallersPictureChangesOnlyOnOk) {
  ensureDesignerApp();
  TPicture picture = PictureOf(3, 3);
  WhenModal<TfrmPicEdit>([](TfrmPicEdit* d) {
    d->btnDelete->click();
    d->btnCancel->click();
  });
  EXPECT_FALSE(ZdqChangePicture(0, picture));
  EXPECT_EQ(picture.Width(), 3);

  QApplication::clipboard()->setImage(Sample(8, 8, Qt::red));
  WhenModal<TfrmPicEdit>([](TfrmPicEdit* d) {
    d->btnPaste->click();
    d->btnOk->click();
  });
  EXPECT_TRUE(ZdqChangePicture(0, picture));
  EXPECT_EQ(picture.Width(), 8);
}

}  // namespace
}  // namespace zd::test
