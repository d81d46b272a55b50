#include "barcode/detail/ZintSymbol.h"

#include <zint.h>

#include <memory>
#include <string>

namespace zd {

namespace {

constexpr size_t kMaxInput = 8000;

struct TZintDeleter {
  void operator()(zint_symbol* s) const { ZBarcode_Delete(s); }
};

int ZintCode(TZintSymbology symbology) {
  switch (symbology) {
    case TZintSymbology::Code128: return BARCODE_CODE128;
    case TZintSymbology::EAN13: return BARCODE_EANX;
    case TZintSymbology::QRCode: return BARCODE_QRCODE;
    case TZintSymbology::DataMatrix: return BARCODE_DATAMATRIX;
  }
  return BARCODE_CODE128;
}

}  // namespace

TZintSymbol EncodeWithZint(TZintSymbology symbology, const std::string& text) {
  TZintSymbol result;
  if (text.empty()) {
    result.Error = "nothing to encode";
    return result;
  }
  // No symbol holds more than a few thousand characters; a field's long text is refused here.
  if (text.size() > kMaxInput) {
    result.Error = "more than " + std::to_string(kMaxInput) + " bytes";
    return result;
  }
  // EAN-X would also take 8-digit and add-on forms; the type promises EAN-13.
  if (symbology == TZintSymbology::EAN13 && text.size() != 12 && text.size() != 13) {
    result.Error = "EAN-13 takes 12 digits (or 13 with the check digit)";
    return result;
  }
  std::unique_ptr<zint_symbol, TZintDeleter> symbol(ZBarcode_Create());
  if (!symbol) {
    result.Error = "out of memory";
    return result;
  }
  symbol->symbology = ZintCode(symbology);
  symbol->input_mode = UNICODE_MODE;
  symbol->show_hrt = 0;
  // Vector coordinates are twice the scale per module.
  symbol->scale = 0.5f;
  const auto* data = reinterpret_cast<const unsigned char*>(text.data());
  const int status = ZBarcode_Encode(symbol.get(), data, int(text.size()));
  if (status >= ZINT_ERROR || ZBarcode_Buffer_Vector(symbol.get(), 0) >= ZINT_ERROR || !symbol->vector) {
    result.Error = symbol->errtxt;
    return result;
  }
  result.TwoDimensional = symbology == TZintSymbology::QRCode || symbology == TZintSymbology::DataMatrix;
  result.Width = symbol->vector->width;
  result.Height = symbol->vector->height;
  for (const zint_vector_rect* r = symbol->vector->rectangles; r; r = r->next)
    if (r->colour == -1) result.Rects.push_back({r->x, r->y, r->width, r->height});
  if (!result.TwoDimensional) result.Text = reinterpret_cast<const char*>(symbol->text);
  return result;
}

}  // namespace zd
