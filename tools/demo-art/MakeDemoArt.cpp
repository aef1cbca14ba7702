// Draws the state pictures of the demonstration panel: lamps for digital
// inputs and outputs, button faces, and a dial in five levels for analog
// inputs. Each picture is drawn at the size it is shown at, so nothing is
// scaled on screen.
//
//   quelnet-demo-art OUT_DIR
#include <QColor>
#include <QConicalGradient>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>
#include <cstdio>

namespace {

QImage Canvas(int side) {
    QImage img(side, side, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

// A round panel lamp: metal bezel, coloured lens, highlight; glowing when lit.
QImage Lamp(int side, QColor lit, bool on) {
    QImage img = Canvas(side);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(side / 2.0, side / 2.0);
    const qreal r = side / 2.0 - 1;

    QLinearGradient bezel(0, 0, side, side);
    bezel.setColorAt(0, QColor(235, 238, 242));
    bezel.setColorAt(0.5, QColor(150, 156, 164));
    bezel.setColorAt(1, QColor(70, 74, 80));
    p.setPen(QPen(QColor(40, 42, 46), 1));
    p.setBrush(bezel);
    p.drawEllipse(c, r, r);

    const qreal lens = r * 0.76;
    QRadialGradient g(c + QPointF(-lens * 0.25, -lens * 0.25), lens * 1.3);
    if (on) {
        g.setColorAt(0, lit.lighter(175));
        g.setColorAt(0.45, lit);
        g.setColorAt(1, lit.darker(190));
    } else {
        QColor dim = QColor::fromHsv(lit.hsvHue(), 60, 70);
        g.setColorAt(0, dim.lighter(140));
        g.setColorAt(1, dim.darker(220));
    }
    p.setPen(QPen(QColor(30, 30, 30, 200), 1));
    p.setBrush(g);
    p.drawEllipse(c, lens, lens);

    if (on) { // a soft glow over the lens edge
        QRadialGradient glow(c, lens * 1.15);
        QColor a = lit.lighter(150);
        a.setAlpha(0);
        glow.setColorAt(0.7, a);
        a.setAlpha(90);
        glow.setColorAt(0.95, a);
        a.setAlpha(0);
        glow.setColorAt(1, a);
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(c, lens * 1.15, lens * 1.15);
    }

    QRadialGradient shine(c + QPointF(-lens * 0.35, -lens * 0.45), lens * 0.55);
    shine.setColorAt(0, QColor(255, 255, 255, on ? 210 : 120));
    shine.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shine);
    p.drawEllipse(c + QPointF(-lens * 0.3, -lens * 0.4), lens * 0.5, lens * 0.34);
    return img;
}

// A button face: a rounded key with the power symbol, green when the output is on.
QImage ButtonFace(int side, bool on) {
    QImage img = Canvas(side);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF key(1, 1, side - 2, side - 2);
    QLinearGradient g(0, 0, 0, side);
    if (on) {
        g.setColorAt(0, QColor(120, 230, 110));
        g.setColorAt(1, QColor(20, 140, 40));
    } else {
        g.setColorAt(0, QColor(205, 208, 214));
        g.setColorAt(1, QColor(120, 124, 132));
    }
    p.setPen(QPen(on ? QColor(10, 90, 25) : QColor(80, 82, 88), 1));
    p.setBrush(g);
    p.drawRoundedRect(key, side * 0.22, side * 0.22);

    const QPointF c(side / 2.0, side / 2.0 + side * 0.03);
    const qreal r = side * 0.26;
    QPen sym(on ? QColor(255, 255, 255) : QColor(70, 72, 78), qMax<qreal>(2.0, side * 0.09), Qt::SolidLine,
             Qt::RoundCap);
    p.setPen(sym);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 120 * 16, 300 * 16);
    p.drawLine(QPointF(c.x(), c.y() - r * 1.35), QPointF(c.x(), c.y() - r * 0.2));
    return img;
}

// A round dial; the needle and the lit part of the scale stand at `fraction`
// of the 270-degree sweep.
QImage Dial(int side, qreal fraction) {
    QImage img = Canvas(side);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(side / 2.0, side / 2.0);
    const qreal r = side / 2.0 - 1;

    QLinearGradient rim(0, 0, side, side);
    rim.setColorAt(0, QColor(225, 228, 232));
    rim.setColorAt(1, QColor(80, 84, 92));
    p.setPen(QPen(QColor(40, 42, 46), 1));
    p.setBrush(rim);
    p.drawEllipse(c, r, r);
    QRadialGradient face(c, r);
    face.setColorAt(0, QColor(52, 58, 70));
    face.setColorAt(1, QColor(22, 25, 32));
    p.setBrush(face);
    p.setPen(Qt::NoPen);
    p.drawEllipse(c, r * 0.9, r * 0.9);

    // Scale: from 225 degrees (lower left) clockwise to -45 (lower right).
    const qreal start = 225, sweep = -270;
    const qreal arcR = r * 0.72;
    const QRectF arcRect(c.x() - arcR, c.y() - arcR, 2 * arcR, 2 * arcR);
    const int segments = 5;
    const QColor colours[segments] = {QColor(60, 200, 90), QColor(120, 210, 70), QColor(230, 210, 50),
                                      QColor(245, 150, 40), QColor(235, 60, 45)};
    const qreal width = r * 0.14;
    for (int i = 0; i < segments; ++i) {
        const qreal a0 = start + sweep * i / segments;
        const qreal span = sweep / segments + 2; // small gap between segments
        const bool lit = (i + 0.5) / segments <= fraction;
        QColor col = colours[i];
        if (!lit)
            col = QColor::fromHsv(col.hsvHue(), 70, 75);
        p.setPen(QPen(col, width, Qt::SolidLine, Qt::FlatCap));
        p.drawArc(arcRect, qRound((a0 - 1) * 16), qRound(span * 16));
    }
    // Ticks.
    p.setPen(QPen(QColor(200, 205, 215), qMax<qreal>(1.0, side / 80.0)));
    for (int i = 0; i <= 10; ++i) {
        const qreal a = qDegreesToRadians(start + sweep * i / 10.0);
        const qreal r0 = r * (i % 5 == 0 ? 0.47 : 0.52), r1 = r * 0.58;
        p.drawLine(c + QPointF(qCos(a) * r0, -qSin(a) * r0), c + QPointF(qCos(a) * r1, -qSin(a) * r1));
    }
    // Needle.
    const qreal a = qDegreesToRadians(start + sweep * fraction);
    const QPointF dir(qCos(a), -qSin(a)), normal(-dir.y(), dir.x());
    QPainterPath needle;
    needle.moveTo(c + dir * r * 0.78);
    needle.lineTo(c + normal * r * 0.05);
    needle.lineTo(c - dir * r * 0.15);
    needle.lineTo(c - normal * r * 0.05);
    needle.closeSubpath();
    p.setPen(QPen(QColor(120, 20, 10), 1));
    p.setBrush(QColor(250, 80, 50));
    p.drawPath(needle);
    QRadialGradient cap(c - QPointF(r * 0.03, r * 0.03), r * 0.12);
    cap.setColorAt(0, QColor(240, 240, 240));
    cap.setColorAt(1, QColor(90, 94, 100));
    p.setPen(QPen(QColor(30, 30, 30), 1));
    p.setBrush(cap);
    p.drawEllipse(c, r * 0.1, r * 0.1);
    return img;
}

bool Save(const QImage& img, const QDir& dir, const QString& name) {
    const QString path = dir.filePath(name);
    if (!img.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT_DIR\n", argv[0]);
        return 2;
    }
    QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath("."))
        return 1;

    const int lamp = 44, face = 32, dial = 96;
    const QColor green(40, 220, 60), amber(255, 160, 20);
    bool ok = Save(Lamp(lamp, green, true), dir, "lamp_in_on.png") &&
              Save(Lamp(lamp, green, false), dir, "lamp_in_off.png") &&
              Save(Lamp(lamp, amber, true), dir, "lamp_out_on.png") &&
              Save(Lamp(lamp, amber, false), dir, "lamp_out_off.png") &&
              Save(ButtonFace(face, true), dir, "button_on.png") &&
              Save(ButtonFace(face, false), dir, "button_off.png");
    // Five levels: up to 20, above 20, 40, 60 and 80 (of 0-100).
    for (int level = 0; ok && level < 5; ++level)
        ok = Save(Dial(dial, (level * 2 + 1) / 10.0), dir, QString("dial_%1.png").arg(level));
    return ok ? 0 : 1;
}
