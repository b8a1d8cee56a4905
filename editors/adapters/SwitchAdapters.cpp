// Controls that choose: toggle switches and check boxes, option buttons, slider switches and combos.

#include "Adapters.h"

#include "../EditorTexts.h"
#include "../widgets/IndexComboBox.h"
#include "../widgets/SliderSwitch.h"
#include "../widgets/ToggleSwitch.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QRadioButton>

#include <algorithm>

namespace vm::editors {

// --- toggle switch, check box ---

QWidget* TwoStateAdapter::create(BoundControl& bc, QWidget* container, const AdapterEnv& env) const {
    const Binding& b = bc.binding;
    if (b.kind == ControlKind::CheckBox) {
        auto* box = new QCheckBox(container);
        env.texts.add(b.caption, [box](const QString& s) { box->setText(s); });
        return box;
    }
    auto* sw = new ToggleSwitch(container);
    if (b.items.size() == 2) {
        env.texts.add(b.items[0], [sw](const QString& s) { sw->setPositionTexts(s, sw->onText()); });
        env.texts.add(b.items[1], [sw](const QString& s) { sw->setPositionTexts(sw->offText(), s); });
    }
    return sw;
}

void TwoStateAdapter::show(BoundControl& bc, const Shown& v) const {
    const Binding& b = bc.binding;
    const auto whole = static_cast<long long>(v.stored);
    bool on = v.bitOn;
    if (!b.isBit()) on = b.itemValues.size() == 2 ? whole == b.itemValues[1] : ((whole != 0) != b.inverted);
    static_cast<QAbstractButton*>(bc.widget)->setChecked(on);
}

std::optional<int> TwoStateAdapter::read(const BoundControl& bc) const {
    const Binding& b = bc.binding;
    const bool on = static_cast<QAbstractButton*>(bc.widget)->isChecked();
    if (b.isBit()) return on ? 1 : 0;
    if (b.itemValues.size() == 2) return b.itemValues[on ? 1 : 0];
    return (on != b.inverted) ? 1 : 0;
}

void TwoStateAdapter::onUserChange(BoundControl& bc, QObject* context,
                                   std::function<void(const QString&)> changed) const {
    QObject::connect(static_cast<QAbstractButton*>(bc.widget), &QAbstractButton::toggled, context,
                     [changed = std::move(changed)] { changed({}); });
}

// --- option button ---

QWidget* OptionAdapter::create(BoundControl& bc, QWidget* container, const AdapterEnv& env) const {
    const Binding& b = bc.binding;
    auto* radio = new QRadioButton(container);
    radio->setAutoExclusive(false);
    env.texts.add(b.caption, [radio](const QString& s) { radio->setText(s); });
    // One exclusive group per option array and parameter.
    const QString groupKey = b.control + QLatin1Char('/') + QString::number(b.index);
    auto* group = container->findChild<QButtonGroup*>(groupKey);
    if (!group) {
        group = new QButtonGroup(container);
        group->setObjectName(groupKey);
        group->setExclusive(true);
    }
    group->addButton(radio);
    return radio;
}

void OptionAdapter::show(BoundControl& bc, const Shown& v) const {
    const Binding& b = bc.binding;
    const bool chosen = b.isBit() ? (v.bitOn == (b.choice != 0)) : static_cast<long long>(v.stored) == b.choice;
    auto* radio = static_cast<QRadioButton*>(bc.widget);
    if (chosen) {
        radio->setChecked(true);
    } else if (radio->isChecked()) {
        // No button of the array matches: none is shown chosen.
        QButtonGroup* group = radio->group();
        if (group) group->setExclusive(false);
        radio->setChecked(false);
        if (group) group->setExclusive(true);
    }
}

std::optional<int> OptionAdapter::read(const BoundControl& bc) const {
    const Binding& b = bc.binding;
    if (!static_cast<QRadioButton*>(bc.widget)->isChecked()) return std::nullopt; // the one that lost the choice
    if (b.isBit()) return b.choice != 0 ? 1 : 0;
    return b.choice;
}

void OptionAdapter::onUserChange(BoundControl& bc, QObject* context,
                                 std::function<void(const QString&)> changed) const {
    QObject::connect(static_cast<QRadioButton*>(bc.widget), &QRadioButton::toggled, context,
                     [changed = std::move(changed)] { changed({}); });
}

// --- slider switch, combo ---

QWidget* PositionAdapter::create(BoundControl& bc, QWidget* container, const AdapterEnv& env) const {
    const Binding& b = bc.binding;
    if (b.kind == ControlKind::Slider) {
        auto* sw = new SliderSwitch(container);
        sw->setPositions(QStringList(static_cast<qsizetype>(b.items.size()), QString()));
        for (std::size_t i = 0; i < b.items.size(); ++i)
            env.texts.add(b.items[i], [sw, i](const QString& s) {
                QStringList texts = sw->positions();
                texts[static_cast<qsizetype>(i)] = s;
                const int keep = sw->value();
                sw->blockSignals(true); // new texts are not a user's change
                sw->setPositions(texts);
                sw->setValue(keep);
                sw->blockSignals(false);
            });
        return sw;
    }
    auto* box = new IndexComboBox(container);
    for (std::size_t i = 0; i < b.items.size(); ++i)
        box->addItem(QString());
    box->setCurrentIndex(-1);
    for (std::size_t i = 0; i < b.items.size(); ++i)
        env.texts.add(b.items[i], [box, i](const QString& s) { box->setItemText(static_cast<int>(i), s); });
    return box;
}

void PositionAdapter::show(BoundControl& bc, const Shown& v) const {
    const Binding& b = bc.binding;
    int position = b.isBit() ? (v.bitOn ? 1 : 0) : b.controlFromStored(static_cast<int>(v.stored));
    if (auto* sw = qobject_cast<SliderSwitch*>(bc.widget)) {
        sw->setValue(std::clamp(position, sw->minimum(), sw->maximum()));
        return;
    }
    static_cast<IndexComboBox*>(bc.widget)->setCurrentIndex(position);
}

std::optional<int> PositionAdapter::read(const BoundControl& bc) const {
    const Binding& b = bc.binding;
    const int position = qobject_cast<SliderSwitch*>(bc.widget)
                             ? static_cast<SliderSwitch*>(bc.widget)->value()
                             : static_cast<IndexComboBox*>(bc.widget)->currentIndex();
    if (position < 0) return std::nullopt;
    if (b.isBit()) return position != 0 ? 1 : 0;
    return b.storedFromControl(position);
}

void PositionAdapter::onUserChange(BoundControl& bc, QObject* context,
                                   std::function<void(const QString&)> changed) const {
    if (auto* sw = qobject_cast<SliderSwitch*>(bc.widget))
        QObject::connect(sw, &SliderSwitch::valueChanged, context, [changed] { changed({}); });
    else
        QObject::connect(static_cast<IndexComboBox*>(bc.widget), &IndexComboBox::positionChanged, context,
                         [changed] { changed({}); });
}

} // namespace vm::editors
