#pragma once
// The user's eight web pages and eight graphics: choosing files, the free
// space they leave in the DataFlash, and installing them into a 4.x controller
// (the whole DataFlash rebuilt from the package group ("PL", "V401f") with the
// user's files in place of the defaults, written with SendDataFlash).
//
// The choices themselves are the front end's (a TUser_Resource it fills from
// its own fields); the job reads them.

#include "core/firmware/UserResource.h"
#include "core/jobs/JobInterfaces.h"

#include <functional>
#include <optional>

namespace quelnet {

class TfmCommon;

enum class ResourceKind { Page, Graphic }; // u1.html ... u8.html, s1.gif ... s8.gif

class ResourcesJob {
public:
    ResourcesJob(TfmCommon& link, const JobFrontEnd& frontEnd);

    // The open dialog for a page (HTML, HTM, TEXT filters) or a graphic (GIF).
    static std::optional<QString> Choose(IFileChooser& files, ResourceKind kind);

    // Installs the resources; the status line text of the outcome. The
    // programming's progress lines go to the log (the window does not show
    // them). The box
    // that tells the outcome shows the same text; status is called with it
    // first, so that the status line already shows it while the box is open.
    QString Install(const ControllerTarget& target, const TUser_Resource& resource,
                    const std::function<void(const QString&)>& status = {});

    static FileChoice DialogOf(ResourceKind kind);

    // "Wolna przestrzeń : 151kBi" for the image the resources make; "... : -"
    // when the files leave no room; nothing when the image cannot be built for
    // another reason (the status line keeps its text).
    static std::optional<QString> FreeSpaceText(const TUser_Resource& resource);

    // True when the image of (lang, "V401f") cannot be built with the user's
    // files but can without them: the files leave no room.
    static bool FilesDoNotFit(const QString& lang, const TUser_Resource& resource);

private:
    TfmCommon& m_link;
    JobFrontEnd m_ui;
};

// A size in bytes as shown beside a resource: "-" for 0 or less, else whole
// KiB rounded up with "kBi" ("1kBi" for 1 to 1,024 bytes, "2kBi" for 1,025).
QString SizeText(qint64 bytes);

// The size of a file, -1 when it is missing or cannot be opened.
qint64 UserFileSize(const QString& path);

} // namespace quelnet
