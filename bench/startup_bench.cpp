// Start-up of the real program against a bare Qt WebEngine program, observed from
// outside so that the product needs no hook: each run starts the program under a private
// Xvfb (the test kit's XSession) with a fresh HOME and reads its window's pixels from the
// X server until the page's grey text is on the screen (the bare program shows the same
// text). The bare program also reports its own loadFinished time, which shows how far
// painting trails the load. Memory is the resident set of the program and all its engine helper
// processes, 1.5 s after the page is shown.
#include "process_tree.h"
#include "support/x_session.h"

#include <xcb/xcb.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using benchsupport::treeOf;

constexpr int kRuns = 5;
constexpr int kSettleMs = 1500;
constexpr int kTimeoutMs = 30000;
constexpr int kTextPixels = 300;  // the start page shows several thousand

long long monotonicNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// --- X observation -----------------------------------------------------------------
class XWatch {
 public:
  explicit XWatch(const std::string& display) {
    m_c = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(m_c)) {
      std::fprintf(stderr, "cannot connect to %s\n", display.c_str());
      std::exit(1);
    }
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
    m_pidAtom = atom("_NET_WM_PID");
  }
  ~XWatch() { xcb_disconnect(m_c); }

  // Grey text pixels (the pages' text is gray on white) in the page area of pid's largest
  // mapped top-level window: below the first 120 rows, which hold the real program's
  // menu, toolbar and address box, and above its status bar.
  int pageTextPixels(pid_t pid) {
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(m_c, xcb_query_tree(m_c, m_root), nullptr);
    if (tree == nullptr) return 0;
    xcb_window_t best = 0;
    int bestArea = 0, bestW = 0, bestH = 0;
    const xcb_window_t* kids = xcb_query_tree_children(tree);
    const int n = xcb_query_tree_children_length(tree);
    for (int i = 0; i < n; ++i) {
      if (cardinal(kids[i], m_pidAtom) != static_cast<uint32_t>(pid)) continue;
      auto* attr =
          xcb_get_window_attributes_reply(m_c, xcb_get_window_attributes(m_c, kids[i]), nullptr);
      const bool viewable = attr != nullptr && attr->map_state == XCB_MAP_STATE_VIEWABLE;
      std::free(attr);
      if (!viewable) continue;
      auto* geo = xcb_get_geometry_reply(m_c, xcb_get_geometry(m_c, kids[i]), nullptr);
      if (geo != nullptr && geo->width * geo->height > bestArea) {
        best = kids[i];
        bestArea = geo->width * geo->height;
        bestW = geo->width;
        bestH = geo->height;
      }
      std::free(geo);
    }
    std::free(tree);
    constexpr int kTop = 120, kBottom = 40;
    if (best == 0 || bestH <= kTop + kBottom) return 0;
    const int h = bestH - kTop - kBottom;
    auto* img = xcb_get_image_reply(
        m_c,
        xcb_get_image(m_c, XCB_IMAGE_FORMAT_Z_PIXMAP, best, 0, kTop, static_cast<uint16_t>(bestW),
                      static_cast<uint16_t>(h), ~0u),
        nullptr);
    if (img == nullptr) return 0;
    const uint8_t* px = xcb_get_image_data(img);
    const int len = xcb_get_image_data_length(img);
    int grey = 0;
    for (int i = 0; i + 3 < len; i += 4) {  // BGRX
      const uint8_t b = px[i], g = px[i + 1], r = px[i + 2];
      if (r == g && g == b && r >= 96 && r <= 176) ++grey;
    }
    std::free(img);
    return grey;
  }

 private:
  xcb_atom_t atom(const char* name) {
    auto* r = xcb_intern_atom_reply(
        m_c, xcb_intern_atom(m_c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : 0;
    std::free(r);
    return a;
  }
  uint32_t cardinal(xcb_window_t w, xcb_atom_t prop) {
    auto* r = xcb_get_property_reply(
        m_c, xcb_get_property(m_c, 0, w, prop, XCB_ATOM_CARDINAL, 0, 1), nullptr);
    uint32_t v = 0;
    if (r != nullptr && xcb_get_property_value_length(r) == 4) {
      std::memcpy(&v, xcb_get_property_value(r), 4);
    }
    std::free(r);
    return v;
  }

  xcb_connection_t* m_c;
  xcb_window_t m_root;
  xcb_atom_t m_pidAtom;
};

// --- memory of a process tree --------------------------------------------------------
long statusKb(pid_t pid, const char* field) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(field, 0) == 0)
      return std::strtol(line.c_str() + std::strlen(field), nullptr, 10);
  }
  return 0;
}

long pssKb(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/smaps_rollup");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("Pss:", 0) == 0) return std::strtol(line.c_str() + 4, nullptr, 10);
  }
  return 0;
}

// --- one run ---------------------------------------------------------------------------
struct Run {
  double shownMs = -1;  // start -> the page's text is on the screen
  double loadMs = -1;   // start -> loadFinished (bare program only)
  long rssKb = 0;       // summed over the tree
  long pssKb = 0;
  int processes = 0;
};

