// The per-user port folder and the device path for a port number on POSIX systems.

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "serial/port_names.h"

namespace ethconf {
namespace {

std::runtime_error FolderError(const std::filesystem::path& folder, const std::string& why) {
  return std::runtime_error("Port folder " + folder.string() + " " + why);
}

// Another user could otherwise plant links that send us to a device of their choosing.
void CheckFolderIsSafe(const std::filesystem::path& folder, const struct stat& info) {
  if (!S_ISDIR(info.st_mode)) {
    throw FolderError(folder, "is not a folder");
  }
  if (info.st_uid != ::geteuid()) {
    throw FolderError(folder, "belongs to another user");
  }
  if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
    throw FolderError(folder, "may be written by other users");
  }
}

// The folder's own status, not its link target's; false when it does not exist.
bool FolderStatus(const std::filesystem::path& folder, struct stat& info) {
  if (::lstat(folder.c_str(), &info) == 0) {
    return true;
  }
  if (errno == ENOENT) {
    return false;
  }
  throw FolderError(folder, std::string("cannot be examined: ") + std::strerror(errno));
}

}  // namespace

TPortRoots DefaultPortRoots() {
  TPortRoots roots;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') {
    roots.PortFolder = std::filesystem::path(runtime) / "ethconf" / "ports";
  } else {
    roots.PortFolder =
        std::filesystem::path("/tmp") / ("ethconf-" + std::to_string(::geteuid())) / "ports";
  }
  roots.DeviceFolder = "/dev";
  return roots;
}

std::filesystem::path PortFolder(const TPortRoots& roots) {
  const std::filesystem::path& folder = roots.PortFolder;
  // The folder and the parent made for it ("ethconf", "ethconf-<uid>") are ours alone; a
  // parent that already exists (the runtime folder, /tmp) is left as it is.
  for (const std::filesystem::path& step : {folder.parent_path(), folder}) {
    struct stat info {};
    if (!FolderStatus(step, info)) {
      if (::mkdir(step.c_str(), 0700) != 0 && errno != EEXIST) {
        throw FolderError(step, std::string("cannot be created: ") + std::strerror(errno));
      }
      if (!FolderStatus(step, info)) {
        throw FolderError(step, "vanished while being created");
      }
      CheckFolderIsSafe(step, info);
    } else if (step == folder) {
      CheckFolderIsSafe(step, info);
    } else if (!S_ISDIR(info.st_mode)) {
      throw FolderError(step, "is not a folder");
    }
  }
  return folder;
}

std::string DevicePathForPort(std::uint16_t port, const TPortRoots& roots) {
  if (port == 0) {
    return {};
  }
  struct stat folderInfo {};
  if (FolderStatus(roots.PortFolder, folderInfo)) {
    CheckFolderIsSafe(roots.PortFolder, folderInfo);
    const std::filesystem::path link = roots.PortFolder / ("COM" + std::to_string(port));
    struct stat linkInfo {};
    if (::lstat(link.c_str(), &linkInfo) == 0) {
      return link.string();
    }
  }
  const std::string file = DeviceFileForPort(port);
  return file.empty() ? std::string() : (roots.DeviceFolder / file).string();
}

std::string DeviceNameForPort(std::uint16_t port) {
  return DevicePathForPort(port, DefaultPortRoots());
}

}  // namespace ethconf
