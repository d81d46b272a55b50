#pragma once
// Driver paper numbers (DMPAPER_*) against Qt page sizes. Qt-side helper of the
// printing layer; the portable code only ever sees the numbers.
#include <QPageSize>
#include <QSizeF>
#include <optional>
#include <string>
#include <vector>

namespace zd::printing {

constexpr int CustomPaperCode = 256;

// The page size a paper number stands for; nullopt for a number with no
// fixed size (custom) or one we do not know.
std::optional<QPageSize> PageSizeForCode(int code);
// The paper number of a page size, CustomPaperCode when it has none.
int CodeForPageSize(const QPageSize& size);
// Names of the sizes with a paper number, in number order, each once.
std::vector<std::string> KnownPaperNames();
// A page size of the given dimensions in tenths of a millimetre (portrait
// sense as given), kept exactly so that odd sizes survive a round trip.
QPageSize CustomPageSize(int widthTenths, int lengthTenths);
// Paper dimensions in tenths of a millimetre, unrotated.
int WidthTenths(const QPageSize& size);
int LengthTenths(const QPageSize& size);

}  // namespace zd::printing
