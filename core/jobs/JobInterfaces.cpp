#include "core/jobs/JobInterfaces.h"

#include "core/base/InterfaceTexts.h"

namespace quelnet {

namespace {

MessageAnswer Box(IMessages& messages, const TLangText& caption, const QString& text, MessageIcon icon,
                  MessageButtons buttons) {
    return messages.Show({Pl(caption), text, icon, buttons});
}

} // namespace

void ShowWarning(IMessages& messages, const QString& text) {
    Box(messages, lt::TitleWarning, text, MessageIcon::Warning, MessageButtons::Ok);
}

void ShowError(IMessages& messages, const QString& text) {
    Box(messages, lt::TitleError, text, MessageIcon::Error, MessageButtons::Ok);
}

void ShowInformation(IMessages& messages, const QString& text) {
    Box(messages, lt::TitleInformation, text, MessageIcon::Information, MessageButtons::Ok);
}

bool AskQuestion(IMessages& messages, const QString& text) {
    return Box(messages, lt::TitleQuestion, text, MessageIcon::Question, MessageButtons::YesNo) ==
           MessageAnswer::Yes;
}

bool AskWarning(IMessages& messages, const QString& text) {
    return Box(messages, lt::TitleWarning, text, MessageIcon::Warning, MessageButtons::YesNo) ==
           MessageAnswer::Yes;
}

} // namespace quelnet
