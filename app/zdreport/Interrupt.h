#pragma once
// Ctrl-C while a report is prepared: the preparation stops through the
// report's Cancel and nothing is written. A second Ctrl-C ends the program
// at once, as usual.
#include <stdexcept>

#include "print/PrintZd.h"

namespace zd::cli {

class EInterrupted : public std::runtime_error {
 public:
  EInterrupted() : std::runtime_error("interrupted; no output was written") {}
};

class TCancelOnInterrupt {
 public:
  explicit TCancelOnInterrupt(TZdPrintBaseComponent& report);
  ~TCancelOnInterrupt();  // SIGINT acts as before again
  TCancelOnInterrupt(const TCancelOnInterrupt&) = delete;
  TCancelOnInterrupt& operator=(const TCancelOnInterrupt&) = delete;
  bool Interrupted() const;
};

}  // namespace zd::cli
