#pragma once
// Common frame of the maintenance windows: fixed dialog border, designed
// client size, Tahoma 8 pt, centred on the screen or at (0, 0), and the help
// button where the window has one.

#include <QWidget>

namespace quelnet {

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

    void SetCommon(TfmCommon* common) { m_common = common; }
    TfmCommon* Common() const { return m_common; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    Design m_design;
    bool m_placed = false;
    TfmCommon* m_common = nullptr;
};

} // namespace quelnet
