// One AutoHide tick of the pure machine, per kind of tick (goal: far below the 1 ms
// period; the pointer read it replaces costs about 40 us).
#include "stealth/auto_hide.h"

#include <benchmark/benchmark.h>

#include <array>

namespace {

using stealth::Action;
using stealth::AutoHide;
using stealth::TickInputs;

TickInputs inputs(int x, int y, bool visible) {
  TickInputs in;
  in.buttonPressed = true;
  in.windowVisible = visible;
  in.frame = QRect(100, 200, 400, 300);
  in.screen = QSize(1920, 1080);
  in.cursorX = x;
  in.cursorY = y;
  return in;
}

void BM_TickVisibleInside(benchmark::State& state) {
  AutoHide machine;
  const TickInputs in = inputs(200, 300, true);
  for (auto _ : state) {
    benchmark::DoNotOptimize(machine.tick(in));
  }
}
BENCHMARK(BM_TickVisibleInside);

void BM_TickHiddenInZone(benchmark::State& state) {
  AutoHide machine;
  const TickInputs in = inputs(1700, 1000, false);
  for (auto _ : state) {
    benchmark::DoNotOptimize(machine.tick(in));
  }
}
BENCHMARK(BM_TickHiddenInZone);

void BM_TickButtonUp(benchmark::State& state) {
  AutoHide machine;
  TickInputs in = inputs(200, 300, true);
  in.buttonPressed = false;
  for (auto _ : state) {
    benchmark::DoNotOptimize(machine.tick(in));
  }
}
BENCHMARK(BM_TickButtonUp);

// The whole cycle: enter, leave (hide on the second tick), eleven zone ticks (restore).
void BM_TickFullCycle(benchmark::State& state) {
  AutoHide machine;
  bool visible = true;
  const std::array<std::pair<int, int>, 3> points{{{200, 300}, {50, 300}, {1700, 1000}}};
  std::size_t phase = 0;
  for (auto _ : state) {
    const auto [x, y] = points[phase];
    const Action a = machine.tick(inputs(x, y, visible));
    if (a == Action::Hide) {
      visible = false;
      phase = 2;
    } else if (a == Action::Restore) {
      visible = true;
      phase = 0;
    } else if (phase == 0 && machine.state().entered) {
      phase = 1;
    }
    benchmark::DoNotOptimize(a);
  }
}
BENCHMARK(BM_TickFullCycle);

}  // namespace

BENCHMARK_MAIN();
