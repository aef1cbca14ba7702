#pragma once
// Children of a maintenance window as designed: each with its designed name
// (the object name the tests find it by) and rectangle.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRect>
#include <QString>

namespace quelnet::design {

template <class Control> Control* Place(QWidget* parent, const char* name, const QRect& rect) {
    auto* control = new Control(parent);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(rect);
    return control;
}

inline QLabel* Caption(QWidget* parent, const char* name, const char* text, const QRect& rect) {
    QLabel* label = Place<QLabel>(parent, name, rect);
    label->setText(QString::fromUtf8(text));
    return label;
}

inline QLineEdit* Edit(QWidget* parent, const char* name, const char* text, const QRect& rect) {
    QLineEdit* edit = Place<QLineEdit>(parent, name, rect);
    edit->setText(QString::fromUtf8(text));
    return edit;
}

// An edit that shows "*" for every character.
inline QLineEdit* PasswordEdit(QWidget* parent, const char* name, const char* text, const QRect& rect) {
    QLineEdit* edit = Edit(parent, name, text, rect);
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyleSheet("lineedit-password-character: 42");
    return edit;
}

inline QPushButton* Button(QWidget* parent, const char* name, const char* text, const QRect& rect) {
    QPushButton* button = Place<QPushButton>(parent, name, rect);
    button->setText(QString::fromUtf8(text));
    return button;
}

} // namespace quelnet::design
