#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>

// main() of the benchmarks that need Qt: widgets on the offscreen platform.
#define DEDUR_OFFSCREEN_BENCHMARK_MAIN()                                                           \
    int main(int argc, char** argv) {                                                              \
        setenv("QT_QPA_PLATFORM", "offscreen", 0);                                                 \
        QApplication app(argc, argv);                                                              \
        benchmark::Initialize(&argc, argv);                                                        \
        benchmark::RunSpecifiedBenchmarks();                                                       \
        benchmark::Shutdown();                                                                     \
        return 0;                                                                                  \
    }
