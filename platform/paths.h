// Files with Windows semantics on POSIX. Paths are Windows-1250 text in which
// "\" and "/" both separate folders; "X:" maps to $TISKFORM_DRIVE_X (or "/");
// a name that does not exist as written is matched without regard to case,
// folder by folder. Every existence test and open goes through here.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The POSIX (UTF-8) path that a Windows-style path names on this machine.
std::string ResolvePath(std::string_view windowsPath);

bool FileExists(std::string_view windowsPath);  // a regular file (or any non-folder)
bool DirectoryExists(std::string_view windowsPath);

// The current directory, as Windows-1250 text.
std::string GetCurrentDir();

bool IsPathDelimiter(char c);  // "\" or "/"

// Folder part: everything up to and including the last "\", "/" or drive ":".
std::string ExtractFilePath(std::string_view path);
std::string ExtractFileName(std::string_view path);
// Extension with its dot, from the last "." after the folder part; empty when none.
std::string ExtractFileExt(std::string_view path);
std::string IncludeTrailingBackslash(std::string_view path);

}  // namespace platform
