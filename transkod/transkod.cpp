#include "transkod/transkod.h"

#ifndef _GNU_SOURCE
#define _GNU_SOURCE
#endif
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "platform/paths.h"
#include "platform/win1250.h"
#include "transkod/recoder.h"

namespace transkod {
namespace {

constexpr size_t kChunk = 1 << 20;

// Lines of the usage message box, Windows-1250.
const char* const kUsage =
    "(P\xF8\x65vod textov\xE9ho souboru z k\xF3\x64u Windows-1250 do k\xF3\x64u UTF-8)\r\n"
    "Chyba - chyb\xED cesta s n\xE1zvem souboru.\r\n"
    "Program spus\x9Dte znovu jako:   Transkod Pln\xE1\x43\x65staAN\xE1zevSouboru \r\n"
    "Paylon, podpora: podpora@paylon.cz, www.paylon.cz, tel. 800 100 200 "
    "(zdarma, vyd\xE1no 11.12.2026)";

void Say(FILE* err, const std::string& utf8) {
  std::fprintf(err, "Transkod: %s\n", utf8.c_str());
  std::fflush(err);
}

bool WriteAll(int fd, const char* p, size_t n) {
  while (n > 0) {
    const ssize_t w = ::write(fd, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

class Converter {
 public:
  Converter(std::string shownPath, std::string path, FILE* err)
      : shown_(std::move(shownPath)), path_(std::move(path)), err_(err) {}

  int Run() {
    Fd in;
    in.fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (in.fd < 0 || ::flock(in.fd, LOCK_SH | LOCK_NB) != 0 || ::fstat(in.fd, &st) != 0 ||
        S_ISDIR(st.st_mode))
      return Fail("Cannot open file " + shown_, S_ISDIR(st.st_mode) ? EISDIR : errno);

    // A file we may not write stays as it is, as it would when written in place.
    if (::access(path_.c_str(), W_OK) != 0) return Fail("Cannot create file " + shown_, errno);

    // Write beside the target, so the final rename stays on one file system.
    char real[PATH_MAX];
    const std::string target = ::realpath(path_.c_str(), real) ? std::string(real) : path_;
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    temp_ = folder + "." + base + ".transkod-XXXXXX";
    Fd out;
    out.fd = ::mkstemp(temp_.data());
    if (out.fd < 0) {
      temp_.clear();
      return Fail("Cannot create file " + shown_, errno);
    }

    std::unique_ptr<char[]> inBuf(new char[kChunk]);
    std::unique_ptr<char[]> outBuf(new char[LineRecoder::MaxOutput(kChunk) + 2]);
    LineRecoder recoder;
    off_t written = 0, synced = 0;
    for (;;) {
      const ssize_t got = ::read(in.fd, inBuf.get(), kChunk);
      if (got < 0) {
        if (errno == EINTR) continue;
        return Fail("Cannot read file " + shown_, errno);
      }
      if (got == 0) break;
      const size_t n = recoder.Feed(inBuf.get(), static_cast<size_t>(got), outBuf.get());
      if (recoder.sawZero())
        return Fail("The file " + shown_ + " holds a 0 byte at offset " +
                        std::to_string(recoder.zeroAt()) +
                        " and is not a text file; it was left unchanged",
                    0);
      if (!WriteAll(out.fd, outBuf.get(), n)) return Fail("Cannot write file " + shown_, errno);
      // Start writing back what we have, so the final fsync has little left to wait for.
      written += static_cast<off_t>(n);
      ::sync_file_range(out.fd, synced, written - synced, SYNC_FILE_RANGE_WRITE);
      synced = written;
    }
    const size_t tail = recoder.Finish(outBuf.get());
    if (!WriteAll(out.fd, outBuf.get(), tail)) return Fail("Cannot write file " + shown_, errno);
    // Keep the original's permissions (and owner, where we may).
    if (::fchmod(out.fd, st.st_mode & 07777) != 0)
      return Fail("Cannot write file " + shown_, errno);
    if (::fchown(out.fd, st.st_uid, st.st_gid) != 0) { /* not ours to give away: keep ours */
    }
    if (::fsync(out.fd) != 0) return Fail("Cannot write file " + shown_, errno);
    const int fd = out.fd;
    out.fd = -1;
    if (::close(fd) != 0) return Fail("Cannot write file " + shown_, errno);
    if (::rename(temp_.c_str(), target.c_str()) != 0)
      return Fail("Cannot replace file " + shown_, errno);
    temp_.clear();
    return kExitOk;
  }

  ~Converter() {
    if (!temp_.empty()) ::unlink(temp_.c_str());
  }

 private:
  int Fail(const std::string& message1250, int error) {
    std::string text = platform::Win1250ToUtf8(message1250);
    if (error != 0) text += ": " + std::string(std::strerror(error));
    Say(err_, text);
    return kExitError;
  }

  std::string shown_;
  std::string path_;
  FILE* err_;
  std::string temp_;
};

}  // namespace

int Run(int argc, const char* const* argv, FILE* err) {
  const std::string arg = argc > 1 && argv[1] ? argv[1] : "";
  const std::string path1250 = platform::AnsiUpperCase(platform::Utf8ToWin1250(arg));
  if (path1250.empty()) {
    std::string usage = platform::Win1250ToUtf8(kUsage);
    std::string plain;
    for (char c : usage)
      if (c != '\r') plain += c;
    std::fprintf(err, "%s\n", plain.c_str());
    std::fflush(err);
    return kExitOk;
  }
  std::string posix = platform::ResolvePath(path1250);
  // A name with characters the code page lacks can only be found as written.
  struct stat st;
  if (::stat(posix.c_str(), &st) != 0 && ::stat(arg.c_str(), &st) == 0) posix = arg;
  return Converter(path1250, posix, err).Run();
}

}  // namespace transkod
