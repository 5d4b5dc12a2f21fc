#include "samples.h"

#include <algorithm>
#include <cstdio>

double Samples::median() const
{
    if (m_values.empty())
        return 0;
    std::vector<double> sorted = m_values;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t mid = sorted.size() / 2;
    return sorted.size() % 2 ? sorted[mid] : (sorted[mid - 1] + sorted[mid]) / 2;
}

double Samples::min() const
{
    return m_values.empty() ? 0 : *std::min_element(m_values.begin(), m_values.end());
}

double Samples::max() const
{
    return m_values.empty() ? 0 : *std::max_element(m_values.begin(), m_values.end());
}

namespace {

std::string scaled(double value, const std::string &unit)
{
    double shown = value;
    if (unit == "ms")
        shown = value * 1e3;
    else if (unit == "us")
        shown = value * 1e6;
    else if (unit == "MB")
        shown = value / 1e6;
    char text[32];
    std::snprintf(text, sizeof text, shown < 10 ? "%.3f" : shown < 1000 ? "%.1f" : "%.0f", shown);
    return text;
}

} // namespace

std::string Samples::format(const std::string &unit) const
{
    if (m_values.empty())
        return "-";
    return scaled(median(), unit) + " " + unit + " [" + scaled(min(), unit) + ".." +
           scaled(max(), unit) + "]";
}

Samples Samples::ratiosTo(const Samples &base) const
{
    Samples ratios;
    for (std::size_t i = 0; i < m_values.size() && i < base.m_values.size(); ++i)
        ratios.add(base.m_values[i] > 0 ? m_values[i] / base.m_values[i] : 0.0);
    return ratios;
}
