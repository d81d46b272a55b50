// Metafile reader, enumerator, player, WMF writer and page PDF painter on arbitrary bytes.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstddef>
#include <cstdint>

#include "export/pdf/PdfPageExport.h"
#include "host/emf/Metafile.h"
#include "host/emf/WindowsMetafile.h"
#include "host/emf/detail/MetafilePlayer.h"
#include "host/graphics/Bitmap.h"

namespace {
void app() {
  if (QGuiApplication::instance()) return;
  static int argc = 1;
  static char name[] = "fuzz_emf";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication a(argc, argv);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  app();
  try {
    zd::TMetafile m;
    m.LoadFromBytes(data, size);
    zd::EnumerateMetafile(m, [](const zd::TEmfRecord& r, const zd::TEmfState&) {
      (void)zd::ReadEmfText(r);
      return true;
    });
    (void)zd::WindowsMetafileOf(m);
    QImage img(64, 64, QImage::Format_RGB32);
    QPainter p(&img);
    zd::PlayMetafile(m, p, QRectF(0, 0, 64, 64));
    zd::TZdqExportToPagePDF pdf;
    pdf.StartExport();
    pdf.NewPage(0, 0);
    pdf.ExportRecords(m);
    pdf.PageProcessed(m);
    pdf.EndExport();
  } catch (const std::runtime_error&) {
  }
  return 0;
}
