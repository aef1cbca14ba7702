// Draws the editor's three placeholder pictures (64 x 64, 32-bit with alpha)
// into assets/: a lamp for digital indicators, a dial for analog indicators and
// a fader for sliders. The PNGs are committed; run this only to redraw them:
//   g++ -std=c++20 -fPIC tools/make_placeholders.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/mkph
//   /tmp/mkph assets
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

static QImage Blank() {
    QImage img(64, 64, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    return img;
}

static QImage Lamp() {
    QImage img = Blank();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // Glass bulb.
    QRadialGradient glow(QPointF(26, 20), 26);
    glow.setColorAt(0, QColor(255, 250, 200));
    glow.setColorAt(0.5, QColor(250, 200, 60));
    glow.setColorAt(1, QColor(200, 120, 20));
    p.setPen(QPen(QColor(120, 70, 10), 1.5));
    p.setBrush(glow);
    p.drawEllipse(QRectF(12, 4, 40, 40));
    // Filament.
    p.setPen(QPen(QColor(140, 60, 0), 1.5));
    p.setBrush(Qt::NoBrush);
    QPainterPath f;
    f.moveTo(26, 40);
    f.lineTo(26, 26);
    f.cubicTo(28, 20, 30, 32, 32, 24);
    f.cubicTo(34, 20, 36, 32, 38, 26);
    f.lineTo(38, 40);
    p.drawPath(f);
    // Screw base.
    p.setPen(QPen(QColor(70, 70, 70), 1));
    for (int i = 0; i < 4; ++i) {
        p.setBrush(i % 2 ? QColor(150, 150, 150) : QColor(200, 200, 200));
        p.drawRoundedRect(QRectF(22, 42 + i * 4, 20, 4), 1.5, 1.5);
    }
    p.setBrush(QColor(60, 60, 60));
    p.drawEllipse(QRectF(28, 57, 8, 5));
    return img;
}

static QImage Dial() {
    QImage img = Blank();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(32, 34);
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.setBrush(QColor(245, 245, 240));
    p.drawEllipse(c, 29, 29);
    // Scale from 225 to -45 degrees, red zone at the end.
    for (int i = 0; i <= 10; ++i) {
        const double a = qDegreesToRadians(225.0 - i * 27.0);
        const double r1 = i % 5 ? 22 : 19, r2 = 25;
        p.setPen(QPen(i >= 8 ? QColor(200, 30, 30) : QColor(30, 30, 30), i % 5 ? 1.2 : 2));
        p.drawLine(QPointF(c.x() + r1 * std::cos(a), c.y() - r1 * std::sin(a)),
                   QPointF(c.x() + r2 * std::cos(a), c.y() - r2 * std::sin(a)));
    }
    // Needle at about 60 %.
    const double a = qDegreesToRadians(225.0 - 6 * 27.0 - 8);
    p.setPen(QPen(QColor(200, 30, 30), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, QPointF(c.x() + 21 * std::cos(a), c.y() - 21 * std::sin(a)));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 40));
    p.drawEllipse(c, 4, 4);
    return img;
}

static QImage Fader() {
    QImage img = Blank();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // Scale marks.
    p.setPen(QPen(QColor(60, 60, 60), 1));
    for (int i = 0; i <= 8; ++i) {
        const double y = 6 + i * 6.5;
        p.drawLine(QPointF(i % 4 ? 44 : 42, y), QPointF(52, y));
        p.drawLine(QPointF(12, y), QPointF(i % 4 ? 20 : 22, y));
    }
    // Slot.
    p.setPen(QPen(QColor(30, 30, 30), 1));
    p.setBrush(QColor(50, 50, 50));
    p.drawRoundedRect(QRectF(29, 4, 6, 56), 3, 3);
    // Knob.
    QLinearGradient g(0, 30, 0, 42);
    g.setColorAt(0, QColor(230, 230, 230));
    g.setColorAt(0.5, QColor(170, 170, 170));
    g.setColorAt(1, QColor(110, 110, 110));
    p.setPen(QPen(QColor(40, 40, 40), 1.2));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(20, 29, 24, 13), 2.5, 2.5);
    p.setPen(QPen(QColor(220, 40, 40), 2));
    p.drawLine(QPointF(22, 35.5), QPointF(42, 35.5));
    return img;
}

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    const bool ok = Lamp().save(dir + "/placeholder_digital.png") &&
                    Dial().save(dir + "/placeholder_analog.png") &&
                    Fader().save(dir + "/placeholder_slider.png");
    return ok ? 0 : 1;
}
