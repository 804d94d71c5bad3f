#include "platform/paths.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <vector>

#include "platform/win1250.h"

namespace platform {
namespace {

bool Exists(const std::string& posix) {
  struct stat st;
  return ::stat(posix.c_str(), &st) == 0;
}

// Finds an entry of `folder` whose name equals `name` without regard to case.
bool MatchInFolder(const std::string& folder, const std::string& nameUtf8, std::string& found) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return false;
  const std::string wanted = AnsiUpperCase(Utf8ToWin1250(nameUtf8));
  bool ok = false;
  while (dirent* e = ::readdir(dir)) {
    if (AnsiUpperCase(Utf8ToWin1250(e->d_name)) == wanted) {
      found = e->d_name;
      ok = true;
      break;
    }
  }
  ::closedir(dir);
  return ok;
}

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

}  // namespace

bool IsPathDelimiter(char c) {
  return c == '\\' || c == '/';
}

std::string ResolvePath(std::string_view windowsPath) {
  std::string_view rest = windowsPath;
  std::string result;
  if (rest.size() >= 2 && rest[1] == ':' && std::isalpha(static_cast<unsigned char>(rest[0]))) {
    const char drive = static_cast<char>(std::toupper(static_cast<unsigned char>(rest[0])));
    const std::string var = std::string("TISKFORM_DRIVE_") + drive;
    const char* root = std::getenv(var.c_str());
    result = root && *root ? root : "/";
    rest.remove_prefix(2);
  } else if (!rest.empty() && IsPathDelimiter(rest[0])) {
    result = "/";
  }
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= rest.size(); ++i) {
    if (i == rest.size() || IsPathDelimiter(rest[i])) {
      if (i > start) parts.push_back(rest.substr(start, i - start));
      start = i + 1;
    }
  }
  for (std::string_view part : parts) {
    const std::string name = Win1250ToUtf8(part);
    if (part == "." || part == "..") {
      result = Join(result, name);
      continue;
    }
    std::string candidate = Join(result, name);
    std::string found;
    if (!Exists(candidate) && MatchInFolder(result, name, found)) candidate = Join(result, found);
    result = std::move(candidate);
  }
  if (result.empty()) result = ".";
  // A trailing separator means "the folder", which POSIX calls does not mind.
  if (!rest.empty() && IsPathDelimiter(rest.back()) && result.back() != '/') result += '/';
  return result;
}

bool FileExists(std::string_view windowsPath) {
  if (windowsPath.empty()) return false;
  struct stat st;
  return ::stat(ResolvePath(windowsPath).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(std::string_view windowsPath) {
  if (windowsPath.empty()) return false;
  struct stat st;
  return ::stat(ResolvePath(windowsPath).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string GetCurrentDir() {
  std::vector<char> buf(4096);
  while (!::getcwd(buf.data(), buf.size())) {
    if (buf.size() > (1u << 20)) return ".";
    buf.resize(buf.size() * 2);
  }
  return Utf8ToWin1250(buf.data());
}

std::string ExtractFilePath(std::string_view path) {
  for (size_t i = path.size(); i > 0; --i) {
    const char c = path[i - 1];
    if (IsPathDelimiter(c) || c == ':') return std::string(path.substr(0, i));
  }
  return {};
}

std::string ExtractFileName(std::string_view path) {
  return std::string(path.substr(ExtractFilePath(path).size()));
}

std::string ExtractFileExt(std::string_view path) {
  const std::string name = ExtractFileName(path);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string IncludeTrailingBackslash(std::string_view path) {
  std::string s(path);
  if (s.empty() || !IsPathDelimiter(s.back())) s += '\\';
  return s;
}

}  // namespace platform
