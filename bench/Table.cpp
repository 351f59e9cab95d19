#include "Table.h"

#include <algorithm>
#include <cstdio>

namespace presenze::bench {
namespace {

std::string format(const char* pattern, double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, pattern, value);
    return buffer;
}

std::string timeCell(double seconds)
{
    return seconds < 1.0 ? format("%.1f ms", seconds * 1000.0) : format("%.2f s", seconds);
}

// 1234567 as "1,234,567".
std::string grouped(long long value)
{
    std::string digits = std::to_string(value);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(static_cast<std::size_t>(i), ",");
    return digits;
}

std::string memoryCell(long kb)
{
    return format("%.1f MB", static_cast<double>(kb) / 1024.0);
}

const CaseResult* baselineOf(const std::string& baseline, const std::string& size,
                             const std::vector<CaseResult>& results)
{
    for (const auto& r : results)
        if (r.baseline == baseline && r.size == size)
            return &r;
    return nullptr;
}

} // namespace

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

std::vector<std::string> baselineColumns(const std::vector<CaseResult>& results)
{
    std::vector<std::string> columns;
    for (const auto& r : results)
        for (const auto& b : r.compareTo)
            if (std::find(columns.begin(), columns.end(), b) == columns.end())
                columns.push_back(b);
    return columns;
}

std::string ratioCell(const CaseResult& result, const std::string& baseline,
                      const std::vector<CaseResult>& results)
{
    if (std::find(result.compareTo.begin(), result.compareTo.end(), baseline) ==
            result.compareTo.end() ||
        !result.error.empty() || result.seconds.empty())
        return "-";
    const CaseResult* base = baselineOf(baseline, result.size, results);
    if (!base || !base->error.empty() || base->seconds.empty())
        return "-";
    const double denominator = median(base->seconds);
    if (denominator <= 0)
        return "-";
    return format("%.3g", median(result.seconds) / denominator);
}

std::string throughputCell(const CaseResult& result)
{
    if (result.count <= 0 || !result.error.empty() || result.seconds.empty())
        return "-";
    const double perSecond = result.count / median(result.seconds);
    if (perSecond >= 100)
        return grouped(static_cast<long long>(perSecond + 0.5)) + " " + result.unit + "/s";
    return format("%.3g ", perSecond) + result.unit + "/s";
}

std::string formatTable(const std::vector<CaseResult>& results)
{
    const auto baselines = baselineColumns(results);
    const bool counted = std::any_of(results.begin(), results.end(),
                                     [](const CaseResult& r) { return r.count > 0; });
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> header = {"case", "size", "runs", "median", "peak memory"};
    if (counted)
        header.push_back("throughput");
    for (const auto& b : baselines)
        header.push_back("x " + b);
    rows.push_back(header);
    std::string notes;
    for (const auto& r : results) {
        std::vector<std::string> row = {
            r.baseline.empty() ? r.name : r.name + " [" + r.baseline + "]", r.size};
        if (!r.error.empty()) {
            row.insert(row.end(), {"-", "non disponibile", "-"});
            notes += "- " + r.name + " (" + r.size + "): " + r.error + "\n";
        } else {
            row.insert(row.end(), {std::to_string(r.seconds.size()), timeCell(median(r.seconds)),
                                   memoryCell(r.peakKb)});
        }
        if (counted)
            row.push_back(throughputCell(r));
        for (const auto& b : baselines)
            row.push_back(ratioCell(r, b, results));
        rows.push_back(row);
    }

    std::vector<std::size_t> widths(header.size(), 0);
    for (const auto& row : rows)
        for (std::size_t i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], row[i].size());
    auto line = [&](const std::vector<std::string>& row) {
        std::string text = "|";
        for (std::size_t i = 0; i < row.size(); ++i) {
            // Text columns left, figures right.
            const std::string pad(widths[i] - row[i].size(), ' ');
            text += " " + (i < 2 ? row[i] + pad : pad + row[i]) + " |";
        }
        return text + "\n";
    };
    std::string table = line(rows[0]);
    table += "|";
    for (std::size_t i = 0; i < widths.size(); ++i)
        table += (i < 2 ? ":" : "-") + std::string(widths[i], '-') + (i < 2 ? "-|" : ":|");
    table += "\n";
    for (std::size_t i = 1; i < rows.size(); ++i)
        table += line(rows[i]);
    if (!notes.empty())
        table += "\nNot available:\n" + notes;
    return table;
}

} // namespace presenze::bench
