#pragma once
// The exchange sequencer's states; the ordinals are fixed.

#include <cstdint>

namespace ethconf {

enum TMachineState : std::uint8_t {
  msNone = 0,
  msReadVersion = 1,
  msReadStatus = 2,
  msReadConfig = 3,
  msReadREST = 4,
  msReadNTP = 5,
  msReadPeriod = 6,
  msReadLoginPassword = 7,
  msReadToken = 8,
  msWriteConfig = 9,
  msWriteREST = 10,
  msWriteNTP = 11,
  msWritePeriod = 12,
  msWriteLoginPassword = 13,
  msFactorySettings = 14,
  msWriteError = 15,
  msTimeOutError = 16,
};

}  // namespace ethconf
