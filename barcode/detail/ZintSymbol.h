#pragma once
// Symbologies encoded by libzint, as the dark rectangles of its vector
// output in module units.
#include <string>
#include <vector>

namespace zd {

enum class TZintSymbology { Code128, EAN13, QRCode, DataMatrix };

struct TModuleRect {
  double X = 0, Y = 0, Width = 0, Height = 0;
};

struct TZintSymbol {
  std::vector<TModuleRect> Rects;
  double Width = 0, Height = 0;  ///< of the whole symbol, in modules
  bool TwoDimensional = false;
  std::string Text;   ///< the human-readable text (EAN-13 with its check digit)
  std::string Error;  ///< why nothing could be encoded; empty on success
};

/// UTF-8 text; an empty text or one the symbology refuses gives no rectangles and an Error.
TZintSymbol EncodeWithZint(TZintSymbology symbology, const std::string& text);

}  // namespace zd
