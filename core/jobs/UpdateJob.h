#pragma once
// Firmware update of one controller: identification, the refusals and
// questions before an update, and the update itself (program image from the
// package, sealed, copied into the DataFlash image built for the chosen
// language and version, handed to UpdateDataFlash).
//
// A front end runs it in three calls:
//   UpdateIdentity id = job.Identify(target);      // "Połącz i sprawdź QuelNet-a"
//   if (id.Ready()) { ... let the user choose version and language ... }
//   std::optional<bool> updConfig = job.Confirm(id, choice);  // refusals, questions
//   if (updConfig) UpdateStep step = job.Install(target, id, choice, *updConfig);
// Identify shows nothing; Confirm shows its boxes through IMessages; Install
// writes the log and progress and sounds the alarm when the program or the
// DataFlash content cannot be loaded.

#include "core/jobs/JobInterfaces.h"

#include <QChar>
#include <QStringList>
#include <optional>

namespace quelnet {

class TfmCommon;

// The connection fields of the update window, as typed.
struct UpdateTarget {
    QString host;           // Edit1
    QString portTcp;        // Edit2
    QString portHttp;       // Edit3, old controllers only
    QString configPassword; // Edit4, old controllers only
};

// What the last identification found.
struct UpdateIdentity {
    enum class Found { Nothing, ShortFrames, StatusPage };
    Found found = Found::Nothing;
    QString Ver;          // e.g. "V2.1.4"; the six characters of the reply
    QChar Boa = QChar(0); // hardware variant ("A", "C")
    bool Con = false;     // programming jumper fitted
    QString Rea, Ser, Lng;
    QString status;  // the one-line status ("Wykryto QuelNet-a", ...)
    QString details; // the details, lines separated by CR

    // A controller that speaks short frames and has the jumper fitted.
    bool Ready() const { return found == Found::ShortFrames && Con; }
};

// The target versions offered, by index: 0 "V2.1.4", 1 "V4.0.1f".
struct UpdateChoice {
    int version = 1;
    QString language; // empty: none chosen
};

enum class UpdateStep {
    ProgramNotLoaded,  // no program image of 131,072 bytes for the choice
    ContentNotBuilt,   // the DataFlash image could not be built
    ProgrammingFailed, // UpdateDataFlash returned false: not programmed, or the update never started
    Done,              // the update started (V4.0.1f: and the texts were cleared after the restart)
    TextsNotCleared,   // V4.0.1f installed, but not found again to clear the texts
};

class UpdateJob {
public:
    // Service mode also updates controllers below version 4.
    UpdateJob(TfmCommon& link, const JobFrontEnd& frontEnd, bool serviceMode);

    // Asks the controller over short frames, else over its status page.
    UpdateIdentity Identify(const UpdateTarget& target);

    // The refusals and questions, in their order. The UpdConfig flag of the
    // update (true exactly when a controller below version 4 gets a version
    // other than its own), or nothing when refused.
    std::optional<bool> Confirm(const UpdateIdentity& identity, const UpdateChoice& choice);

    // Loads and seals the program, builds the DataFlash image with the program
    // copy and programs it. The log gets the progress lines (and "Błąd
    // programowania DataFlash." after a failed programming).
    UpdateStep Install(const UpdateTarget& target, const UpdateIdentity& identity, const UpdateChoice& choice,
                       bool updConfig);

    static const QStringList& VersionNames(); // "V2.1.4", "V4.0.1f"
    static QString PackageTag(int version);   // "V214", "V401f"; empty for another index
    // The languages the package offers for a target version.
    static QStringList Languages(int version);
    // Status line after Install: "Aktualizacja zakończona OK.", that it ended
    // with errors (texts not cleared) or that the update failed; empty when
    // the status line keeps its text.
    static QString StatusAfter(UpdateStep step);

private:
    bool LoadProgram(const UpdateIdentity& identity, const UpdateChoice& choice, QByteArray& program);
    void Alarm();

    TfmCommon& m_link;
    JobFrontEnd m_ui;
    bool m_serviceMode;
};

// The details text of an identification (exposed for the command line).
QString ShortFrameDetails(const UpdateIdentity& identity);
QString StatusPageDetails(const UpdateIdentity& identity);

} // namespace quelnet
