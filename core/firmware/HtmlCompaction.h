#pragma once
// Compaction of HTML pages on their way into the DataFlash.
//
// A page is compacted when it begins, at its very first byte, with
// "<!doctype html" in any case. Its lines (split at CR, LF or CR LF) are trimmed
// of blanks (every byte up to 0x20) and joined: markup outside comments becomes
// one long line per run, a line with "<!--" stands between two CR LF, and lines
// up to the one with "-->" keep their own CR LF.
//
// The work is done on the bytes: every character that matters is ASCII and the
// code page maps bytes 0x00-0x20 to themselves, so pages in the ANSI code page
// come out as through a text conversion, while bytes the code page does not
// define (for example in UTF-8 pages: the second byte of "Ł" or "Ń") pass
// through unchanged instead of turning into '?'.

#include <QByteArray>

namespace quelnet {

bool IsHtmlPage(const QByteArray& data);
// The compacted page; data that is not an HTML page comes back unchanged.
QByteArray CompactHtml(const QByteArray& data);

} // namespace quelnet
