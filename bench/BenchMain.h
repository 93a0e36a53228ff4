#pragma once

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <functional>

namespace bench {

// The main of every benchmark program: a Qt core application for the code under test, and prepare
// run before the first benchmark so that making the shared input counts in none of them.
inline int runBenchmarks(int argc, char** argv, const std::function<void()>& prepare = {})
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (prepare)
        prepare();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace bench
