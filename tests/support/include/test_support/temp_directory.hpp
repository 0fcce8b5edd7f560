#pragma once

#include <filesystem>
#include <string>

namespace nkp::test_support {

// A fresh directory under the system's temporary directory, removed with everything in it.
class temp_directory {
public:
    temp_directory();
    ~temp_directory();
    temp_directory(const temp_directory&) = delete;
    temp_directory& operator=(const temp_directory&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // Writes a file in the directory and returns its path.
    std::filesystem::path write_file(const std::string& _name, const std::string& _content) const;

private:
    std::filesystem::path m_path;
};

std::string read_file(const std::filesystem::path& _path);

} // namespace nkp::test_support
