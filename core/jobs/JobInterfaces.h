#pragma once
// What a maintenance job asks of the front end that runs it: message boxes and
// questions, file choices and the alarm sound. A window answers with real
// dialogs, the command-line tool with terminal prompts (or "--yes"), tests with
// a script. Log lines, progress and repainting between pages go through the
// device link's ILog, IProgress and IEventPump.

#include "core/link/LinkInterfaces.h"

#include <QString>
#include <optional>

namespace quelnet {

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// One modal message box. Lines of the text are separated by CR (0x0D), as the
// interface texts are joined.
struct Message {
    QString caption;
    QString text;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

class IMessages {
public:
    virtual ~IMessages() = default;
    // Shows the box until the user answers. A Yes/No box closed without a
    // choice answers No.
    virtual MessageAnswer Show(const Message& message) = 0;
};

// The boxes of the maintenance windows, with their fixed captions and icons.
void ShowWarning(IMessages& messages, const QString& text);     // "Ostrzeżenie", warning icon, OK
void ShowError(IMessages& messages, const QString& text);       // "Błąd", error icon, OK
void ShowInformation(IMessages& messages, const QString& text); // "Informacja", information icon, OK
bool AskQuestion(IMessages& messages, const QString& text);     // "Pytanie", question icon, Yes/No
bool AskWarning(IMessages& messages, const QString& text);      // "Ostrzeżenie", warning icon, Yes/No
// (the two Ask functions return true exactly when the answer is Yes)

// An open or save dialog.
struct FileChoice {
    QString title;
    QString filter;   // "description|pattern" pairs joined by "|": "HTML|*.html|HTM|*.htm"
    QString fileName; // proposed file name, e.g. "Conf.QNC"
};

class IFileChooser {
public:
    virtual ~IFileChooser() = default;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> ChooseOpenFile(const FileChoice& choice) = 0;
    // The save choice does not ask about an existing file; the job does.
    virtual std::optional<QString> ChooseSaveFile(const FileChoice& choice) = 0;
};

class ISound {
public:
    virtual ~ISound() = default;
    virtual void Alarm() = 0; // the alarm after a failed step; returns at once
};

// Everything a job talks to. The pump and the sound may be absent.
struct JobFrontEnd {
    IMessages& messages;
    IFileChooser& files;
    ILog& log;
    IProgress& progress;
    IEventPump* pump = nullptr;
    ISound* sound = nullptr;
};

// The controller a job works on: the address, TCP port and control password
// fields of a maintenance window, as typed.
struct ControllerTarget {
    QString host;
    QString port;
    QString password;
};

} // namespace quelnet
