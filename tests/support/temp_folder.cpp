#include "temp_folder.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace velmora::testing {

TTempFolder::TTempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "velmora-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
  Path_ = pattern;
}

TTempFolder::~TTempFolder() {
  std::error_code error;
  std::filesystem::permissions(Path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, error);
  std::filesystem::remove_all(Path_, error);
}

TEnvironmentGuard::TEnvironmentGuard(std::string name, std::optional<std::string> value) : Name_(std::move(name)) {
  if (const char* old = std::getenv(Name_.c_str())) Old_ = old;
  if (value) {
    setenv(Name_.c_str(), value->c_str(), 1);
  } else {
    unsetenv(Name_.c_str());
  }
}

TEnvironmentGuard::~TEnvironmentGuard() {
  if (Old_) {
    setenv(Name_.c_str(), Old_->c_str(), 1);
  } else {
    unsetenv(Name_.c_str());
  }
}

std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream stream(file, std::ios::binary);
  std::stringstream buffer;
  buffer << stream.rdbuf();
  return buffer.str();
}

void WriteFile(const std::filesystem::path& file, const std::string& content) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream stream(file, std::ios::binary | std::ios::trunc);
  stream << content;
}

}  // namespace velmora::testing
