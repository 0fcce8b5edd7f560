#include "test_support/temp_directory.hpp"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace nkp::test_support {

temp_directory::temp_directory() {
    auto pattern = (std::filesystem::temp_directory_path() / "brimwatch-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed for " + pattern);
    }
    m_path = pattern;
}

temp_directory::~temp_directory() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::filesystem::path temp_directory::write_file(const std::string& _name,
                                                 const std::string& _content) const {
    const auto file_path = m_path / _name;
    std::ofstream file(file_path, std::ios::binary | std::ios::trunc);
    file << _content;
    if (!file) {
        throw std::runtime_error("cannot write " + file_path.string());
    }
    return file_path;
}

std::string read_file(const std::filesystem::path& _path) {
    std::ifstream file(_path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

} // namespace nkp::test_support
