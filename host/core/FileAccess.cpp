#include "host/core/FileAccess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace zd {

namespace {

std::string Canonical(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) return {};
  const std::filesystem::path canonical = std::filesystem::weakly_canonical(absolute, error);
  return error ? std::string() : canonical.lexically_normal().string();
}

// Closes the descriptor however the read ends.
struct TFile {
  int fd;
  ~TFile() {
    if (fd >= 0) ::close(fd);
  }
};

}  // namespace

void TFileAccess::AllowFolder(const std::string& folder) {
  std::string canonical = Canonical(folder);
  if (canonical.empty()) return;
  if (canonical.back() != '/') canonical += '/';
  folders_.push_back(canonical);
}

bool TFileAccess::allows(const std::string& canonicalPath) const {
  if (folders_.empty()) return true;
  for (const std::string& folder : folders_)
    if (canonicalPath.compare(0, folder.size(), folder) == 0) return true;
  return false;
}

bool TFileAccess::Allows(const std::string& path) const {
  if (folders_.empty()) return true;
  const std::string canonical = Canonical(path);
  return !canonical.empty() && allows(canonical);
}

std::optional<std::vector<uint8_t>> TFileAccess::Read(const std::string& path) const {
  if (path.empty()) return std::nullopt;
  // Links and ".." are resolved first, so they cannot lead out of a folder.
  const std::string canonical = Canonical(path);
  if (canonical.empty() || !allows(canonical)) return std::nullopt;
  // Opened without blocking: a pipe without a writer must not hang the run.
  TFile file{::open(canonical.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  if (file.fd < 0) return std::nullopt;
  struct stat status {};
  if (::fstat(file.fd, &status) != 0 || !S_ISREG(status.st_mode) || uint64_t(status.st_size) > MaxFileSize)
    return std::nullopt;
  std::vector<uint8_t> bytes(size_t(status.st_size));
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::read(file.fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) return std::nullopt;
    if (n == 0) break;  // the file shrank meanwhile
    done += size_t(n);
  }
  bytes.resize(done);
  return bytes;
}

}  // namespace zd
