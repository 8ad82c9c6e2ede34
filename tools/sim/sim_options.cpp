#include "tools/sim/sim_options.h"

#include <charconv>
#include <limits>
#include <string_view>

#include "protocol/constants.h"

namespace ethconf::sim {
namespace {

template <class T>
bool ParseNumber(std::string_view text, T min, T max, T& value) {
  T parsed{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (ec != std::errc{} || end != text.data() + text.size() || parsed < min || parsed > max) {
    return false;
  }
  value = parsed;
  return true;
}

bool ParseObjectList(std::string_view list, std::set<std::uint8_t>& objects) {
  while (!list.empty()) {
    const auto comma = list.find(',');
    const std::string_view name = list.substr(0, comma);
    const auto id = WritableObjectByName(name);
    if (!id) {
      return false;
    }
    objects.insert(*id);
    list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
  }
  return !objects.empty();
}

}  // namespace

bool ParseSimOptions(const std::vector<std::string>& args, TSimOptions& options,
                     std::string& error) {
  constexpr unsigned long kMaxMs = 3'600'000;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view arg = args[i];
    std::string_view value;
    bool hasValue = false;
    if (const auto equals = arg.find('='); arg.starts_with("--") && equals != arg.npos) {
      value = arg.substr(equals + 1);
      arg = arg.substr(0, equals);
      hasValue = true;
    }
    const auto needValue = [&]() {
      if (hasValue) {
        return true;
      }
      if (i + 1 >= args.size()) {
        error = std::string(arg) + " needs a value";
        return false;
      }
      value = args[++i];
      hasValue = true;
      return true;
    };
    const auto bad = [&](const char* expected) {
      error = std::string(arg) + ": \"" + std::string(value) + "\" is not " + expected;
      return false;
    };
    const auto flag = [&](bool& target) {
      if (hasValue) {
        error = std::string(arg) + " takes no value";
        return false;
      }
      target = true;
      return true;
    };

    unsigned long number = 0;
    if (arg == "--help" || arg == "-h") {
      if (!flag(options.help)) {
        return false;
      }
    } else if (arg == "--trace") {
      if (!flag(options.trace)) {
        return false;
      }
    } else if (arg == "--ack-without-result") {
      if (!flag(options.behaviour.ackWithoutResult)) {
        return false;
      }
    } else if (arg == "--stray") {
      if (!flag(options.faults.wire.stray)) {
        return false;
      }
    } else if (arg == "--bad-fcs") {
      if (!flag(options.faults.wire.badFcs)) {
        return false;
      }
    } else if (arg == "--port") {
      if (!needValue() || !ParseNumber(value, 1, 65535, options.port)) {
        return hasValue && bad("a port number from 1 to 65535");
      }
    } else if (arg == "--state") {
      if (!needValue()) {
        return false;
      }
      if (value.empty()) {
        return bad("a file name");
      }
      options.stateFile = value;
    } else if (arg == "--turnaround-ms") {
      if (!needValue() || !ParseNumber(value, 0UL, kMaxMs, number)) {
        return hasValue && bad("a number of milliseconds up to an hour");
      }
      options.timing.turnaround = std::chrono::milliseconds(number);
    } else if (arg == "--baud") {
      if (!needValue() || !ParseNumber(value, 1U, 100'000'000U, options.timing.baud)) {
        return hasValue && bad("a rate in bit/s");
      }
    } else if (arg == "--chunk") {
      if (!needValue() ||
          !ParseNumber(value, std::size_t{1}, std::size_t{65535}, options.timing.chunk)) {
        return hasValue && bad("a number of bytes from 1 up");
      }
    } else if (arg == "--gap-ms") {
      if (!needValue() || !ParseNumber(value, 0UL, kMaxMs, number)) {
        return hasValue && bad("a number of milliseconds up to an hour");
      }
      options.timing.gap = std::chrono::milliseconds(number);
    } else if (arg == "--refuse") {
      if (!needValue() || !ParseObjectList(value, options.behaviour.refuse)) {
        return hasValue && bad("a list of config,rest,ntp,period,password,factory");
      }
    } else if (arg == "--store-differently") {
      std::set<std::uint8_t> one;
      if (!needValue() || !ParseObjectList(value, one) || one.size() != 1 ||
          *one.begin() == ObjFactorySettings) {
        return hasValue && bad("one of config,rest,ntp,period,password");
      }
      options.behaviour.storeDifferently = *one.begin();
    } else if (arg == "--silent-after") {
      std::size_t replies = 0;
      if (!needValue() ||
          !ParseNumber(value, std::size_t{0}, std::numeric_limits<std::size_t>::max(), replies)) {
        return hasValue && bad("a number of replies");
      }
      options.faults.silentAfter = replies;
    } else if (arg == "--hangup-after-bytes") {
      std::size_t bytes = 0;
      if (!needValue() ||
          !ParseNumber(value, std::size_t{0}, std::numeric_limits<std::size_t>::max(), bytes)) {
        return hasValue && bad("a number of bytes");
      }
      options.faults.hangUpAfterBytes = bytes;
    } else {
      error = "unknown option " + std::string(arg);
      return false;
    }
  }
  if (options.timing.gap.count() > 0 && options.timing.chunk == 0) {
    error = "--gap-ms needs --chunk";
    return false;
  }
  return true;
}

std::string SimUsage() {
  return R"(Usage: ethconf-sim [options]

Simulates the Ethernet module on a pseudo-terminal and gives it a port number: the link COM<n>
in the port folder ($XDG_RUNTIME_DIR/ethconf/ports/, or /tmp/ethconf-<uid>/ports/). Prints
"COM<n> <device>" on standard output once the port is ready, and serves until interrupted
(SIGINT, SIGTERM); the link is removed on exit.

  --port N                 use port number N (default: the first free one from 100 up)
  --state FILE             load the module's records from FILE (when it exists) and save every
                           change to it
  --trace                  print every frame, readably, on standard error
  --help                   show this text

Timing:
  --turnaround-ms MS       wait MS ms between a request and its reply
  --baud B                 pace the line at B bit/s (10 bits a byte), the request included
  --chunk BYTES            send replies in pieces of BYTES bytes
  --gap-ms MS              pause MS ms between pieces (needs --chunk)

Faults:
  --refuse LIST            refuse writes of the listed objects with result 0; LIST is a comma-
                           separated choice of config,rest,ntp,period,password,factory
  --ack-without-result     acknowledge writes and the factory reset without a result byte, and
                           store nothing
  --store-differently OBJ  acknowledge writes of OBJ but store them with the first byte altered
  --silent-after K         answer K requests, then none
  --stray                  send two bytes that belong to no frame ahead of every reply
  --bad-fcs                send every reply with a wrong checksum
  --hangup-after-bytes N   hang up the line after N reply bytes and exit
)";
}

}  // namespace ethconf::sim