Run runOnce(const testsupport::XSession& x, const std::vector<std::string>& argv,
            bool readsLoadLine) {
  const std::filesystem::path home =
      std::filesystem::temp_directory_path() / ("startup-bench-" + std::to_string(getpid()));
  std::filesystem::remove_all(home);
  std::filesystem::create_directories(home / ".runtime");
  std::filesystem::permissions(home / ".runtime", std::filesystem::perms::owner_all);

  std::array<int, 2> out{};
  if (pipe(out.data()) != 0) std::exit(1);
  Run run;
  XWatch watch(x.display());
  const long long start = monotonicNs();
  const pid_t pid = fork();
  if (pid == 0) {
    setpgid(0, 0);
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    close(out[1]);
    const int devnull = open("/dev/null", O_WRONLY);
    if (devnull >= 0) dup2(devnull, STDERR_FILENO);
    setenv("DISPLAY", x.display().c_str(), 1);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (home / ".runtime").c_str(), 1);
    for (const char* v :
         {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "WAYLAND_DISPLAY"}) {
      unsetenv(v);
    }
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  setpgid(pid, pid);
  close(out[1]);

  const long long deadline = start + kTimeoutMs * 1000000LL;
  while (monotonicNs() < deadline) {
    if (watch.pageTextPixels(pid) >= kTextPixels) {
      run.shownMs = static_cast<double>(monotonicNs() - start) / 1e6;
      break;
    }
    if (waitpid(pid, nullptr, WNOHANG) == pid) break;
    sleepMs(1);
  }
  if (readsLoadLine) {
    std::string line;
    char c = 0;
    while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
    long long at = 0;
    int ok = 0;
    if (std::sscanf(line.c_str(), "loadFinished %d %lld", &ok, &at) == 2 && ok == 1) {
      run.loadMs = static_cast<double>(at - start) / 1e6;
    }
  }
  sleepMs(kSettleMs);
  for (const pid_t p : treeOf(pid)) {
    run.rssKb += statusKb(p, "VmRSS:");
    run.pssKb += pssKb(p);
    ++run.processes;
  }
  kill(-pid, SIGTERM);
  for (int i = 0; i < 200 && waitpid(pid, nullptr, WNOHANG) != pid; ++i) sleepMs(10);
  kill(-pid, SIGKILL);
  waitpid(pid, nullptr, WNOHANG);
  close(out[0]);
  sleepMs(300);  // helper processes go with their group
  std::filesystem::remove_all(home);
  return run;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main() {
  testsupport::XSession x;
  // The bare program's page: the same text the real program's start page carries.
  const std::filesystem::path page = std::filesystem::temp_directory_path() /
                                     ("startup-bench-page-" + std::to_string(getpid()) + ".htm");
  {
    std::ofstream f(page);
    f << "<html><head><title>page</title><style>body, a { color: gray; font-family: sans-serif; }"
         "</style></head><body><p>Welcome.</p><p>Reminder:<br>Once the ZodorAzev button is "
         "depressed, it will disappear from sight anytime you move the mouse cursor off of its "
         "window.</p><p>To <strong>restore</strong> the hidden window, move the mouse cursor to "
         "the<br>LOWER RIGHT portion of the screen.</p><p>The transparency can be adjusted by "
         "moving the slider control located above.</p></body></html>";
  }
  // As root the program runs only when told to go without its sandbox.
  std::vector<std::string> real = {HUSHLEAF_EXE};
  if (geteuid() == 0) real.emplace_back("--no-sandbox");
  const std::vector<std::string> bare = {BARE_WEBENGINE_EXE, page.string(), "600000"};

  // One unmeasured run of each warms the page cache of both binaries and Qt's libraries.
  runOnce(x, bare, true);
  runOnce(x, real, false);

  std::vector<double> realMs, bareMs, bareLoadMs, realRss, bareRss, realPss, barePss;
  for (int i = 0; i < kRuns; ++i) {
    const Run b = runOnce(x, bare, true);
    const Run r = runOnce(x, real, false);
    std::printf(
        "run %d: real %.1f ms, %ld kB RSS (%ld kB PSS, %d processes); "
        "bare %.1f ms (loadFinished %.1f ms), %ld kB RSS (%ld kB PSS, %d processes)\n",
        i + 1, r.shownMs, r.rssKb, r.pssKb, r.processes, b.shownMs, b.loadMs, b.rssKb, b.pssKb,
        b.processes);
    if (r.shownMs < 0 || b.shownMs < 0) {
      std::fprintf(stderr, "a program did not show its page in time\n");
      return 1;
    }
    realMs.push_back(r.shownMs);
    bareMs.push_back(b.shownMs);
    bareLoadMs.push_back(b.loadMs);
    realRss.push_back(static_cast<double>(r.rssKb));
    bareRss.push_back(static_cast<double>(b.rssKb));
    realPss.push_back(static_cast<double>(r.pssKb));
    barePss.push_back(static_cast<double>(b.pssKb));
  }
  std::filesystem::remove(page);

  const double rm = median(realMs), bm = median(bareMs);
  const double rr = median(realRss), br = median(bareRss);
  std::printf(
      "\nstart-up to page shown, median of %d: hushleaf-browser %.1f ms, bare %.1f ms "
      "(bare loadFinished %.1f ms)\n",
      kRuns, rm, bm, median(bareLoadMs));
  std::printf("start-up ratio: %.2fx (goal <= 1.20x)\n", rm / bm);
  std::printf(
      "memory after load, median: hushleaf-browser %.1f MB RSS, bare %.1f MB RSS; "
      "ratio %.2fx (goal <= 1.10x)\n",
      rr / 1024, br / 1024, rr / br);
  std::printf(
      "proportional set size, median: hushleaf-browser %.1f MB, bare %.1f MB; ratio %.2fx\n",
      median(realPss) / 1024, median(barePss) / 1024, median(realPss) / median(barePss));
  return 0;
}
