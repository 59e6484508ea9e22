// FillPortList alone over a large spooler answer: the cost per port must stay flat as the
// machine's port count grows (a linear fill), whatever the spooler itself costs.

#include <benchmark/benchmark.h>

#include <string>

#include "config/ports.h"
#include "fakes/fake_controls.h"
#include "fakes/fake_spooler.h"

namespace {

// Every tenth port belongs to RedMon, as on a print server with many other ports.
void BM_FillPortList(benchmark::State& state) {
    const auto count = static_cast<int>(state.range(0));
    vellum::FakeSpooler spooler;
    for (int i = 0; i < count; ++i) {
        if (i % 10 == 0)
            spooler.AddRedMon("RPT" + std::to_string(i) + ":");
        else
            spooler.ports.push_back({"LPT" + std::to_string(i) + ":", "Local Port", "Local"});
    }
    vellum::FakeComboBox ports;
    for (auto _ : state) {
        vellum::config::FillPortList(spooler, ports);
        benchmark::DoNotOptimize(ports.items.data());
    }
    if (ports.items.size() != static_cast<size_t>((count + 9) / 10))
        state.SkipWithError("the list does not hold every RedMon port");
    state.counters["ns_per_port"] = benchmark::Counter(
        static_cast<double>(count),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FillPortList)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
