// CBenchTable: the benchmark's results: per scenario and operation the time, its floor, their ratio, and how
// both grew from the previous size of the same series.
#pragma once

#include <string>
#include <vector>

class CBenchTable
{
public:
    // One measured operation. series groups the sizes of one kind of user (growth is taken within it).
    void Add(const std::string& series, const std::string& scenario, const std::string& operation,
             double seconds, double floorSeconds);
    // Prints the table as Markdown, then the largest ratios and growths.
    void Print() const;

private:
    struct Row
    {
        std::string series;
        std::string scenario;
        std::string operation;
        double seconds;
        double floorSeconds;
    };
    const Row* Previous(size_t index) const;

    std::vector<Row> m_rows;
};
