// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings_dialog/dropped_file.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>
#include <vector>

#include "settings_dialog/shell_link.h"
#include "text/codec.h"
#include "text/sjis.h"

namespace zeltaro::settingsdialog {
namespace fs = std::filesystem;
namespace {

std::string lowerAZ(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::optional<std::string> readSmallFile(const std::string& path) {
  std::error_code ec;
  // A shortcut or a desktop entry is a few kilobytes; anything huge is not one.
  if (fs::file_size(path, ec) > (1u << 20) || ec) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// dir/name, where name is matched without regard to A-Z case when it does not exist as spelt.
fs::path childNoCase(const fs::path& dir, const std::string& name) {
  std::error_code ec;
  const fs::path exact = dir / name;
  if (fs::exists(exact, ec)) return exact;
  const std::string folded = text::foldAZ(name);
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
    if (text::foldAZ(it->path().filename().string()) == folded) return it->path();
  return exact;
}

// The words of a desktop entry's Exec value (its string escapes already undone): blanks
// separate, double quotes group, a backslash takes the next character as it is.
std::vector<std::string> execWords(std::string_view exec) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false, quoted = false;
  for (std::size_t i = 0; i < exec.size(); ++i) {
    const char c = exec[i];
    if (c == '\\' && i + 1 < exec.size()) {
      word += exec[++i];
      inWord = true;
    } else if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

// The escapes of a desktop entry's string values.
std::string unescapeValue(std::string_view v) {
  std::string out;
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (v[i] != '\\' || i + 1 == v.size()) {
      out += v[i];
      continue;
    }
    switch (const char c = v[++i]) {
      case 's':
        out += ' ';
        break;
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case 'r':
        out += '\r';
        break;
      case '\\':
        out += '\\';
        break;
      default:
        out += '\\';
        out += c;
    }
  }
  return out;
}

bool isWindowsPath(std::string_view p) {
  return p.size() >= 3 && ((p[0] | 0x20) >= 'a' && (p[0] | 0x20) <= 'z') && p[1] == ':' &&
         (p[2] == '\\' || p[2] == '/');
}

bool isWine(std::string_view word) {
  if (word.find('=') != std::string_view::npos) return false;  // WINEPREFIX=.../wine
  const std::string name = fs::path(word).filename().string();
  return name == "wine" || name == "wine64" || name == "wine-stable" || name == "wine-development";
}

std::string folderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string resolveShortcut(const std::string& path, const std::string& winePrefix) {
  const auto bytes = readSmallFile(path);
  if (!bytes) return {};
  const auto target = shellLinkTarget(*bytes);
  return target ? unixPathInPrefix(*target, winePrefix) : std::string();
}

}  // namespace

std::string unixPathInPrefix(std::string_view windowsPath, const std::string& winePrefix) {
  if (!isWindowsPath(windowsPath)) return {};
  const char drive = static_cast<char>(windowsPath[0] | 0x20);
  std::error_code ec;
  fs::path root = fs::path(winePrefix) / "dosdevices" / std::string{drive, ':'};
  if (!fs::exists(root, ec)) {
    if (drive == 'c')
      root = fs::path(winePrefix) / "drive_c";
    else if (drive == 'z')
      root = "/";
    else
      return {};
  }
  // The file system spells names in UTF-8; a name CP932 cannot read stays as it is.
  std::string rest = text::utf8FromCp932(windowsPath.substr(3));
  if (text::cp932FromUtf8(rest) != windowsPath.substr(3)) rest = std::string(windowsPath.substr(3));
  fs::path p = root;
  std::size_t start = 0;
  while (start <= rest.size()) {
    std::size_t end = rest.find_first_of("\\/", start);
    if (end == std::string::npos) end = rest.size();
    const std::string part = rest.substr(start, end - start);
    if (!part.empty() && part != ".") p = part == ".." ? p.parent_path() : childNoCase(p, part);
    start = end + 1;
  }
  return p.string();
}

std::string desktopEntryTarget(std::string_view entry, const std::string& winePrefix) {
  std::string exec, workDir;
  bool inMain = false;
  std::size_t start = 0;
  while (start < entry.size()) {
    std::size_t end = entry.find('\n', start);
    if (end == std::string_view::npos) end = entry.size();
    std::string_view line = entry.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.starts_with("[")) {
      inMain = line == "[Desktop Entry]";
      continue;
    }
    if (!inMain) continue;
    if (line.starts_with("Exec=")) exec = unescapeValue(line.substr(5));
    if (line.starts_with("Path=")) workDir = unescapeValue(line.substr(5));
  }
  const std::vector<std::string> words = execWords(exec);
  std::string prefix = winePrefix;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (words[i].starts_with("WINEPREFIX=")) prefix = words[i].substr(11);
    if (!isWine(words[i]) || i + 1 >= words.size()) continue;
    const std::string& program = words[i + 1];
    // Wine's desktop shortcuts: wine C:\windows\command\start.exe /Unix <the .lnk>
    if (lowerAZ(fs::path(program).filename().string()).ends_with("start.exe") ||
        lowerAZ(program).ends_with("\\start.exe")) {
      for (std::size_t j = i + 2; j + 1 < words.size(); ++j)
        if (lowerAZ(words[j]) == "/unix") {
          const std::string& target = words[j + 1];
          return lowerAZ(target).ends_with(".lnk") ? resolveShortcut(target, prefix) : target;
        }
      break;
    }
    if (isWindowsPath(program)) return unixPathInPrefix(text::cp932FromUtf8(program), prefix);
    if (program.starts_with("/")) return program;
    break;
  }
  if (workDir.empty()) return {};
  return workDir.back() == '/' ? workDir : workDir + "/";
}

std::string folderOfDroppedFile(const std::string& path, const std::string& winePrefix) {
  std::error_code ec;
  const std::string ext = lowerAZ(fs::path(path).extension().string());
  std::string target = path;
  if (ext == ".lnk") {
    target = resolveShortcut(path, winePrefix);
  } else if (ext == ".desktop") {
    if (const auto entry = readSmallFile(path)) {
      const std::string t = desktopEntryTarget(*entry, winePrefix);
      if (!t.empty()) target = t;
    }
  }
  if (target.empty()) return {};
  if (fs::is_symlink(target, ec)) {
    const fs::path real = fs::canonical(target, ec);
    if (!ec) target = real.string();
  }
  if (fs::is_directory(target, ec) && !target.ends_with("/")) target += "/";
  return folderOf(target);
}

}  // namespace zeltaro::settingsdialog
