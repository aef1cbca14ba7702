#pragma once
// Finds a window's control by its designed name ("Timer2", "StatusBar1",
// "ValueListEditor1"), the way the tests reach controls they do not own.

#include <QObject>

template <class T> T* Named(const QObject& parent, const char* name) {
    return parent.findChild<T*>(QString::fromLatin1(name));
}
