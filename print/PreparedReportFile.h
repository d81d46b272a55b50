#pragma once
// The byte layout of prepared-report files (".zqp"): a header with the
// document properties and the page and bar counts, then one record per page
// (geometry and the page's EMF). Little-endian, signed 32-bit integers.
#include <fstream>
#include <iosfwd>
#include <string>

#include "host/core/Errors.h"
#include "print/PrintZd.h"

namespace zd {

// A prepared-report file or stream that cannot be read or written.
class EPreparedReportError : public EZdError {
 public:
  using EZdError::EZdError;
};

// What a file holds besides its pages.
struct TZqpHeader {
  std::string Author, Keywords, Subject, Title;
  int PageCount = 0;  // pages per bar
  int BarCount = 0;
};

// Writes the header fields in file order. Texts are stored whole: their
// length field counts the UTF-16LE bytes that follow, which is also what
// readers of the original layout skip and decode.
void WriteZqpHeader(std::ostream& out, const TZqpHeader& header);
// Writes one page record under the given page and bar index (a saved
// subset is renumbered, so the indices need not be the page's own).
void WriteZqpPage(std::ostream& out, const TPageInfo& page, int pageIndex, int barIndex);

struct TZqpContent {
  TZqpHeader Header;
  TPageStore Pages;  // exactly PageCount x BarCount pages, each position once
};

// Reads a whole prepared report from the stream's current position.
// Every count, length and position is checked against the data; any fault
// throws EPreparedReportError naming the field and what is wrong.
TZqpContent ReadZqp(std::istream& in);

std::ifstream OpenZqpFile(const std::string& fileName);

}  // namespace zd
