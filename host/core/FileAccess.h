#pragma once
// The files a report may read on behalf of its template (pictures, rich
// text), and how much of them.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zd {

class TFileAccess {
 public:
  // Any readable file, as long as no folder is allowed explicitly.
  void AllowAnyPath() { folders_.clear(); }
  // From the first call on, only files inside the allowed folders.
  void AllowFolder(const std::string& folder);
  bool Restricted() const { return !folders_.empty(); }
  // Whether the path, its links and ".." resolved, lies where reading is allowed.
  bool Allows(const std::string& path) const;

  // Regular files only (never devices or pipes, which may never end), and
  // none larger than this many bytes.
  uint64_t MaxFileSize = 64ull << 20;

  // The whole file, or nullopt when it is refused, missing, not a regular
  // file or too large: one answer for all, so that a template cannot learn
  // which files exist where it may not read.
  std::optional<std::vector<uint8_t>> Read(const std::string& path) const;

 private:
  bool allows(const std::string& canonicalPath) const;
  std::vector<std::string> folders_;  // canonical
};

}  // namespace zd
