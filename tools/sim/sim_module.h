#pragma once
// The simulated module's objects and its answers to requests, without any wire or timing.

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "protocol/byte_string.h"
#include "protocol/device_records.h"

namespace ethconf::sim {

// How the simulated module deviates from a sound one in what it answers.
struct TSimBehaviour {
  // Object ids (ObjFactorySettings included) whose writes are answered with result 0.
  std::set<std::uint8_t> refuse;
  // Writes and the factory reset are acknowledged without a result byte, and nothing is stored.
  bool ackWithoutResult = false;
  // Writes of this object are acknowledged with 1 but stored with their first byte altered.
  std::optional<std::uint8_t> storeDifferently;
};

// The records a module leaves the factory with.
TDeviceRecords FactoryDefaults();

// The address a module on DHCP reports as its current one.
inline constexpr TIpv4 kDhcpLeaseAddress{192, 168, 1, 57};

// The module: holds its records and answers one request payload at a time. Safe to inspect from
// another thread while it serves.
class TSimulatedModule {
 public:
  // Called after every change of the stored records, with the new records, under no lock.
  using TChangeHandler = std::function<void(const TDeviceRecords&)>;

  explicit TSimulatedModule(TDeviceRecords records = FactoryDefaults(),
                            TSimBehaviour behaviour = {});

  void SetChangeHandler(TChangeHandler handler);

  // The reply payload to a request payload, or nothing when the module stays silent: for
  // payloads that are no request, for replies echoed back, and for reads of unknown objects.
  std::optional<ByteString> Answer(ByteView request);

  TDeviceRecords Records() const;
  void SetRecords(const TDeviceRecords& records);

 private:
  ByteString Read(std::uint8_t objectId);
  ByteString Write(std::uint8_t objectId, ByteView data);

  mutable std::mutex m_mutex;
  TDeviceRecords m_records;
  TSimBehaviour m_behaviour;
  TChangeHandler m_onChange;
};

// A short name of an object id ("config", "rest", ...), or its value in hex for unknown ids.
std::string ObjectName(std::uint8_t objectId);

// The object id for a name as ObjectName gives it, for the writable objects and "factory".
std::optional<std::uint8_t> WritableObjectByName(std::string_view name);

}  // namespace ethconf::sim
