#include "cli/FrontEnd.h"

#include "cli/CliTexts.h"

namespace quelnet::cli {

namespace {

// Message texts join their lines with CR.
QString Lines(const QString& text) {
    QString t = text;
    return t.replace(u'\r', u'\n');
}

QString Boxed(const Message& m) {
    return m.caption.isEmpty() ? Lines(m.text) : m.caption + ": " + Lines(m.text);
}

} // namespace

MessageAnswer CliMessages::Show(const Message& message) {
    if (message.buttons == MessageButtons::Ok) {
        m_notices << message.text;
        m_say(Boxed(message));
        return MessageAnswer::Ok;
    }
    const auto preset = m_presets.constFind(message.text);
    const bool yes = preset != m_presets.constEnd() ? *preset : Ask(Boxed(message));
    m_answers << yes;
    return yes ? MessageAnswer::Yes : MessageAnswer::No;
}

bool CliMessages::Ask(const QString& text) {
    if (m_yes)
        return true;
    if (!m_prompts) {
        m_say(text);
        m_say(Tx(txt::RefusedNoTerminal));
        m_refused = true;
        return false;
    }
    if (m_beforePrompt)
        m_beforePrompt();
    m_prompts->Err(Tx(txt::YesNoPrompt).arg(text));
    const std::optional<QString> answer = m_prompts->ReadLine();
    const QStringList yes = Tx(txt::YesAnswers).split(u',');
    if (answer && yes.contains(answer->trimmed().toLower()))
        return true;
    m_say(Tx(txt::RefusedByUser));
    m_refused = true;
    return false;
}

std::optional<QString> ArgumentFiles::Choose(const FileChoice& choice) const {
    const QString& path =
        choice.fileName.endsWith(QLatin1String(".QNC"), Qt::CaseInsensitive) ? m_config : m_texts;
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

void ConsoleReporter::Append(const QString& line) {
    m_lines << line;
    if (!m_terminal) {
        m_console.ErrLine(line);
        return;
    }
    if (m_open)
        m_console.Err(QStringLiteral("\n"));
    m_open = true;
    m_drawn.clear();
    Redraw();
}

void ConsoleReporter::RemoveLast() {
    if (m_lines.isEmpty())
        return;
    m_lines.removeLast();
    if (m_terminal && m_open) {
        m_console.Err(QStringLiteral("\r\x1b[2K"));
        m_open = false;
        m_drawn.clear();
    }
}

void ConsoleReporter::SetPosition(int position) {
    const bool changed = position != m_position;
    m_position = position;
    if (m_terminal && m_open && changed)
        Redraw();
}

void ConsoleReporter::Redraw() {
    QString text = QStringLiteral("\r\x1b[2K") + m_lines.last();
    // Only a running step (" ...") carries the bar.
    if (m_lines.last().endsWith(QLatin1String("...")) && m_position > 0 && m_maximum > 0) {
        constexpr int Width = 30;
        const int done = qBound(0, m_position * Width / m_maximum, Width);
        text += QStringLiteral("  [") + QString(done, u'#') + QString(Width - done, u'.') + u']' +
                QStringLiteral(" %1%").arg(qBound(0, m_position * 100 / m_maximum, 100));
    }
    if (text != m_drawn)
        m_console.Err(text);
    m_drawn = text;
}

void ConsoleReporter::Finish() {
    if (m_terminal && m_open)
        m_console.Err(QStringLiteral("\n"));
    m_open = false;
    m_drawn.clear();
}

} // namespace quelnet::cli
