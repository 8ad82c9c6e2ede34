#include "tools/sim/sim_module.h"

#include <cstdio>
#include <string_view>
#include <utility>

#include "protocol/ansi_codepage.h"
#include "protocol/constants.h"
#include "protocol/records.h"

namespace ethconf::sim {
namespace {

template <std::size_t N>
TCharField<N> Chars(std::string_view utf8) {
  TCharField<N> field;
  const ByteString ansi = Utf8ToAnsi(utf8);
  for (std::size_t i = 0; i < ansi.size() && i < N; ++i) {
    field.bytes[i] = ansi[i];
  }
  return field;
}

template <class R>
ByteString ImageBytes(const R& record) {
  const TImage<R> image = ToImage(record);
  return ByteString(image.begin(), image.end());
}

// Replaces the record by the written image, or reports that the image has the wrong size.
template <class R>
bool Store(R& record, ByteView data, bool alter) {
  if (data.size() != R::kSize) {
    return false;
  }
  TImage<R> image;
  std::copy(data.begin(), data.end(), image.begin());
  if (alter) {
    image[0] ^= 0x01U;
  }
  FromImage(record, std::span<const std::uint8_t, R::kSize>(image));
  return true;
}

}  // namespace

TDeviceRecords FactoryDefaults() {
  TDeviceRecords r;
  r.FEthVersion.Major = 2;
  r.FEthVersion.Minor = 7;
  r.FEthVersion.CompilationDate = Chars<12>("Mar 14 2025");
  r.FEthVersion.CompilationTime = Chars<9>("10:42:07");

  r.FEthStatus.Status = 1;
  r.FEthStatus.StatusTxt = Chars<32>("Połączony z siecią");
  r.FEthStatus.IP = kDhcpLeaseAddress;
  // Holds both bytes that need escaping on the wire, so every status reply exercises stuffing.
  r.FEthStatus.MAC = {0x02, 0x7D, 0x45, 0x54, 0x7E, 0x01};

  r.FEthToken.Token = Chars<16>("K7Q2M9X4T6B1F3A8");

  r.FEthConfig.DHCP = 1;
  r.FEthConfig.IP = {192, 168, 1, 100};
  r.FEthConfig.Mask = {255, 255, 255, 0};
  r.FEthConfig.Gateway = {192, 168, 1, 1};
  r.FEthConfig.DNS = {192, 168, 1, 1};
  r.FEthConfig.Port = 2222;

  r.FEthREST.Address1 = Chars<65>("api.example.com");
  r.FEthREST.Port1 = 443;
  r.FEthREST.Address2 = Chars<65>("backup.example.com");
  r.FEthREST.Port2 = 443;
  r.FEthREST.SELAddress = Chars<65>("sel.example.com");
  r.FEthREST.Key = Chars<41>("");

  r.FEthNTP.Address = Chars<65>("pool.ntp.org");
  r.FEthNTP.Port = 123;
  r.FEthNTP.SyncHour = 3;
  r.FEthNTP.SyncMinute = 0;

  r.FEthPeriod.DataInterval = 60;
  r.FEthPeriod.RESTInterval = 300;

  r.FEthPassword.Password = Chars<21>("admin");
  return r;
}

TSimulatedModule::TSimulatedModule(TDeviceRecords records, TSimBehaviour behaviour)
    : m_records(records), m_behaviour(std::move(behaviour)) {}

void TSimulatedModule::SetChangeHandler(TChangeHandler handler) {
  const std::lock_guard lock(m_mutex);
  m_onChange = std::move(handler);
}

TDeviceRecords TSimulatedModule::Records() const {
  const std::lock_guard lock(m_mutex);
  return m_records;
}

void TSimulatedModule::SetRecords(const TDeviceRecords& records) {
  const std::lock_guard lock(m_mutex);
  m_records = records;
}

std::optional<ByteString> TSimulatedModule::Answer(ByteView request) {
  if (request.size() < 2) {
    return std::nullopt;
  }
  const std::uint8_t code = request[0];
  const std::uint8_t objectId = request[1];
  std::optional<ByteString> reply;
  TDeviceRecords changed;
  TChangeHandler onChange;
  {
    const std::lock_guard lock(m_mutex);
    if (code == CmdRead && request.size() == 2) {
      ByteString data = Read(objectId);
      if (!data.empty()) {
        reply = ByteString{CmdReply, objectId};
        reply->insert(reply->end(), data.begin(), data.end());
      }
    } else if (code == CmdWrite) {
      const TDeviceRecords before = m_records;
      reply = Write(objectId, request.subspan(2));
      if (!(m_records == before)) {
        changed = m_records;
        onChange = m_onChange;
      }
    }
  }
  if (onChange) {
    onChange(changed);
  }
  return reply;
}

ByteString TSimulatedModule::Read(std::uint8_t objectId) {
  if (objectId == ObjStatus) {
    // The current address follows the configuration: the lease on DHCP, else the static one.
    TEthStatus status = m_records.FEthStatus;
    status.IP = m_records.FEthConfig.DHCP == 1 ? kDhcpLeaseAddress : m_records.FEthConfig.IP;
    return ImageBytes(status);
  }
  ByteString out;
  VisitRecord(std::as_const(m_records), objectId,
              [&](const auto& record) { out = ImageBytes(record); });
  return out;
}

ByteString TSimulatedModule::Write(std::uint8_t objectId, ByteView data) {
  ByteString ack{CmdReply, objectId};
  if (m_behaviour.refuse.contains(objectId)) {
    ack.push_back(0);
    return ack;
  }
  if (m_behaviour.ackWithoutResult) {
    return ack;
  }
  const bool alter = m_behaviour.storeDifferently == objectId;
  bool stored = false;
  switch (objectId) {
    case ObjConfig:
      stored = Store(m_records.FEthConfig, data, alter);
      break;
    case ObjREST:
      stored = Store(m_records.FEthREST, data, alter);
      break;
    case ObjNTP:
      stored = Store(m_records.FEthNTP, data, alter);
      break;
    case ObjPeriod:
      stored = Store(m_records.FEthPeriod, data, alter);
      break;
    case ObjPassword:
      stored = Store(m_records.FEthPassword, data, alter);
      break;
    case ObjFactorySettings:
      if (data.empty()) {
        // Identity and status belong to the hardware; only the settings go back to defaults.
        const TDeviceRecords defaults = FactoryDefaults();
        m_records.FEthConfig = defaults.FEthConfig;
        m_records.FEthREST = defaults.FEthREST;
        m_records.FEthNTP = defaults.FEthNTP;
        m_records.FEthPeriod = defaults.FEthPeriod;
        m_records.FEthPassword = defaults.FEthPassword;
        stored = true;
      }
      break;
    default:
      break;  // version, status and token are read only
  }
  ack.push_back(stored ? 1 : 0);
  return ack;
}

std::string ObjectName(std::uint8_t objectId) {
  switch (objectId) {
    case ObjVersion:
      return "version";
    case ObjStatus:
      return "status";
    case ObjConfig:
      return "config";
    case ObjToken:
      return "token";
    case ObjREST:
      return "rest";
    case ObjPeriod:
      return "period";
    case ObjNTP:
      return "ntp";
    case ObjPassword:
      return "password";
    case ObjFactorySettings:
      return "factory";
    default:
      break;
  }
  char hex[8];
  std::snprintf(hex, sizeof hex, "0x%02X", objectId);
  return hex;
}

std::optional<std::uint8_t> WritableObjectByName(std::string_view name) {
  for (const std::uint8_t id :
       {ObjConfig, ObjREST, ObjNTP, ObjPeriod, ObjPassword, ObjFactorySettings}) {
    if (ObjectName(id) == name) {
      return id;
    }
  }
  return std::nullopt;
}

}  // namespace ethconf::sim
