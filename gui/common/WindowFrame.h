#pragma once
// Top-level windows and the frame a window manager puts around them. Places
// kept in the panel file and given by the window designs are outer rectangles
// (frame included), while a widget is placed by its client area; the frame's
// share is known only once the window manager has framed the window, which it
// does when it maps it, after the program has asked for the window to be shown.

#include <QMargins>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <functional>

class QWidget;

namespace quelnet {

// Window flags of the fixed dialog border: a title bar with the close button
// only, no minimise or maximise (the windows with on-line help draw their own
// "?" button, see HelpSupport.h). `type` is Qt::Dialog, or Qt::Tool for the
// toolbox.
Qt::WindowFlags FixedDialogFlags(Qt::WindowType type = Qt::Dialog);

// The frame around the client area as the window system reports it now:
// nothing before the window manager has framed the window, or without one.
QMargins FrameMargins(const QWidget* window);

// The outer rectangle: the client area widened by FrameMargins.
QRect OuterRect(const QWidget* window);

// The client area that gives the outer rectangle `outer` with the frame `frame`.
QRect ClientRectFor(const QRect& outer, const QMargins& frame);

// Puts the window's frame at `outerTopLeft`, its size unchanged. The client
// area is placed from the frame known now, not from the place the widget last
// heard of: that one may still be from before the window manager framed it.
void MoveOuterTo(QWidget* window, const QPoint& outerTopLeft);

// Runs a placing step once the window is exposed (by then a window manager has
// framed it and FrameMargins is known), or at once when it is exposed already
// or has no native window yet. Window managers differ in the order of framing,
// mapping and reporting the frame, so a place applied while the window is
// being shown is applied again this way.
class FramedPlacement : public QObject {
    Q_OBJECT
public:
    explicit FramedPlacement(QWidget* window);

    // A later step replaces one still waiting.
    void WhenFramed(std::function<void()> step);
    // A step is waiting for the window to be exposed.
    bool Pending() const { return bool(m_step); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    std::function<void()> m_step;
};

} // namespace quelnet
