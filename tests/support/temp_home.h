#pragma once

#include <string>

namespace testsupport {

// A fresh HOME for the whole test process, made before QApplication so that every
// per-user path (settings, data, cache) lands inside it. Removed at exit.
class TempHome {
 public:
  TempHome();
  ~TempHome();
  TempHome(const TempHome&) = delete;
  TempHome& operator=(const TempHome&) = delete;

  [[nodiscard]] const std::string& path() const { return m_path; }

 private:
  std::string m_path;
};

}  // namespace testsupport
