#include "FrmDeco.h"

#include "Catalogue.h"
#include "MessageBox.h"
#include "ParamNames.h"
#include "StatePalette.h"
#include "widgets/CommitLineEdit.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>

#include <bit>
#include <cmath>

namespace vm::editors {

namespace {
// DecounterEnables bits 0..4: the ingredient switches of "Abilitazioni". IngredientReserve low byte: beans
// reserve, high byte: powders reserve.
constexpr int kIngredientMax = 25;
// Each unit's 175 decounter entries start here: the sector tables, and between them the unit's own values.
constexpr int kUnitStride = 175;
constexpr int kUnitBase[FrmDeco::kUnits] = {param::Decounter, param::Decounter + kUnitStride,
                                            param::Decounter + 2 * kUnitStride,
                                            param::Decounter + 3 * kUnitStride};
constexpr int kValueEntry = 57, kReserveEntry = 115, kEnableEntry = 173;
constexpr int kFirstSectorNumber = 10; // sector 1 is "Settore 10"

const char* const kIngredientSwitches[] = {"Decontatori Polveri ?", "Riserva Grani ?", "Riserva Polveri ?",
                                           "Deconta Bicchieri ?", " Deconta Grani ?"};
const char* const kKindCaptions[FrmDeco::kKinds] = {"Decontatore", "Ricarica", "Riserva"};
const char* const kErrorTitle = "ERROR";

QString unitName(const char* what, int unit) {
    return QStringLiteral("%1%2").arg(QLatin1String(what)).arg(unit);
}

std::vector<Caption> noYes() {
    return {Caption("No"), Caption("Si")};
}
} // namespace

FrmDeco::FrmDeco(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    sectors_.InitSectorParams();
    EditorDefinition d(QStringLiteral("FrmDeco"), Caption("Decontatori "));
    d.watchVisibleTab = true; // 70 sectors a page: the link polls the shown unit only

    auto general = d.page(Caption("Abilitazioni"));
    for (int i = 0; i < 5; ++i)
        general.add(
            sliderSwitch(QStringLiteral("SliderX0"), i, param::DecounterEnables, kFromCatalogue, noYes())
                .bit(1u << i)
                .titled(Caption(kIngredientSwitches[i])));
    general.frame(QStringLiteral("Ingredienti"), Caption("Riserva Ingredienti"), 2)
        .add(
            numberBox(QStringLiteral("Text0"), 0, param::IngredientReserve, kFromCatalogue, 0, kIngredientMax)
                .field(0x00FF)
                .titled(Caption("Grani")))
        .add(
            numberBox(QStringLiteral("Text0"), 1, param::IngredientReserve, kFromCatalogue, 0, kIngredientMax)
                .field(0xFF00)
                .titled(Caption("Polveri")));

    for (int unit = 1; unit <= kUnits; ++unit) {
        const int base = kUnitBase[unit - 1];
        auto page = d.page(Caption(QStringLiteral("Slave %1").arg(unit)));
        // The board keeps a copy of the unit's own values 700 entries higher; every write goes to both.
        page.frame(unitName("Abil", unit), Caption(), 2)
            .add(sliderSwitch(unitName("SliderX", unit), 0, base + kEnableEntry,
                              base + kEnableEntry + kPartnerOffset, noYes())
                     .bit(0x01)
                     .titled(Caption("Decontatori ?")))
            .add(sliderSwitch(unitName("SliderX", unit), 1, base + kEnableEntry,
                              base + kEnableEntry + kPartnerOffset, noYes())
                     .bit(0x02)
                     .titled(Caption("Allarme Riserva Settori?")));
        page.frame(unitName("Valori", unit), Caption(), 2)
            .add(numberBox(QStringLiteral("Text1"), unit - 1, base + kValueEntry, 0, 0, 65535)
                     .titled(Caption("Valore Decontatori")))
            .add(numberBox(QStringLiteral("Text2"), unit - 1, base + kReserveEntry, 0, 0, 65535)
                     .titled(Caption("Livello Riserva")));
        page.frame(unitName("Kinds", unit), Caption(), kKinds);
        // The frame's title is the chosen kind (set by the window, so it carries no text of its own).
        auto grid = page.frame(unitName("Frame", unit), Caption(), 5);
        for (int s = 1; s <= kSectorCount; ++s) {
            if (sectors_(1, s, unit) == 0) continue; // unit 4 has no sectors 57..70
            const int number = kFirstSectorNumber + s - 1;
            // The partner copy of tables 2 and 3 is written by the window's own commit.
            grid.add(
                numberBox(unitName("Sector", unit), number, 0, 0, 0, 65535)
                    .at([this, unit, s](const EditorBase&) { return int(sectors_(kind(unit) + 1, s, unit)); })
                    .titled(Caption(QStringLiteral("Settore %1").arg(number))));
        }
    }
    setup(std::move(d));
}

// base candidate: a binding's own check of the typed text, with its own messages and title. The window's
// boxes check what is typed themselves, so their commit replaces the base's.
void FrmDeco::buildExtra() {
    const auto take = [this](const QString& name, int index, Box box) {
        auto* edit = qobject_cast<CommitLineEdit*>(control(name, index));
        if (!edit) return;
        disconnect(edit, &CommitLineEdit::commitRequested, this, nullptr);
        boxes_[edit] = box;
        connect(edit, &CommitLineEdit::commitRequested, this, [this, edit](const QString& typed) {
            if (!isLoading() && !isClosed()) commit(edit, boxes_.at(edit), typed);
        });
    };
    take(QStringLiteral("Text0"), 0, {0, 0, param::IngredientReserve, 0, 0x00FF});
    take(QStringLiteral("Text0"), 1, {0, 0, param::IngredientReserve, 0, 0xFF00});
    for (int unit = 1; unit <= kUnits; ++unit) {
        const int base = kUnitBase[unit - 1];
        take(QStringLiteral("Text1"), unit - 1,
             {unit, 0, base + kValueEntry, base + kValueEntry + kPartnerOffset, 0});
        take(QStringLiteral("Text2"), unit - 1,
             {unit, 0, base + kReserveEntry, base + kReserveEntry + kPartnerOffset, 0});
        for (int s = 1; s <= kSectorCount; ++s)
            take(unitName("Sector", unit), kFirstSectorNumber + s - 1, {unit, s, 0, 0, 0});

        QGroupBox* kinds = frame(unitName("Kinds", unit));
        for (int k = 0; k < kKinds; ++k) {
            QLabel* label = captionLabel(Caption(kKindCaptions[k]), kinds);
            label->setAutoFillBackground(true);
            label->setCursor(Qt::PointingHandCursor);
            label->installEventFilter(this);
            registerControl(unitName("LabelKind", unit), k, label);
            addRow(kinds, nullptr, label);
            kindLabels_[static_cast<std::size_t>(unit - 1)][static_cast<std::size_t>(k)] = label;
        }
    }
}

void FrmDeco::initMessaggiExtra() {
    for (int unit = 1; unit <= kUnits; ++unit)
        paintKinds(unit);
}

bool FrmDeco::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease)
        for (int unit = 1; unit <= kUnits; ++unit)
            for (int k = 0; k < kKinds; ++k)
                if (watched == kindLabels_[static_cast<std::size_t>(unit - 1)][static_cast<std::size_t>(k)]) {
                    chooseKind(unit, k);
                    return true;
                }
    return EditorBase::eventFilter(watched, event);
}

