#include "host/printing/PaperCodes.h"
#include "host/printing/PrintTarget.h"

namespace zd::printing {

void CheckOrientation(const TDeviceMode& dm) {
  if (dm.OrientationValid && dm.Orientation != 1 && dm.Orientation != 2)
    throw EPrinterError("Invalid orientation " + std::to_string(dm.Orientation) +
                        " (1 = portrait, 2 = landscape)");
}

void CheckDuplex(const TDeviceMode& dm) {
  if (dm.DuplexValid && (dm.Duplex < 1 || dm.Duplex > 3))
    throw EPrinterError("Invalid duplex mode " + std::to_string(dm.Duplex) +
                        " (1 = simplex, 2 = long edge, 3 = short edge)");
}

void CheckPaper(const TDeviceMode& dm) {
  if (dm.PaperDimsValid) {
    if (dm.PaperWidth <= 0 || dm.PaperLength <= 0)
      throw EPrinterError("Invalid paper dimensions " + std::to_string(dm.PaperWidth) + " x " +
                          std::to_string(dm.PaperLength) + " (tenths of a millimetre)");
    return;
  }
  if (dm.PaperSizeValid && dm.PaperSize != CustomPaperCode && !PageSizeForCode(dm.PaperSize))
    throw EPrinterError("Unknown paper code " + std::to_string(dm.PaperSize));
}

}  // namespace zd::printing
