#pragma once
// The data side of a chart series: points kept sorted by x, their ranges, the numerical tolerance
// and the duplicates rule. No drawing here; TSeries (xyGraph.h) adds the looks and the owner chart.

#include <vector>

struct TxyPoint {
    double x;
    double y;
};

class TDataSeries {
public:
    // Above this many points the owner is told (the points stay).
    static constexpr int kPointLimit = 30000;

    // Kinds of change reported to the owner.
    static constexpr int kPointAdded = 1;
    static constexpr int kPointReplaced = 2;
    static constexpr int kAttributeChanged = 5;

    TDataSeries() = default;
    virtual ~TDataSeries() = default;
    TDataSeries(const TDataSeries&) = delete;
    TDataSeries& operator=(const TDataSeries&) = delete;

    // Adds (x, y) in x order; with an x within NumericalTolerance of an existing point and
    // duplicates not allowed, that point is replaced instead. A point whose x is not a finite
    // number cannot be ordered and is ignored; a non-finite y is kept but not drawn or ranged.
    void AddPoint(double x, double y);
    void Clear();

    int PointCount() const { return static_cast<int>(m_points.size()); }
    const std::vector<TxyPoint>& Points() const { return m_points; }
    int PointLimit() const { return kPointLimit; }
    // The last point given to AddPoint (after any replacement).
    bool HasLastPoint() const { return m_hasLast; }
    TxyPoint LastPoint() const { return m_last; }

    // Ranges over the points with finite values; y relative to ZeroValue. The first point sets
    // them and later points only widen them, so a replaced extreme keeps counting; when
    // ZeroValue moves, the y range is taken again from the points.
    bool HasRange() const;
    double XMin() const;
    double XMax() const;
    double YMin() const;
    double YMax() const;

    double NumericalTolerance() const { return m_tolerance; }
    void SetNumericalTolerance(double t);
    bool DuplicatesAllowed() const { return m_duplicates; }
    void SetDuplicatesAllowed(bool d);
    bool AutoZero() const { return m_autoZero; }
    void SetAutoZero(bool a);
    double ZeroValue() const { return m_zero; }
    void SetZeroValue(double z);

    // Changes between these two are reported once, at the outer EndUpdate.
    void BeginUpdate() { ++m_updateDepth; }
    void EndUpdate();

protected:
    // Reports a change to the owner; kind is one of the constants above.
    void Changed(int kind);
    virtual void Notify(int /*kind*/) {}
    virtual void TooManyPoints() {}

private:
    void Widen(const TxyPoint& p);
    void RescanY() const;

    std::vector<TxyPoint> m_points;
    TxyPoint m_last{0.0, 0.0};
    bool m_hasLast = false;
    double m_tolerance = 0.0;
    bool m_duplicates = false;
    bool m_autoZero = false;
    double m_zero = 0.0;

    bool m_hasRange = false;
    double m_xMin = 0.0, m_xMax = 0.0;
    mutable bool m_yStale = false; // the y range needs a rescan before its next use
    mutable double m_yMin = 0.0, m_yMax = 0.0;

    int m_updateDepth = 0;
    bool m_pending = false;
};
