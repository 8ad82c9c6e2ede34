#include "tools/sim/sim_options.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <limits>
#include <optional>
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
  constexpr std::size_t kUnlimited = std::numeric_limits<std::size_t>::max();
  struct TFlag {
    std::string_view name;
    bool* target;
  };
  const TFlag flags[] = {
      {"--help", &options.help},
      {"-h", &options.help},
      {"--trace", &options.trace},
      {"--ack-without-result", &options.behaviour.ackWithoutResult},
      {"--stray", &options.faults.wire.stray},
      {"--bad-fcs", &options.faults.wire.badFcs},
  };
  // Each option with a value: what the value must be, and how it is taken (false: refused).
  struct TValued {
    std::string_view name;
    const char* expected;
    std::function<bool(std::string_view)> take;
  };
  const auto milliseconds = [&](std::chrono::microseconds& target) {
    return [&target, kMaxMs](std::string_view v) {
      unsigned long ms = 0;
      if (!ParseNumber(v, 0UL, kMaxMs, ms)) {
        return false;
      }
      target = std::chrono::milliseconds(ms);
      return true;
    };
  };
  const auto count = [&](std::optional<std::size_t>& target) {
    return [&target, kUnlimited](std::string_view v) {
      std::size_t n = 0;
      if (!ParseNumber(v, std::size_t{0}, kUnlimited, n)) {
        return false;
      }
      target = n;
      return true;
    };
  };
  const TValued valued[] = {
      {"--port", "a port number from 1 to 65535",
       [&](std::string_view v) { return ParseNumber(v, 1, 65535, options.port); }},
      {"--state", "a file name",
       [&](std::string_view v) {
         options.stateFile = v;
         return !v.empty();
       }},
      {"--turnaround-ms", "a number of milliseconds up to an hour",
       milliseconds(options.timing.turnaround)},
      {"--baud", "a rate in bit/s",
       [&](std::string_view v) { return ParseNumber(v, 1U, 100'000'000U, options.timing.baud); }},
      {"--chunk", "a number of bytes from 1 up",
       [&](std::string_view v) {
         return ParseNumber(v, std::size_t{1}, std::size_t{65535}, options.timing.chunk);
       }},
      {"--gap-ms", "a number of milliseconds up to an hour", milliseconds(options.timing.gap)},
      {"--refuse", "a list of config,rest,ntp,period,password,factory",
       [&](std::string_view v) { return ParseObjectList(v, options.behaviour.refuse); }},
      {"--store-differently", "one of config,rest,ntp,period,password",
       [&](std::string_view v) {
         std::set<std::uint8_t> one;
         if (!ParseObjectList(v, one) || one.size() != 1 || one.contains(ObjFactorySettings)) {
           return false;
         }
         options.behaviour.storeDifferently = *one.begin();
         return true;
       }},
      {"--silent-after", "a number of replies", count(options.faults.silentAfter)},
      {"--hangup-after-bytes", "a number of bytes", count(options.faults.hangUpAfterBytes)},
  };

  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view arg = args[i];
    std::optional<std::string_view> value;
    if (const auto equals = arg.find('='); arg.starts_with("--") && equals != arg.npos) {
      value = arg.substr(equals + 1);
      arg = arg.substr(0, equals);
    }
    const auto flag = std::find_if(std::begin(flags), std::end(flags),
                                   [&](const TFlag& f) { return f.name == arg; });
    if (flag != std::end(flags)) {
      if (value) {
        error = std::string(arg) + " takes no value";
        return false;
      }
      *flag->target = true;
      continue;
    }
    const auto option = std::find_if(std::begin(valued), std::end(valued),
                                     [&](const TValued& o) { return o.name == arg; });
    if (option == std::end(valued)) {
      error = "unknown option " + std::string(arg);
      return false;
    }
    if (!value) {
      if (i + 1 >= args.size()) {
        error = std::string(arg) + " needs a value";
        return false;
      }
      value = args[++i];
    }
    if (!option->take(*value)) {
      error = std::string(arg) + ": \"" + std::string(*value) + "\" is not " + option->expected;
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
