// CBenchTable: rows kept in the order measured, printed as a Markdown table.
#include "BenchTable.h"

#include <cstdio>

namespace {

std::string Milliseconds(double seconds)
{
    char text[32];
    snprintf(text, sizeof(text), seconds < 0.01 ? "%.3f" : seconds < 1 ? "%.2f" : "%.0f", seconds * 1000);
    return text;
}

std::string Ratio(double a, double b)
{
    if (b <= 0)
        return "-";
    char text[32];
    snprintf(text, sizeof(text), "%.2f", a / b);
    return text;
}

} // namespace

void CBenchTable::Add(const std::string& series, const std::string& scenario, const std::string& operation,
                      double seconds, double floorSeconds)
{
    m_rows.push_back({series, scenario, operation, seconds, floorSeconds});
}

const CBenchTable::Row* CBenchTable::Previous(size_t index) const
{
    const Row& row = m_rows[index];
    for (size_t i = index; i-- > 0;) {
        if (m_rows[i].series == row.series && m_rows[i].operation == row.operation)
            return &m_rows[i];
    }
    return nullptr;
}

void CBenchTable::Print() const
{
    printf("| user | operation | time ms | floor ms | ratio to floor | growth | floor growth |\n");
    printf("|---|---|---:|---:|---:|---:|---:|\n");
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const Row& row = m_rows[i];
        const Row* previous = Previous(i);
        printf("| %s | %s | %s | %s | %s | %s | %s |\n", row.scenario.c_str(), row.operation.c_str(),
               Milliseconds(row.seconds).c_str(), Milliseconds(row.floorSeconds).c_str(),
               Ratio(row.seconds, row.floorSeconds).c_str(),
               previous ? (Ratio(row.seconds, previous->seconds) + "x").c_str() : "",
               previous ? (Ratio(row.floorSeconds, previous->floorSeconds) + "x").c_str() : "");
    }
    fflush(stdout);
}
