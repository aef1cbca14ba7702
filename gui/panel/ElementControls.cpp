#include "gui/panel/ElementControls.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QPointer>
#include <QStyle>
#include <algorithm>

namespace quelnet {

namespace {

constexpr const char* kTagProperty = "tag";

// No "tag" yet: ControlTag() gives -1 for a control without one. Setting the
// property costs a search of the type's properties by name; the slot's tag
// follows at once anyway.
void SetUpCommon(QWidget* w) {
    w->setAttribute(Qt::WA_NoMousePropagation);
}

// Panels and texts cover what lies below them with their background colour.
// They fill it themselves instead of through autoFillBackground: a child
// filled that way counts as opaque, and the window's repaint then cuts every
// such child out of the region left for the children below it, a region of
// thousands of rectangles on a large panel that each child below is
// intersected with. The pixels are the same.
void FillBackground(QWidget* w) {
    QPainter p(w);
    p.fillRect(w->rect(), w->palette().brush(w->backgroundRole()));
}

} // namespace

int ControlTag(const QObject* control) {
    if (!control)
        return -1;
    bool ok = false;
    const int tag = control->property(kTagProperty).toInt(&ok);
    return ok ? tag : -1;
}

void SetControlTag(QObject* control, int tag) {
    if (control)
        control->setProperty(kTagProperty, tag);
}

// Pictures and shapes, asked by type (stacking asks it of many children).
bool IsGraphicControl(const QObject* control) {
    return qobject_cast<const ElementPicture*>(control) || qobject_cast<const ElementShape*>(control);
}

// ---- ClickTracker ----

void ClickTracker::Press(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        m_pressed = true;
    e->accept();
}

void ClickTracker::Release(QWidget* self, QMouseEvent* e) {
    e->accept();
    if (e->button() != Qt::LeftButton || !m_pressed)
        return;
    m_pressed = false;
    if (self->rect().contains(e->position().toPoint()) && OnClick)
        OnClick(self);
}

void ClickTracker::DoubleClick(QWidget* self, QMouseEvent* e) {
    e->accept();
    if (e->button() != Qt::LeftButton)
        return;
    // The release after a double-click is not a click.
    m_pressed = false;
    if (OnDblClick)
        OnDblClick(self);
}

// ---- ElementPanel ----

ElementPanel::ElementPanel(QWidget* parent) : QFrame(parent) {
    SetUpCommon(this);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setFocusPolicy(Qt::NoFocus); // not a tab stop
    setBackgroundRole(QPalette::Button);
}

void ElementPanel::SetCaption(const QString& caption) {
    m_caption = caption;
    m_captionWidth = -1;
    update();
}

// One painter for background, frame and caption; the caption's width is
// measured once per caption, font and resolution, not at every paint.
void ElementPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().brush(backgroundRole()));
    drawFrame(&p);
    if (m_caption.isEmpty())
        return;
    const QRect area = contentsRect();
    // Measured with the trailing blanks, so they keep the text off the edge.
    if (m_captionWidth < 0 || m_captionFont != font() || m_captionDpi != logicalDpiX()) {
        m_captionFont = font();
        m_captionDpi = logicalDpiX();
        m_captionWidth = fontMetrics().horizontalAdvance(m_caption);
    }
    const int width = m_captionWidth;
    const QRect text(area.right() + 1 - width, area.top(), width, area.height());
    p.setPen(palette().color(QPalette::ButtonText));
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_caption);
}

void ElementPanel::mousePressEvent(QMouseEvent* e) {
    Clicks.Press(e);
}
void ElementPanel::mouseReleaseEvent(QMouseEvent* e) {
    Clicks.Release(this, e);
}
void ElementPanel::mouseDoubleClickEvent(QMouseEvent* e) {
    Clicks.DoubleClick(this, e);
}

// ---- ElementPicture ----

ElementPicture::ElementPicture(QWidget* parent) : QWidget(parent) {
    SetUpCommon(this);
}

void ElementPicture::SetPicture(const QImage& image) {
    m_image = image;
    update();
}

void ElementPicture::ClearPicture() {
    m_image = QImage();
    update();
}

