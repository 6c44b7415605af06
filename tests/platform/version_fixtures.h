#pragma once
// A temporary directory for the version-resource tests' fixture files, removed with
// everything written to it.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "pe_builder.h"

namespace quavik::testing {

// A directory of its own under the test temporary directory, removed with everything in it.
class TempDir {
  public:
    TempDir() {
        std::string pattern = ::testing::TempDir() + "quavik-version-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            ADD_FAILURE() << "cannot create a temporary directory from " << pattern;
        }
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // Writes `bytes` to `name` in the directory and returns the file's path.
    std::string write(std::string_view name, const Bytes& bytes) const {
        const std::filesystem::path file = path_ / name;
        std::ofstream stream(file, std::ios::binary | std::ios::trunc);
        stream.write(reinterpret_cast<const char*>(bytes.data()),
                     static_cast<std::streamsize>(bytes.size()));
        EXPECT_TRUE(stream.good()) << "cannot write " << file;
        return file.string();
    }
    std::string write_text(std::string_view name, std::string_view text) const {
        return write(name, Bytes(text.begin(), text.end()));
    }

  private:
    std::filesystem::path path_;
};

}  // namespace quavik::testing
