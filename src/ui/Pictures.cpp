#include "Pictures.h"

#include "UiCommon.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

TPicture::TPicture(Kind kind, QWidget* parent, const char* name, int x, int y, int w, int h)
    : QWidget(parent), kind_(kind)
{
    setObjectName(QString::fromLatin1(name));
    setGeometry(x, y, w, h);
}

void TPicture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    switch (kind_) {
    case Logo:
        PaintLogo(p);
        break;
    case MotorRamp:
        PaintMotorRamp(p);
        break;
    default:
        PaintLoad(p);
        break;
    }
}

// A rounded badge with a voltage ramp rising to a flat top and the program's initial.
void TPicture::PaintLogo(QPainter& p)
{
    const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, QColor(20, 60, 140));
    g.setColorAt(1, QColor(60, 130, 200));
    p.setPen(QPen(QColor(10, 30, 80), 1));
    p.setBrush(g);
    p.drawRoundedRect(r, 6, 6);
    const double w = r.width(), h = r.height();
    QPainterPath ramp;
    ramp.moveTo(r.left() + 0.10 * w, r.bottom() - 0.18 * h);
    ramp.lineTo(r.left() + 0.10 * w, r.bottom() - 0.35 * h);
    ramp.lineTo(r.left() + 0.55 * w, r.top() + 0.22 * h);
    ramp.lineTo(r.left() + 0.90 * w, r.top() + 0.22 * h);
    p.setPen(QPen(QColor(255, 210, 40), 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(ramp);
    p.setPen(Qt::white);
    QFont f = SerifFont(std::max(10, int(h * 0.45)), true);
    p.setFont(f);
    p.drawText(QRectF(r.left() + 0.55 * w, r.top() + 0.35 * h, 0.4 * w, 0.6 * h), Qt::AlignCenter,
               QStringLiteral("T"));
}

// A motor (stator ring, rotor, shaft) fed by a ramp that rises from a preset to full voltage.
void TPicture::PaintMotorRamp(QPainter& p)
{
    const double w = width(), h = height();
    p.fillRect(rect(), QColor(230, 236, 245));
    p.setPen(QPen(QColor(90, 100, 120), 1));
    p.drawRect(QRectF(0.5, 0.5, w - 1, h - 1));
    // ramp in the upper left
    const QRectF graph(0.08 * w, 0.10 * h, 0.45 * w, 0.35 * h);
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(graph.bottomLeft(), graph.topLeft());
    p.drawLine(graph.bottomLeft(), graph.bottomRight());
    p.setPen(QPen(QColor(200, 0, 0), 2));
    p.drawPolyline(QPolygonF({QPointF(graph.left(), graph.bottom() - 0.25 * graph.height()),
                              QPointF(graph.left() + 0.6 * graph.width(), graph.top() + 0.1 * graph.height()),
                              QPointF(graph.right(), graph.top() + 0.1 * graph.height())}));
    // motor in the lower right
    const double d = std::min(0.5 * w, 0.55 * h);
    const QPointF c(0.62 * w, 0.62 * h);
    p.setPen(QPen(QColor(40, 40, 60), 1.5));
    p.setBrush(QColor(120, 140, 170));
    p.drawRoundedRect(QRectF(c.x() - d / 2, c.y() - d / 2, d, d), 4, 4);
    p.setBrush(QColor(200, 205, 215));
    p.drawEllipse(c, d * 0.33, d * 0.33);
    p.setBrush(QColor(70, 80, 100));
    p.drawEllipse(c, d * 0.12, d * 0.12);
    p.setBrush(QColor(160, 160, 160));
    p.drawRect(QRectF(c.x() + d / 2, c.y() - d * 0.06, 0.2 * d, 0.12 * d));
    // three supply lines from the ramp to the motor
    p.setPen(QPen(QColor(0, 0, 160), 1));
    for (int i = 0; i < 3; ++i) {
        const double y = c.y() - d * 0.3 + i * d * 0.3;
        p.drawLine(QPointF(0.08 * w, y), QPointF(c.x() - d / 2, y));
    }
}

// Load torque against speed: T_Load [Nm] up, n [1/s] right, T0 marked on the torque axis.
void TPicture::PaintLoad(QPainter& p)
{
    const double w = width(), h = height();
    p.fillRect(rect(), Qt::white);
    const QFont small = SansFont(9);
    const QFont tiny = SansFont(7);
    const double ox = 22, oy = h - 16; // origin
    const double right = w - 4, top = 12;
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(QPointF(ox, oy), QPointF(right, oy));
    p.drawLine(QPointF(ox, oy), QPointF(ox, top));
    p.setBrush(Qt::black);
    p.drawPolygon(QPolygonF({QPointF(right, oy), QPointF(right - 5, oy - 3), QPointF(right - 5, oy + 3)}));
    p.drawPolygon(QPolygonF({QPointF(ox, top), QPointF(ox - 3, top + 5), QPointF(ox + 3, top + 5)}));
    p.setBrush(Qt::NoBrush);
    // axis labels
    p.setFont(small);
    p.drawText(QPointF(ox + 4, top + 2), QStringLiteral("T"));
    const double tWidth = QFontMetricsF(small).horizontalAdvance(QStringLiteral("T"));
    p.setFont(tiny);
    p.drawText(QPointF(ox + 4 + tWidth, top + 5), QStringLiteral("Load"));
    p.drawText(QPointF(ox + 30, top + 5), QStringLiteral("[Nm]"));
    p.setFont(small);
    p.drawText(QPointF(right - 30, oy + 13), QStringLiteral("n"));
    p.setFont(tiny);
    p.drawText(QPointF(right - 22, oy + 13), QStringLiteral("[1/s]"));
    // T0 on the torque axis
    const double t0y = oy - 0.30 * (oy - top);
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(QPointF(ox - 3, t0y), QPointF(ox + 3, t0y));
    p.setFont(tiny);
    p.drawText(QPointF(2, t0y + 3), QStringLiteral("T0"));
    // characteristic
    p.setPen(QPen(QColor(200, 0, 0), 2));
    const double x1 = right - 10;
    QPolygonF curve;
    const int steps = 24;
    for (int i = 0; i <= steps; ++i) {
        const double u = double(i) / steps; // speed, 0..1
        double v = 0;                        // torque rise above T0, 0..1
        if (kind_ == ProportionalLoad)
            v = u;
        else if (kind_ == SquaredLoad)
            v = u * u;
        curve << QPointF(ox + u * (x1 - ox), t0y - v * (t0y - top - 10));
    }
    p.drawPolyline(curve);
}
