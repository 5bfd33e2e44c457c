#pragma once

#include "engine/DlThread.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace enginetest {

// A fresh folder under the system's temporary folder, removed with everything in it when the
// test ends.
class TempDir {
public:
    TempDir()
    {
        std::random_device random;
        m_path = std::filesystem::temp_directory_path() / ("fetchwick-engine-" + std::to_string(random()) + "-" + std::to_string(random()));
        std::filesystem::create_directories(m_path);
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::u16string text() const { return m_path.u16string(); }

    // A file of the given size (its bytes are zeros) at name inside the folder.
    std::filesystem::path makeFile(const std::u16string& name, uint64_t size) const
    {
        std::filesystem::path file = m_path / std::filesystem::path(name);
        std::ofstream(file, std::ios::binary).close();
        std::filesystem::resize_file(file, size);
        return file;
    }

private:
    std::filesystem::path m_path;
};

inline std::string Utf8(std::u16string_view text)
{
    return std::filesystem::path(std::u16string(text)).string();
}

inline std::string ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}
