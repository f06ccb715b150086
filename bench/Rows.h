// SPDX-License-Identifier: MIT
#pragma once

// The rows of the README's benchmark table. Each program prints its own figures for people,
// and one tab-separated "row" line per table row, which bench/table.sh gathers over repeated
// runs (median and spread) and writes into the README.
#include <cstdarg>
#include <cstdio>
#include <string>

namespace bench {

/// printf into a std::string.
inline std::string format(const char* pattern, ...) {
    char buffer[512];
    va_list args;
    va_start(args, pattern);
    std::vsnprintf(buffer, sizeof buffer, pattern, args);
    va_end(args);
    return buffer;
}

/// One table row: what is measured, the floor and Skinsmith's figures as text, the ratio of
/// the two (negative when the row has none: the figure column is then what spreads) and the
/// target. The figure whose spread the table shows is the ratio, else the first number of
/// Skinsmith's figure.
inline void row(const std::string& what, const std::string& floor, const std::string& ours,
                double ratio, const std::string& target) {
    std::printf("row\t%s\t%s\t%s\t%s\t%s\n", what.c_str(), floor.empty() ? "-" : floor.c_str(),
                ours.c_str(), ratio < 0 ? "-" : format("%.2f", ratio).c_str(),
                target.empty() ? "-" : target.c_str());
    std::fflush(stdout);
}

}  // namespace bench
