#include "kord/file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kord {
namespace {
constexpr size_t kWindow = 256 * 1024;
}

std::unique_ptr<ReadOnlyFile> ReadOnlyFile::Open(const std::string& posixPath, bool exclusive) {
  const int fd = ::open(posixPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode) ||
      ::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
    const int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
    ::close(fd);
    errno = err;
    return nullptr;
  }
  return std::unique_ptr<ReadOnlyFile>(new ReadOnlyFile(fd, static_cast<uint64_t>(st.st_size)));
}

ReadOnlyFile::~ReadOnlyFile() {
  ::close(fd_);
}

bool ReadOnlyFile::Fill(uint64_t start) {
  if (!window_) window_.reset(new uint8_t[kWindow]);
  const size_t want = static_cast<size_t>(std::min<uint64_t>(kWindow, size_ - start));
  size_t got = 0;
  while (got < want) {
    const ssize_t r =
        ::pread(fd_, window_.get() + got, want - got, static_cast<off_t>(start + got));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    got += static_cast<size_t>(r);
  }
  windowStart_ = start;
  windowLen_ = got;
  return got == want;
}

bool ReadOnlyFile::ReadAt(uint64_t pos, void* dst, size_t n) {
  if (pos > size_ || n > size_ - pos) return false;
  if (n == 0) return true;
  if (pos >= windowStart_ && pos + n <= windowStart_ + windowLen_) {
    std::memcpy(dst, window_.get() + (pos - windowStart_), n);
    return true;
  }
  if (n > kWindow / 2) {  // large reads bypass the window
    size_t got = 0;
    auto* out = static_cast<uint8_t*>(dst);
    while (got < n) {
      const ssize_t r = ::pread(fd_, out + got, n - got, static_cast<off_t>(pos + got));
      if (r < 0 && errno == EINTR) continue;
      if (r <= 0) return false;
      got += static_cast<size_t>(r);
    }
    return true;
  }
  // Walking backwards, keep what lies before the read; forwards, what follows.
  const bool backwards = windowLen_ > 0 && pos < windowStart_;
  const uint64_t start = backwards ? (pos + n > kWindow ? pos + n - kWindow : 0) : pos;
  if (!Fill(start) && !(pos + n <= windowStart_ + windowLen_)) return false;
  if (pos < windowStart_ || pos + n > windowStart_ + windowLen_) return false;
  std::memcpy(dst, window_.get() + (pos - windowStart_), n);
  return true;
}

}  // namespace kord
