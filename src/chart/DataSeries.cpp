#include "DataSeries.h"

#include <algorithm>
#include <cmath>

namespace {
bool FinitePoint(const TxyPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}
} // namespace

void TDataSeries::AddPoint(double x, double y) {
    if (!std::isfinite(x)) return;
    const TxyPoint p{x, y};
    const double t = m_tolerance;
    const bool first = m_points.empty();
    bool replaced = false;

    if (first) {
        m_points.push_back(p);
    } else if (x < m_points.back().x) {
        // First point not lying more than t below x.
        auto it = std::lower_bound(m_points.begin(), m_points.end(), x - t,
                                   [](const TxyPoint& q, double v) { return q.x < v; });
        if (m_duplicates || std::fabs(it->x - x) > t) {
            m_points.insert(it, p);
        } else {
            *it = p;
            replaced = true;
            // With a tolerance the new x may pass a neighbour: move the point back into order.
            auto next = it + 1;
            if (next != m_points.end() && next->x < it->x) {
                auto dest = std::upper_bound(next, m_points.end(), it->x,
                                             [](double v, const TxyPoint& q) { return v < q.x; });
                std::rotate(it, next, dest);
            }
        }
    } else if (m_duplicates || x - t > m_points.back().x) {
        m_points.push_back(p);
    } else {
        m_points.back() = p;
        replaced = true;
    }

    // The first point sets the ranges; every later one, a replacement too, only widens them (a
    // replaced extreme keeps counting). A new lowest y under AutoZero moves the zero, and the y
    // range is then taken again from the points.
    if (first) {
        if (m_autoZero && std::isfinite(y)) m_zero = y;
        m_yStale = false;
        m_hasRange = false;
    } else if (m_autoZero && std::isfinite(y) && y < m_zero) {
        m_zero = y;
        m_yStale = true;
    }
    Widen(p);

    m_last = p;
    m_hasLast = true;

    if (PointCount() > kPointLimit) TooManyPoints();
    Changed(replaced ? kPointReplaced : kPointAdded);
}

void TDataSeries::Clear() {
    m_points.clear();
    m_hasLast = false;
    m_hasRange = false;
    m_yStale = false;
    Changed(kAttributeChanged);
}

void TDataSeries::Widen(const TxyPoint& p) {
    if (!FinitePoint(p)) return;
    const double y = p.y - m_zero;
    if (!m_hasRange) {
        m_xMin = m_xMax = p.x;
        m_yMin = m_yMax = y;
        m_hasRange = true;
        return;
    }
    m_xMin = std::min(m_xMin, p.x);
    m_xMax = std::max(m_xMax, p.x);
    if (m_yStale) return; // the rescan takes this point in
    m_yMin = std::min(m_yMin, y);
    m_yMax = std::max(m_yMax, y);
}

void TDataSeries::RescanY() const {
    if (!m_yStale) return;
    m_yStale = false;
    bool any = false;
    for (const TxyPoint& p : m_points) {
        if (!FinitePoint(p)) continue;
        const double y = p.y - m_zero;
        if (!any) {
            m_yMin = m_yMax = y;
            any = true;
        } else {
            m_yMin = std::min(m_yMin, y);
            m_yMax = std::max(m_yMax, y);
        }
    }
}

bool TDataSeries::HasRange() const {
    return m_hasRange;
}
double TDataSeries::XMin() const {
    return m_xMin;
}
double TDataSeries::XMax() const {
    return m_xMax;
}
double TDataSeries::YMin() const {
    RescanY();
    return m_yMin;
}
double TDataSeries::YMax() const {
    RescanY();
    return m_yMax;
}

void TDataSeries::SetNumericalTolerance(double t) {
    m_tolerance = std::isfinite(t) ? std::fabs(t) : 0.0;
    Changed(kAttributeChanged);
}

void TDataSeries::SetDuplicatesAllowed(bool d) {
    m_duplicates = d;
    Changed(kAttributeChanged);
}

void TDataSeries::SetAutoZero(bool a) {
    m_autoZero = a;
    if (a) {
        bool any = false;
        double lowest = 0.0;
        for (const TxyPoint& p : m_points)
            if (std::isfinite(p.y) && (!any || p.y < lowest)) {
                lowest = p.y;
                any = true;
            }
        if (any) m_zero = lowest;
    }
    m_yStale = true;
    Changed(kAttributeChanged);
}

void TDataSeries::SetZeroValue(double z) {
    m_zero = std::isfinite(z) ? z : 0.0;
    m_yStale = true;
    Changed(kAttributeChanged);
}

void TDataSeries::EndUpdate() {
    if (m_updateDepth == 0) return;
    if (--m_updateDepth == 0 && m_pending) {
        m_pending = false;
        Notify(kAttributeChanged);
    }
}

void TDataSeries::Changed(int kind) {
    if (m_updateDepth > 0) {
        m_pending = true;
        return;
    }
    Notify(kind);
}
