#pragma once
// Reading DataFlash pages back after they were written, with the long page
// read (0xA0) of the configuration transfer, which a 4.x controller answers
// for any page of its DataFlash. Each page is compared with the bytes written.

#include <QByteArray>
#include <QString>

namespace quelnet {
class TfmCommon;
class IProgress;
} // namespace quelnet

namespace quelnet::cli {

struct ReadBackResult {
    enum class Status { Same, Differs, NoReply };
    Status status = Status::Same;
    int pages = 0;    // pages compared and equal
    int badPage = -1; // the first page that differs or was not read
};

// Pages first .. end-1 of `image` (which starts at page 0) against the
// controller. One connection, three attempts per page.
ReadBackResult ReadBackPages(TfmCommon& link, const QString& host, const QString& port,
                             const QString& password, const QByteArray& image, int first, int end,
                             IProgress& progress);

} // namespace quelnet::cli
