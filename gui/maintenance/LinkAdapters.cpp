#include "gui/maintenance/LinkAdapters.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTextBlock>
#include <QTextCursor>

namespace quelnet {

void MemoLog::Clear() {
    m_memo->clear();
}

void MemoLog::Append(const QString& line) {
    m_memo->appendPlainText(line);
}

void MemoLog::RemoveLast() {
    QTextDocument* document = m_memo->document();
    if (document->isEmpty())
        return;
    // The last paragraph with the separator before it (the first has none).
    const QTextBlock last = document->lastBlock();
    QTextCursor cursor(document);
    cursor.setPosition(last.previous().isValid() ? last.position() - 1 : 0);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void BarProgress::SetMaximum(int maximum) {
    m_bar->setMaximum(maximum);
}

int BarProgress::Maximum() const {
    return m_bar->maximum();
}

void BarProgress::SetPosition(int position) {
    m_bar->setValue(position);
}

int BarProgress::Position() const {
    return m_bar->value();
}

void WindowEventPump::ProcessEvents() {
    QCoreApplication::processEvents();
}

} // namespace quelnet
