// Prepared-report reader on arbitrary bytes, from seekable and one-way
// streams (the first byte picks which), so both ways of bounding claimed
// lengths are exercised.
#include <cstddef>
#include <cstdint>
#include <istream>
#include <sstream>
#include <string>

#include "print/PreparedReportFile.h"

namespace {

class OneWayBuffer : public std::streambuf {
 public:
  explicit OneWayBuffer(std::string data) : data_(std::move(data)) {
    setg(data_.data(), data_.data(), data_.data() + data_.size());
  }

 private:
  std::string data_;
};

void Read(std::istream& in) {
  try {
    const zd::TZqpContent content = zd::ReadZqp(in);
    // What was accepted must be the grid the header declares.
    if (int64_t(content.Pages.Count()) != int64_t(content.Header.PageCount) * content.Header.BarCount) __builtin_trap();
    for (int i = 0; i < content.Pages.Count(); ++i)
      if (content.Pages.At(i).Drawing()->Empty()) __builtin_trap();
  } catch (const zd::EPreparedReportError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] & 1) {
    OneWayBuffer buffer(bytes);
    std::istream in(&buffer);
    Read(in);
  } else {
    std::istringstream in(bytes);
    Read(in);
  }
  return 0;
}
