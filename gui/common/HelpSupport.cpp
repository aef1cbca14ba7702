#include "gui/common/HelpSupport.h"

#include "core/base/InterfaceTexts.h"
#include "gui/common/Platform.h"

#include <QEvent>
#include <QResizeEvent>
#include <QShortcut>
#include <QToolButton>
#include <QWidget>

namespace quelnet {

namespace {

constexpr int kButtonSize = 18;

// Keeps the button in the window's top-right corner and above the other
// children. A child added goes on top: the button is raised again once the
// adding is over (a panel load adds thousands), not for every child.
class CornerKeeper : public QObject {
public:
    CornerKeeper(QWidget* window, QToolButton* button) : QObject(button), m_window(window), m_button(button) {
        window->installEventFilter(this);
        place();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != m_window)
            return false;
        if (event->type() == QEvent::Resize) {
            place();
        } else if (event->type() == QEvent::ChildAdded && !m_raisePending) {
            m_raisePending = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_raisePending = false;
                    place();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    void place() {
        m_button->move(m_window->width() - kButtonSize - 2, 2);
        m_button->raise();
    }
    QWidget* m_window;
    QToolButton* m_button;
    bool m_raisePending = false;
};

} // namespace

QUrl HelpUrl(const QString& fragment) {
    QUrl url;
    url.setScheme("http");
    url.setHost(QString::fromLatin1(HelpHost));
    url.setPath("/pc-pl4/index.html");
    url.setFragment(fragment);
    return url;
}

bool OpenHelp(QWidget* owner, const QString& fragment) {
    if (!Platform().OpenUrl(HelpUrl(fragment)))
        return false;
    ShowMessage(owner, QMessageBox::NoIcon, Pl(lt::HelpTitle), Pl(lt::HelpOpened));
    return true;
}

QToolButton* InstallHelp(QWidget* window, const QString& fragment) {
    RemoveHelp(window);
    auto* button = new QToolButton(window);
    button->setObjectName("HelpButton");
    button->setText("?");
    button->setToolTip(Pl(lt::HelpButtonHint));
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRaise(true);
    button->resize(kButtonSize, kButtonSize);
    QObject::connect(button, &QToolButton::clicked, window,
                     [window, fragment] { OpenHelp(window, fragment); });
    new CornerKeeper(window, button);
    button->show();

    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), window);
    f1->setObjectName("HelpShortcut");
    f1->setContext(Qt::WindowShortcut);
    QObject::connect(f1, &QShortcut::activated, window, [window, fragment] { OpenHelp(window, fragment); });
    return button;
}

void RemoveHelp(QWidget* window) {
    delete window->findChild<QToolButton*>("HelpButton", Qt::FindDirectChildrenOnly);
    delete window->findChild<QShortcut*>("HelpShortcut", Qt::FindDirectChildrenOnly);
}

} // namespace quelnet
