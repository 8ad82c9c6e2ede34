#pragma once
// The tool's exit statuses; --help lists them.

namespace ethconf::cli {

inline constexpr int kExitOk = 0;
// The module did not answer, refused a write or returned something else than was written.
inline constexpr int kExitDevice = 1;
// diff: the files differ.
inline constexpr int kExitDiffers = 1;
// The command line cannot be acted on.
inline constexpr int kExitUsage = 2;
// A port could not be opened: missing device, busy, no permission.
inline constexpr int kExitPort = 3;
// A file could not be read or written, or is not a valid configuration.
inline constexpr int kExitFile = 4;

}  // namespace ethconf::cli
