#include "support/temp_home.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace testsupport {

TempHome::TempHome() {
  std::string pattern = (std::filesystem::temp_directory_path() / "hushleaf-home-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot create a temporary HOME");
  }
  m_path = pattern;
  setenv("HOME", m_path.c_str(), 1);
  for (const char* var : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"}) {
    unsetenv(var);
  }
  const std::string runtime = m_path + "/.runtime";
  std::filesystem::create_directories(runtime);
  std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
}

TempHome::~TempHome() {
  std::error_code ignored;
  std::filesystem::remove_all(m_path, ignored);
}

}  // namespace testsupport
