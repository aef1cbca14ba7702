#pragma once
// The C library's Polish locale (pl_PL.UTF-8) for tests that must run under
// real Polish regional settings, where the decimal separator is a comma for
// every locale-aware C function (strtod, printf, ...).
//
// Debian ships the locale's definition (package "locales") but generates only
// the locales the administrator chose. When the system has no compiled
// pl_PL.UTF-8, it is compiled with localedef into `folder` (no root needed)
// and found there through LOCPATH, which the C library reads on every
// setlocale call.

#include <string>

namespace quelnet::test {

// Makes pl_PL.UTF-8 loadable: true when setlocale can load it afterwards.
// `error` says why not otherwise. Several test processes may call this at once:
// each compiles into a folder of its own and renames it into place.
bool ProvidePolishLocale(const std::string& folder, std::string* error);

} // namespace quelnet::test
