#pragma once
// The settings of the GSM/GPRS telemetry module: how it reaches the outside world (SMTP server, domain,
// user, passwords, the SIM) and what it sends (audit e-mails, alarms, the periodic clearing of the sales
// data). The window edits the live board while connected, or its own copy of the settings once a ".tlm" file
// has been opened; that copy is saved to a file and written to a board as a whole with "WriteAll".

#include "EditorBase.h"
#include "TelemetryFile.h"

#include <vector>

class QAction;
class QCheckBox;
class QLabel;
class QRadioButton;
class QScrollBar;

namespace vm::catalogue {
struct ParamInfo;
}
namespace vm::editors {
class CommitLineEdit;
class SliderSwitch;
} // namespace vm::editors

namespace vm::remote {

class FrmGSM : public editors::EditorBase {
    Q_OBJECT
public:
    FrmGSM(editors::EditorContext& ctx, QWidget* parent = nullptr);

    // SettingsBuffer: the window's copy of the settings as the ".tlm" record holds it.
    const TelemetryRecord& settingsBuffer() const { return buffer_; }
    // FileMode: a file was opened, so every change goes to the window's copy, even while connected.
    bool fileMode() const { return fileMode_; }

protected:
    void buildExtra() override;
    void afterDelivery(int index, const ParamData& value) override;

private:
    struct TextGroup {
        const char* control;
        std::vector<int> params;
        editors::Caption caption;
        bool secret;
        editors::CommitLineEdit* edit = nullptr;
    };
    struct NumberField {
        const char* control;
        int param; // 1-byte fields take the catalogue's range; digit texts are limited by their width
        editors::Caption caption;
        editors::CommitLineEdit* edit = nullptr;
    };

    void buildToolBar(QWidget* container);
    void addTextGroup(TextGroup& group, QWidget* container);
    editors::CommitLineEdit* numberBox(NumberField& field, QWidget* container);
    void addNumberField(NumberField& field, QWidget* container);
    // A time of day: its hours and minutes boxes in one row under one caption.
    void addTimeFields(NumberField& hours, NumberField& minutes, const editors::Caption& caption,
                       QWidget* container);

    // SLabel_Change: a value of a setting arrives; it is stored in the window's copy and shown.
    void storeAndShow(int index, const std::vector<std::uint8_t>& bytes);
    void showSetting(int index);
    // Writing a value: to the board while connected and not editing a file, else to the window's copy.
    void writeSetting(int index, const std::vector<std::uint8_t>& bytes);
    // The board's cell only: the module's settings (its passwords above all) never enter the configuration.
    void setBoardCell(int index, const std::vector<std::uint8_t>& bytes);

    void commitText(TextGroup& group, const QString& typed);
    void commitNumber(NumberField& field, const QString& typed);

    void openFile();
    void saveFile();
    void writeAll();
    void updateEnabling();
    void setStatusLine(const QString& what);
    TelemetryHeader headerForSave() const;

    static const catalogue::ParamInfo& info(int index);

    TelemetryRecord buffer_{};
    TelemetryHeader header_; // the values kept from the last opened file
    bool fileMode_ = false;

    std::vector<TextGroup> texts_;
    std::vector<NumberField> numbers_;
    QScrollBar* days_[2] = {};
    QLabel* dayLabels_[2] = {};
    editors::SliderSwitch* sliders_[4] = {};
    QRadioButton* alarms_[2] = {};
    QCheckBox* showPasswords_ = nullptr;
    QAction* writeAllAction_ = nullptr;
    QLabel* status_ = nullptr;
};

} // namespace vm::remote
