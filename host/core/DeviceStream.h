#pragma once
// A std::ostream over a QIODevice, so that a report streams straight into a
// socket, a QBuffer or a QFile the application opened.
#include <array>
#include <ostream>
#include <streambuf>

class QIODevice;

namespace zd {

class TDeviceStreamBuf : public std::streambuf {
 public:
  explicit TDeviceStreamBuf(QIODevice& device);
  ~TDeviceStreamBuf() override;

 protected:
  int_type overflow(int_type ch) override;
  int sync() override;

 private:
  bool drain();

  QIODevice& device_;
  std::array<char, 64 * 1024> buffer_;
};

// Writes go to the device (open for writing); a failed write sets badbit.
class TDeviceOStream : public std::ostream {
 public:
  explicit TDeviceOStream(QIODevice& device) : std::ostream(nullptr), buffer_(device) { rdbuf(&buffer_); }

 private:
  TDeviceStreamBuf buffer_;
};

}  // namespace zd
