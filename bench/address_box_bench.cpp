// Completion per keystroke and history update at 100 000 entries (goal: each <= 1 ms).
#include "browser/address_history.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kEntries = 100000;

browser::AddressHistory makeHistory() {
  browser::AddressHistory history;
  for (int i = 0; i < kEntries; ++i) {
    history.prepend(QStringLiteral("http://www.site%1.example/path/%2").arg(i).arg(i * 7));
  }
  return history;
}

void BM_CompletionMiss(benchmark::State& state) {
  const browser::AddressHistory history = makeHistory();
  const browser::AddressBoxCore box;
  for (auto _ : state) {
    // Neither search finds anything: the worst case, both searches run.
    benchmark::DoNotOptimize(box.change(QStringLiteral("nothing-like-this"), 17, history));
  }
}
BENCHMARK(BM_CompletionMiss)->Unit(benchmark::kMicrosecond);

void BM_CompletionBroadPrefix(benchmark::State& state) {
  const browser::AddressHistory history = makeHistory();
  const browser::AddressBoxCore box;
  for (auto _ : state) {
    // "w" falls back to "http://w", which every entry begins with.
    benchmark::DoNotOptimize(box.change(QStringLiteral("w"), 1, history));
  }
}
BENCHMARK(BM_CompletionBroadPrefix)->Unit(benchmark::kMicrosecond);

void BM_HistoryUpdate(benchmark::State& state) {
  browser::AddressHistory history = makeHistory();
  int i = 0;
  for (auto _ : state) {
    // An existing entry from the middle moves to the top.
    const QString text = QStringLiteral("http://www.site%1.example/path/%2")
                             .arg((i * 7919) % kEntries)
                             .arg(((i * 7919) % kEntries) * 7);
    const int at = history.indexOf(text);
    history.removeAt(at);
    history.prepend(text);
    ++i;
  }
}
BENCHMARK(BM_HistoryUpdate)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
