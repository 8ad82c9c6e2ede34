#pragma once
// Where the tool's output goes: results on one stream, failures and warnings on the other.

#include <cstdio>
#include <string>

namespace ethconf::cli {

struct TConsole {
  std::FILE* out = stdout;
  std::FILE* err = stderr;

  void Print(const std::string& text) const { Write(out, text); }
  void Error(const std::string& text) const { Write(err, text + "\n"); }
  void Warning(const std::string& text) const { Write(err, "warning: " + text + "\n"); }

 private:
  static void Write(std::FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
  }
};

}  // namespace ethconf::cli
