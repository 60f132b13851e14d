#pragma once
// Reading a process tree from /proc, for the benchmarks that start the real program.

#include <dirent.h>
#include <sys/types.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace benchsupport {

inline std::string slurp(const std::string& path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// root and every process below it.
inline std::vector<pid_t> treeOf(pid_t root) {
  std::vector<std::pair<pid_t, pid_t>> all;  // pid, ppid
  if (DIR* d = opendir("/proc")) {
    while (dirent* e = readdir(d)) {
      const pid_t p = static_cast<pid_t>(std::atoi(e->d_name));
      if (p <= 0) continue;
      const std::string stat = slurp(std::string("/proc/") + e->d_name + "/stat");
      const auto close = stat.rfind(')');
      if (close == std::string::npos) continue;
      std::istringstream rest(stat.substr(close + 2));
      char state = 0;
      pid_t ppid = 0;
      rest >> state >> ppid;
      all.emplace_back(p, ppid);
    }
    closedir(d);
  }
  std::vector<pid_t> tree{root};
  for (std::size_t i = 0; i < tree.size(); ++i) {
    for (const auto& [p, pp] : all) {
      if (pp == tree[i]) tree.push_back(p);
    }
  }
  return tree;
}

}  // namespace benchsupport
