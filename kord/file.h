// A Kord data or memo file opened read-only under an advisory lock. Its size
// is taken at open, and no read goes past it; reads are served from a window
// that follows the caller forwards and backwards.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace kord {

class ReadOnlyFile {
 public:
  // Opens `posixPath`; a shared lock, or an exclusive one when `exclusive`.
  // Returns nullptr (errno set) when the file cannot be opened or locked.
  static std::unique_ptr<ReadOnlyFile> Open(const std::string& posixPath, bool exclusive);
  ~ReadOnlyFile();
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  uint64_t size() const { return size_; }
  // Reads exactly `n` bytes at `pos`; false (nothing promised in `dst`) when
  // they do not all lie within the size taken at open or the read fails.
  bool ReadAt(uint64_t pos, void* dst, size_t n);

 private:
  explicit ReadOnlyFile(int fd, uint64_t size) : fd_(fd), size_(size) {}
  bool Fill(uint64_t start);

  int fd_;
  uint64_t size_;
  std::unique_ptr<uint8_t[]> window_;
  uint64_t windowStart_ = 0;
  size_t windowLen_ = 0;
};

}  // namespace kord