void FrmDeco::chooseKind(int unit, int kind) {
    if (unit < 1 || unit > kUnits || kind < 0 || kind >= kKinds || isClosed()) return;
    kind_[static_cast<std::size_t>(unit - 1)] = kind;
    paintKinds(unit);
    relocate(); // the grid moves to the kind's table: watched, loaded and shown anew
}

// The chosen caption in red on light grey, and the grid's frame titled with it.
void FrmDeco::paintKinds(int unit) {
    const auto& labels = kindLabels_[static_cast<std::size_t>(unit - 1)];
    if (!labels[0]) return;
    for (int k = 0; k < kKinds; ++k) {
        QLabel* label = labels[static_cast<std::size_t>(k)];
        const bool chosen = k == kind(unit);
        paintState(label, chosen ? PaletteState::Chosen : PaletteState::Normal);
        if (chosen) frame(unitName("Frame", unit))->setTitle(label->text());
    }
}

void FrmDeco::commit(CommitLineEdit* edit, const Box& box, const QString& typed) {
    int param = box.param;
    int partner = box.partner;
    if (box.sector != 0) {
        const int table = kind(box.unit) + 1;
        param = sectors_(table, box.sector, box.unit);
        partner = table == 1 ? 0 : sectors_(table + 2, box.sector, box.unit); // tables 2, 3 -> 4, 5
    }
    const catalogue::ParamInfo* info = catalogue::find(param);
    const int width = info ? std::min(info->width, 3) : 1;
    const QString t = typed.trimmed();
    bool ok = false;
    const double number = t.toDouble(&ok);
    const char* error =
        box.unit == 0 ? ingredientError(t, ok, number) : slaveError(t, ok, number, (1 << (8 * width)) - 1);
    if (error) {
        edit->rejectCommit();
        // The slave pages title their messages "ERROR"; the ingredient boxes use the window's title.
        showMessage({this, MessageIcon::Critical, MessageButtons::Ok, QString::fromLatin1(error),
                     box.unit == 0 ? windowTitle() : QString::fromLatin1(kErrorTitle)});
        return;
    }
    const int value = static_cast<int>(std::floor(number));
    edit->acceptCommit();
    auto stored = static_cast<std::uint32_t>(value);
    if (box.field != 0) {
        // The box edits one byte of the word: the other keeps its value.
        stored = (currentValue(param) & ~box.field) | ((stored << std::countr_zero(box.field)) & box.field);
        setBitCopy(param, stored);
    }
    writeParam(param, partner, width, stored);
    applyRules();
}

// The message for a value typed in a slave page's box, or none when the value can be written.
const char* FrmDeco::slaveError(const QString& t, bool isNumber, double number, int max) {
    if (t.isEmpty()) return "  Please Insert Value  ";
    if (!isNumber || !std::isfinite(number)) return "  Insert Only Number ";
    if (number != std::floor(number)) return " Insert Only Integer Number ";
    if (number < 0 || number > max) return "  Value Out of Range  ";
    return nullptr;
}

const char* FrmDeco::ingredientError(const QString& t, bool isNumber, double number) {
    if (t.isEmpty()) return "Please Insert Value ";
    if (!isNumber || !std::isfinite(number)) return "Insert Only Number ";
    if (number < 0 || number > kIngredientMax) return "Value Out of Range ";
    return nullptr;
}

} // namespace vm::editors
