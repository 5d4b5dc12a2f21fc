#pragma once

#include <string>
#include <vector>

/// Repeated measurements of one figure (seconds, bytes, ...) and their summary.
class Samples
{
public:
    /// Adds one measurement.
    void add(double value) { m_values.push_back(value); }
    bool isEmpty() const { return m_values.empty(); }
    std::size_t count() const { return m_values.size(); }

    /// The median (the mean of the middle two for an even count); 0 when empty.
    double median() const;
    double min() const;
    double max() const;

    /// "median [min..max]" in @p unit ("s", "ms", "MB", "x").
    std::string format(const std::string &unit) const;

    /// Each measurement divided by the one made in the same round of @p base, which holds as
    /// many: on a machine whose speed comes and goes, runs made one right after the other
    /// compare better than the medians of runs made minutes apart.
    Samples ratiosTo(const Samples &base) const;

private:
    std::vector<double> m_values;
};
