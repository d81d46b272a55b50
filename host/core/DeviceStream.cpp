#include "host/core/DeviceStream.h"

#include <QIODevice>

namespace zd {

TDeviceStreamBuf::TDeviceStreamBuf(QIODevice& device) : device_(device) {
  setp(buffer_.data(), buffer_.data() + buffer_.size());
}

TDeviceStreamBuf::~TDeviceStreamBuf() { drain(); }

bool TDeviceStreamBuf::drain() {
  const char* next = pbase();
  while (next < pptr()) {
    const qint64 written = device_.write(next, pptr() - next);
    if (written <= 0) return false;
    next += written;
  }
  setp(buffer_.data(), buffer_.data() + buffer_.size());
  return true;
}

TDeviceStreamBuf::int_type TDeviceStreamBuf::overflow(int_type ch) {
  if (!drain()) return traits_type::eof();
  if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
  *pptr() = traits_type::to_char_type(ch);
  pbump(1);
  return ch;
}

int TDeviceStreamBuf::sync() { return drain() ? 0 : -1; }

}  // namespace zd
