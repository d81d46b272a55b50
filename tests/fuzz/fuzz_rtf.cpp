// Rich-text reader, layout and painting on arbitrary bytes.
#include <QGuiApplication>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "host/emf/Metafile.h"
#include "host/richtext/RichText.h"

namespace {
void app() {
  if (QGuiApplication::instance()) return;
  static int argc = 1;
  static char name[] = "fuzz_rtf";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication a(argc, argv);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  app();
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  zd::TRichText rt;
  try {
    rt.Load(bytes);
  } catch (const zd::ERtfError&) {
    return 0;
  }
  zd::TMetafile m;
  zd::TMetafileCanvas c(m);
  // A narrow column exercises wrapping; the measured height bounds the render.
  const zd::TRect rect{150, 150, 150 + 200 * 15, 1 << 28};
  const int bottom = rt.FormatRange(c, rect, false);
  if (bottom < rect.Top || bottom > rect.Bottom) __builtin_trap();
  const zd::TRect cut{rect.Left, rect.Top, rect.Right, rect.Top + 100 * 15};
  rt.FormatRange(c, cut, true);
  return 0;
}
