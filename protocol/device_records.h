#pragma once
// The eight device records of one module, kept together by their owner and lent to the
// sequencer, the editor mapping and the file commands.

#include <concepts>
#include <cstdint>
#include <type_traits>

#include "protocol/constants.h"
#include "protocol/records.h"

namespace ethconf {

struct TDeviceRecords {
  TEthVersion FEthVersion;
  TEthStatus FEthStatus;
  TEthConfig FEthConfig;
  TEthToken FEthToken;
  TEthREST FEthREST;
  TEthPeriod FEthPeriod;
  TEthNTP FEthNTP;
  TEthPassword FEthPassword;
  friend bool operator==(const TDeviceRecords&, const TDeviceRecords&) = default;
};

// Calls visit with the record that holds the object's image. Returns false, without calling it,
// for an id that names no record (the factory-settings command, unknown ids).
template <class Records, class Visit>
requires std::same_as<std::remove_const_t<Records>, TDeviceRecords>
bool VisitRecord(Records& records, std::uint8_t objectId, Visit&& visit) {
  switch (objectId) {
    case ObjVersion:
      visit(records.FEthVersion);
      return true;
    case ObjStatus:
      visit(records.FEthStatus);
      return true;
    case ObjConfig:
      visit(records.FEthConfig);
      return true;
    case ObjToken:
      visit(records.FEthToken);
      return true;
    case ObjREST:
      visit(records.FEthREST);
      return true;
    case ObjPeriod:
      visit(records.FEthPeriod);
      return true;
    case ObjNTP:
      visit(records.FEthNTP);
      return true;
    case ObjPassword:
      visit(records.FEthPassword);
      return true;
    default:
      return false;
  }
}

}  // namespace ethconf
