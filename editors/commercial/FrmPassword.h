#pragma once
// The service codes the machine asks for at its keypad before its service menus and clearing functions.
// The window keeps none of them: each code lives on the board (or in the configuration) only.

#include "EditorBase.h"

#include <array>

namespace vm::editors {

class CommitLineEdit;

class FrmPassword : public EditorBase {
    Q_OBJECT
public:
    FrmPassword(EditorContext& ctx, QWidget* parent = nullptr);

    static constexpr int kCodes = 6;

protected:
    void buildExtra() override;
    void afterDelivery(int index, const ParamData& value) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void commit(int box, const QString& typed);

    std::array<CommitLineEdit*, kCodes> boxes_{};
};

} // namespace vm::editors
