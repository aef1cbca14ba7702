#include "gui/toolbox/SheetCell.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

namespace quelnet {

namespace {

// The focus is on the widget or on something inside it (the combo box's edit).
bool FocusWithin(const QWidget* widget) {
    const QWidget* focus = QApplication::focusWidget();
    return focus && (focus == widget || widget->isAncestorOf(focus));
}

} // namespace

SheetCell::SheetCell(EditStyle style, const QStringList& choices, const QString& value, QWidget* parent)
    : QWidget(parent), m_style(style) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    if (style == EditStyle::List || style == EditStyle::FixedList) {
        m_combo = new QComboBox(this);
        m_combo->setEditable(true); // also for a fixed list, so that any stored text can be shown
        m_combo->setFrame(false);
        m_combo->setInsertPolicy(QComboBox::NoInsert);
        m_combo->setCompleter(nullptr); // typed text is stored as typed, never completed
        // The wheel changes a value only in the row the user works in (the one
        // with the focus); rolled over other rows it scrolls the sheet (see
        // eventFilter). Nor does the wheel give a combo box the focus.
        m_combo->setFocusPolicy(Qt::StrongFocus);
        m_combo->installEventFilter(this);
        m_combo->addItems(choices);
        const int at = m_combo->findText(value, Qt::MatchExactly | Qt::MatchCaseSensitive);
        m_combo->setCurrentIndex(at);
        if (at < 0)
            m_combo->setEditText(value);
        m_edit = m_combo->lineEdit();
        if (style == EditStyle::FixedList) {
            m_edit->setReadOnly(true);
            m_edit->installEventFilter(this); // a click on the text opens the list
        }
        layout->addWidget(m_combo);
        connect(m_combo, &QComboBox::editTextChanged, this, &SheetCell::Changed);
        connect(m_combo, &QComboBox::activated, this, &SheetCell::EditEnded);
    } else {
        m_edit = new QLineEdit(value, this);
        m_edit->setFrame(false);
        layout->addWidget(m_edit);
        connect(m_edit, &QLineEdit::textChanged, this, &SheetCell::Changed);
        if (style == EditStyle::PickPicture || style == EditStyle::PickColor ||
            style == EditStyle::PickYesNo) {
            m_pick = new QToolButton(this);
            m_pick->setText(QStringLiteral("..."));
            m_pick->setFixedWidth(18);
            m_pick->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
            layout->addWidget(m_pick);
            connect(m_pick, &QToolButton::clicked, this, &SheetCell::PickClicked);
        }
    }
    connect(m_edit, &QLineEdit::editingFinished, this, &SheetCell::EditEnded);
    setFocusProxy(m_combo ? static_cast<QWidget*>(m_combo) : m_edit);
}

QString SheetCell::Text() const {
    return m_combo ? m_combo->currentText() : m_edit->text();
}

void SheetCell::SetText(const QString& text) {
    if (m_combo)
        m_combo->setEditText(text);
    else
        m_edit->setText(text);
}

bool SheetCell::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_combo && event->type() == QEvent::Wheel && !FocusWithin(m_combo)) {
        event->ignore(); // passed on to the sheet, which scrolls
        return true;
    }
    if (watched == m_edit && m_combo && event->type() == QEvent::MouseButtonPress) {
        m_combo->showPopup();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace quelnet
