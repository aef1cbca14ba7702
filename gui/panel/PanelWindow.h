#pragma once
// TfmVQuelnet: the panel window. In the editor (EditMode true) elements are
// placed, moved and edited; in run mode the window polls the controllers.
// The window owns the element records and every element control.

#include "core/panel/ElementModel.h"
#include "core/panel/PanelFile.h"
#include "gui/common/WindowFrame.h"
#include "gui/panel/PanelViews.h"

#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

class QStatusBar;

namespace quelnet {

class TfmCommon;
class TfmQuelnetTool;
class PanelEditor;
class RunMode;

class TfmVQuelnet : public QWidget, public IElementHandlers, private IPanelFileHost {
    Q_OBJECT
public:
    explicit TfmVQuelnet(QWidget* parent = nullptr);
    ~TfmVQuelnet() override;

    // Set once by start-up, before the window is shown.
    bool EditMode = false;

    // Collaborators, set by start-up. Tool is null in run mode.
    // The window's link: its waits for the controller keep the window painted.
    void SetCommon(TfmCommon* common);
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

    // The element controls: the ten control arrays (Views().Quel_Button_Panel
    // ...), the creation operations, slots, insertion and destruction.
    PanelViews& Views() { return *m_views; }
    const PanelViews& Views() const { return *m_views; }
    // The editor's gestures (drag, drop, frames, keys); idle in run mode.
    PanelEditor& Editor() { return *m_editor; }

    // Panel file (PanelFilePath()): SaveElements writes the window's place and
    // every element (true when written, else `why` says why not); LoadElements reads it, allocates
    // slots, creates the views of the current mode and places the window
    // (false when the file cannot be opened); ClearElements stops polling,
    // destroys every element control and empties the control arrays, keeping
    // the records.
    bool SaveElements(QString* why = nullptr);
    bool LoadElements();
    void ClearElements();

    // Element handlers attached by the views (see PanelViews.h).
    void ElementClick(QWidget* Sender) override;
    void ElementDblClick(QWidget* Sender) override;
    void ElementOutputClick(QWidget* Sender) override;
    void SliderChange(QWidget* Sender) override;

    // The border is chosen when the window is first shown: sizeable in the
    // editor, the fixed dialog border in run mode.
    void setVisible(bool visible) override;

    // Designed client size and caption.
    static constexpr int DesignedClientWidth = 700;
    static constexpr int DesignedClientHeight = 382;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // IPanelFileHost: what the panel file reader asks of the window.
    ElementRecords& PanelRecords() override { return Records; }
    void SetPanelWindowState(int state) override;
    void SetPanelWindowRect(int left, int top, int width, int height) override;
    int AllocateElementSlot(int kind) override;
    void CreateElementViews(int kind, int slot, const QRect& rect) override;
    PanelWindowPlace WindowPlace() const;
    void PlaceStatusBar();
    void ApplyOuterRect(const QRect& outer);
    void FinishPlace();
    void RememberNormalOuter();

    // The panel file's outer rectangle and window state, applied again (the
    // rectangle) and at last (the state) once the window manager has framed the
    // window: only then is the frame's share of the rectangle known, and the
    // window's normal place is then set before it is maximised or minimised.
    FramedPlacement* m_framing = nullptr;
    std::optional<QRect> m_outerWhenFramed;
    std::optional<Qt::WindowStates> m_stateWhenFramed;
    // The outer rectangle of the normal state (neither minimised nor
    // maximised): what the panel file keeps whatever the state. A window
    // manager frames a maximised window differently, so it is taken while the
    // window is in the normal state, or from the panel file.
    std::optional<QRect> m_normalOuter;

    void FormShow();
    bool FormCloseQuery();
    // The editor saves the panel before it closes; when that fails, the user
    // is told why and chooses: true to close anyway.
    bool SaveOrAskToClose();
    bool AskToCloseUnsaved(const QString& why);
    // The panel file could not be read or was refused: an empty panel leaves
    // it untouched; otherwise its bytes are kept beside it before the save.
    bool SaveOverUnreadPanel();
    void TellPanelRefused(const QString& path);
    void ShowPanelFileLocation(const PanelFileLocation& where);
    // What became of reading the panel file (LoadElements).
    PanelLoadResult m_load;
    void FormClose();

    // Run mode's error line along the bottom ("StatusBar1"); hidden, never
    // saved. Placed at the bottom and raised above the elements whenever it is
    // shown.
    QStatusBar* m_statusBar = nullptr;
    TfmCommon* m_common = nullptr;
    TfmQuelnetTool* m_tool = nullptr;
    bool m_shown = false;
    std::unique_ptr<PanelViews> m_views;   // after Records: destroyed before them
    std::unique_ptr<PanelEditor> m_editor; // after m_views: destroyed before them
    std::unique_ptr<RunMode> m_run;        // run mode only, from FormShow on; destroyed first
};

} // namespace quelnet
