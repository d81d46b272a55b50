#pragma once
// The base of the library's own errors. Besides its message an error may
// know where it arose (the file, the byte offset in it, the property path of
// the value being read), so that preview and designer can point there
// whatever went wrong.
#include <cstdint>
#include <exception>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

namespace zd {

class EZdError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;

  // Empty, or nullopt, when not known.
  const std::string& FileName() const { return fileName_; }
  std::optional<uint64_t> Offset() const { return offset_; }
  const std::string& PropertyPath() const { return propertyPath_; }

  // Readers fill in what they know, also while the error passes through them.
  void SetFileName(std::string fileName) { fileName_ = std::move(fileName); }
  void SetOffset(uint64_t offset) { offset_ = offset; }
  void SetPropertyPath(std::string path) { propertyPath_ = std::move(path); }

 private:
  std::string fileName_;
  std::optional<uint64_t> offset_;
  std::string propertyPath_;
};

// `error` with its offset set, for throw expressions that keep the error's type.
template <class E>
E AtOffset(E error, uint64_t offset) {
  error.SetOffset(offset);
  return error;
}

// The message followed by what is known of the place, for showing any error:
// "message (file report.zdq, byte 120, property Title.Font)".
std::string DescribeError(const std::exception& error);

}  // namespace zd
