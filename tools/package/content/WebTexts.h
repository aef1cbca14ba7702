#pragma once
// The package's web pages, style sheets and text files, each made exactly as
// large as the plan asks: HTML pages by their size after compaction (which is
// what the DataFlash holds), the others by their file size.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quelnet::content {

struct PageOptions {
    QString lang;       // "PL" (Windows-1250) or "LT" (ASCII, letters as character references)
    int topic = 0;      // picks title and table
    QString styleSheet; // file name of the style sheet, may be empty
    QStringList links;  // pages of the menu
    bool userPage = false;
};

// Empty when the page does not fit in compactedSize bytes.
QByteArray HtmlPage(const PageOptions& options, int compactedSize);
QByteArray StyleSheet(int variant, int size);
QByteArray TextFile(int variant, int size);

} // namespace quelnet::content
