#pragma once
// Sets up a new configuration offline: which machine is coupled to the board and which of the four unit
// slots are present. Writes the coupling parameters and the unit types into the image and sets the slave
// types.

#include "EditorBase.h"

#include <array>

class QLabel;
class QPushButton;

namespace vm::editors {

class FrmConfSLAVE : public EditorBase {
    Q_OBJECT
public:
    FrmConfSLAVE(EditorContext& ctx, QWidget* parent = nullptr);
    ~FrmConfSLAVE() override;

    // The menu entry kept disabled while this window is open.
    static inline const QString kLockedMenuEntry = QStringLiteral("SmuNew");

    // Slave types of the four slots for each machine of the list.
    static constexpr std::uint8_t kHotDrinkUnit = 1; // " CALDO "
    static constexpr std::uint8_t kSnackUnitA = 3;   // " TULA A "
    static constexpr std::uint8_t kSnackUnitB = 4;   // " TULA B "
    static std::array<std::uint8_t, 4> slotTypes(int machine);

protected:
    void buildExtra() override;
    void afterDelivery(int index, const ParamData& value) override;
    void formUnload() override;

private:
    int machine() const;
    void showMachine(int machine);
    void chooseMachine(int coupling);
    void finish();

    QLabel* machineLabel_ = nullptr;
    std::array<QLabel*, 5> slotLabels_{};
    QPushButton* command_ = nullptr;
    std::array<std::uint8_t, 4> slotTypes_{};
    bool menuRestored_ = false;
};

} // namespace vm::editors