void ElementPicture::paintEvent(QPaintEvent*) {
    if (m_image.isNull() || width() <= 0 || height() <= 0)
        return;
    // The picture scaled to the control once, shared by every control that
    // shows the same picture at the same size (the editor's placeholders, a
    // panel's state pictures), rather than scaled again at every paint.
    const qreal ratio = devicePixelRatioF();
    const QSize device = (QSizeF(size()) * ratio).toSize();
    const QString key = QStringLiteral("quelnet-picture:%1:%2x%3")
                            .arg(m_image.cacheKey())
                            .arg(device.width())
                            .arg(device.height());
    QPixmap scaled;
    if (!QPixmapCache::find(key, &scaled)) {
        scaled = QPixmap::fromImage(m_image.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        scaled.setDevicePixelRatio(ratio);
        QPixmapCache::insert(key, scaled);
    }
    QPainter p(this);
    p.drawPixmap(0, 0, scaled);
}

void ElementPicture::mousePressEvent(QMouseEvent* e) {
    Clicks.Press(e);
}
void ElementPicture::mouseReleaseEvent(QMouseEvent* e) {
    Clicks.Release(this, e);
}
void ElementPicture::mouseDoubleClickEvent(QMouseEvent* e) {
    Clicks.DoubleClick(this, e);
}

// ---- ElementShape ----

ElementShape::ElementShape(QWidget* parent)
    : QWidget(parent), m_brush(QColor(192, 192, 192), Qt::DiagCrossPattern), m_pen(Qt::NoPen) {
    SetUpCommon(this);
}

// The hatch is drawn once per size into a transparent pixmap that every
// shape of that size shares: a pattern brush is set up anew (its tile
// coloured) at every paint, a pixmap is only copied. The pattern starts at
// the control's corner either way, so the pixels are the same.
void ElementShape::paintEvent(QPaintEvent*) {
    if (width() <= 0 || height() <= 0)
        return;
    const qreal ratio = devicePixelRatioF();
    const QSize device = (QSizeF(size()) * ratio).toSize();
    QString key = QStringLiteral("quelnet-hatch:");
    key += QString::number(device.width());
    key += QLatin1Char('x');
    key += QString::number(device.height());
    key += QLatin1Char('@');
    key += QString::number(ratio);
    QPixmap hatch;
    if (!QPixmapCache::find(key, &hatch)) {
        hatch = QPixmap(device);
        hatch.setDevicePixelRatio(ratio);
        hatch.fill(Qt::transparent);
        QPainter p(&hatch);
        p.setPen(m_pen);
        p.setBrush(m_brush);
        p.drawRect(rect());
        p.end();
        QPixmapCache::insert(key, hatch);
    }
    QPainter p(this);
    p.drawPixmap(0, 0, hatch);
}

// ---- ElementStaticText ----

ElementStaticText::ElementStaticText(QWidget* parent) : QLabel(parent) {
    SetUpCommon(this);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWordWrap(false);
    setTextFormat(Qt::PlainText);
    setBackgroundRole(QPalette::Window); // not transparent
}

void ElementStaticText::paintEvent(QPaintEvent* e) {
    FillBackground(this);
    QLabel::paintEvent(e);
}

void ElementStaticText::SetSunken(bool sunken) {
    if (sunken) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(1);
    } else {
        setFrameStyle(QFrame::NoFrame);
    }
}

void ElementStaticText::SetAutoSize(bool on) {
    m_sizing = on ? Sizing::ToText : Sizing::Fixed;
    ApplySizing();
}

void ElementStaticText::SetWholeText(bool on) {
    if (on && !WholeText())
        m_elementSize = size();
    else if (!on && WholeText())
        resize(m_elementSize);
    m_sizing = on ? Sizing::AtLeastText : Sizing::Fixed;
    ApplySizing();
}

void ElementStaticText::ApplySizing() {
    if (m_sizing == Sizing::ToText)
        resize(sizeHint());
    else if (m_sizing == Sizing::AtLeastText)
        resize(m_elementSize.expandedTo(sizeHint()));
}

void ElementStaticText::changeEvent(QEvent* e) {
    QLabel::changeEvent(e);
    if (e->type() == QEvent::FontChange || e->type() == QEvent::StyleChange)
        ApplySizing();
}

void ElementStaticText::mousePressEvent(QMouseEvent* e) {
    Clicks.Press(e);
}
void ElementStaticText::mouseReleaseEvent(QMouseEvent* e) {
    Clicks.Release(this, e);
}
void ElementStaticText::mouseDoubleClickEvent(QMouseEvent* e) {
    Clicks.DoubleClick(this, e);
}

// ---- ElementTrackBar ----

ElementTrackBar::ElementTrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    SetUpCommon(this);
    setTickPosition(QSlider::TicksBelow);
}

void ElementTrackBar::SetSteps(int steps) {
    setRange(0, std::max(0, steps));
    setSingleStep(1);
    setPageStep(2);
    // A tick per position up to 100 positions, then about 100 ticks.
    setTickInterval(std::max(1, steps / 100));
}

void ElementTrackBar::SetVertical(bool vertical) {
    setOrientation(vertical ? Qt::Vertical : Qt::Horizontal);
    setTickPosition(vertical ? QSlider::TicksRight : QSlider::TicksBelow);
    // Qt puts the minimum of a vertical slider at the bottom; here position 0
    // is at the top, and Up moves the thumb up (towards 0).
    setInvertedAppearance(vertical);
    setInvertedControls(vertical);
}

} // namespace quelnet
