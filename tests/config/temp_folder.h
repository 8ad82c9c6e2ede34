#pragma once
// A fresh folder for one test, removed with everything in it afterwards.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>

#include "protocol/byte_string.h"

namespace ethconf {

class TTempFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    m_folder = std::filesystem::temp_directory_path() /
               ("ethconf-config-" + std::to_string(random()) + "-" + std::to_string(random()));
    std::filesystem::create_directories(m_folder);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::permissions(m_folder, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_folder, ignored);
  }

  const std::filesystem::path& Folder() const { return m_folder; }

  static void WriteBytes(const std::filesystem::path& path, const ByteString& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }

  static ByteString ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return ByteString(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  std::set<std::string> FolderContents() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder)) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }

 private:
  std::filesystem::path m_folder;
};

}  // namespace ethconf
