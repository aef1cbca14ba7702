#pragma once
// TfmVQuelnet: the panel window. In the editor (EditMode true) elements are
// placed, moved and edited; in run mode the window polls the controllers.
// The window owns the element records and every element control.

#include "panel/ElementModel.h"

#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <vector>

class QStatusBar;

namespace quelnet {

class TfmCommon;
class TfmQuelnetTool;

class TfmVQuelnet : public QWidget {
    Q_OBJECT
public:
    explicit TfmVQuelnet(QWidget* parent = nullptr);
    ~TfmVQuelnet() override;

    // Set once by start-up, before the window is shown.
    bool EditMode = false;

    // Collaborators, set by start-up. Tool is null in run mode.
    void SetCommon(TfmCommon* common) { m_common = common; }
    void SetTool(TfmQuelnetTool* tool) { m_tool = tool; }
    TfmCommon* Common() const { return m_common; }
    TfmQuelnetTool* Tool() const { return m_tool; }

    // The five record arrays (ES_Buttons ... ES_Tracks).
    ElementRecords Records;

    // Value scans of the records for the parameter sheet's drop-down lists.
    QStringList ScanHosts() const;
    QStringList ScanPorts() const;
    QStringList ScanPasss() const;
    QStringList ScanDCirs() const;
    QStringList ScanACirs() const;
    QStringList ScanFress() const;
    QStringList ScanALevs() const;

    // Designed client size and caption.
    static constexpr int DesignedClientWidth = 700;
    static constexpr int DesignedClientHeight = 382;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormShow();
    bool FormCloseQuery();
    void FormClose();

    TfmCommon* m_common = nullptr;
    TfmQuelnetTool* m_tool = nullptr;
    bool m_shown = false;
};

} // namespace quelnet
