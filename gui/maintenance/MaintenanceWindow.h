#pragma once
// Common frame of the maintenance windows: fixed dialog border, designed
// client size, Tahoma 8 pt, centred on the screen (frame included) or at
// (0, 0), and the help button where the window has one.

#include <QWidget>

namespace quelnet {

class FramedPlacement;
class TfmCommon;

class MaintenanceWindow : public QWidget {
    Q_OBJECT
public:
    struct Design {
        const char* objectName;
        const char* caption;
        int clientWidth;
        int clientHeight;
        bool centred;
        const char* helpFragment; // nullptr: no help
    };

    MaintenanceWindow(const Design& design, QWidget* parent = nullptr);

    // The window's link: its waits for the controller keep the window painted.
    void SetCommon(TfmCommon* common);
    TfmCommon* Common() const { return m_common; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Centre();

    Design m_design;
    FramedPlacement* m_framing = nullptr;
    bool m_placed = false;
    TfmCommon* m_common = nullptr;
};

} // namespace quelnet
