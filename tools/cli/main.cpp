// ethconf-cli: reads, writes and resets Ethernet modules from scripts, and keeps their
// configurations as ".eth" files or JSON.

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "tools/cli/cli_main.h"

int main(int argc, char** argv) {
  try {
    return ethconf::cli::RunCli(std::vector<std::string>(argv + 1, argv + argc), {});
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ethconf-cli: %s\n", e.what());
    return 1;
  }
}
