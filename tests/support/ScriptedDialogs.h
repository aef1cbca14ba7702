#pragma once
// Answers a job's questions and file dialogs from a script and records what it
// was asked, instead of opening real dialogs; counts the alarms instead of
// sounding them.

#include "core/jobs/JobInterfaces.h"

#include <QList>
#include <QStringList>
#include <functional>
#include <ostream>

namespace quelnet {

inline bool operator==(const Message& a, const Message& b) {
    return a.caption == b.caption && a.text == b.text && a.icon == b.icon && a.buttons == b.buttons;
}

inline void PrintTo(const Message& m, std::ostream* os) {
    *os << "{" << m.caption.toStdString() << ", \"" << QString(m.text).replace('\r', "<CR>").toStdString()
        << "\", icon " << int(m.icon) << ", buttons " << int(m.buttons) << "}";
}

} // namespace quelnet

namespace quelnet::test {

class ScriptedDialogs : public IMessages, public IFileChooser, public ISound {
public:
    MessageAnswer Show(const Message& message) override {
        messages.append(message);
        trail << "box " + message.text.left(40);
        Asked();
        if (message.buttons == MessageButtons::Ok)
            return MessageAnswer::Ok;
        return !answers.isEmpty() && answers.takeFirst() ? MessageAnswer::Yes : MessageAnswer::No;
    }
    std::optional<QString> ChooseOpenFile(const FileChoice& choice) override {
        return Choose("open", choice);
    }
    std::optional<QString> ChooseSaveFile(const FileChoice& choice) override {
        return Choose("save", choice);
    }
    void Alarm() override {
        ++alarms;
        trail << "alarm";
    }

    QList<bool> answers;                 // Yes (true) or No for the Yes/No boxes, in order
    QList<std::optional<QString>> paths; // the path chosen in each file dialog, in order; none: cancel
    std::function<void()> onAsk;         // runs whenever a box or dialog is shown

    QList<Message> messages;   // every box shown
    QList<FileChoice> choices; // every file dialog shown
    QStringList trail;         // "save Conf.QNC", "open Text.QNT", "box <text>", "alarm" in order
    int alarms = 0;

private:
    std::optional<QString> Choose(const char* kind, const FileChoice& choice) {
        choices.append(choice);
        trail << QString::fromLatin1(kind) + " " + choice.fileName;
        Asked();
        return paths.isEmpty() ? std::nullopt : paths.takeFirst();
    }
    void Asked() {
        if (onAsk)
            onAsk();
    }
};

} // namespace quelnet::test
