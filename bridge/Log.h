#pragma once
// Log lines on standard error. Under systemd (JOURNAL_STREAM set) each line
// carries its syslog priority as "<N>" in front, which the journal takes as
// the line's priority; elsewhere the program's name. Passwords are never
// handed to these functions.

#include <QString>

namespace quelnet::bridge {

enum class LogLevel { Error = 3, Warning = 4, Notice = 5, Info = 6, Debug = 7 };

void Log(LogLevel level, const QString& text);
inline void LogError(const QString& text) { Log(LogLevel::Error, text); }
inline void LogWarning(const QString& text) { Log(LogLevel::Warning, text); }
inline void LogInfo(const QString& text) { Log(LogLevel::Info, text); }

} // namespace quelnet::bridge
