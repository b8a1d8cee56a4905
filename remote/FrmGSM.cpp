#include "FrmGSM.h"

#include "Catalogue.h"
#include "MessageBox.h"
#include "ParamNames.h"
#include "TelemetrySettings.h"
#include "widgets/CommitLineEdit.h"
#include "widgets/SliderSwitch.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>

#include <algorithm>

namespace vm::remote {

using editors::Caption;
using editors::CommitLineEdit;
using editors::SliderSwitch;

namespace {

const char* const kPeriods[] = {"None", "Daily", "Weekly", "Monthly"};
constexpr int kDayParams[2] = {param::TelemetryAuditDay, param::TelemetryClearingDay};
constexpr int kSliderParams[4] = {param::TelemetryAuditPeriod, param::TelemetryClearingPeriod,
                                  param::TelemetryAuthentication, param::TelemetryModule};
constexpr int kAlarmParam = param::TelemetryOption;

// The settings that keep a text, in the order of its pieces: runs of (first, count).
std::vector<int> pieces(std::initializer_list<std::pair<int, int>> runs) {
    std::vector<int> p;
    for (const auto& [first, count] : runs)
        for (int i = 0; i < count; ++i)
            p.push_back(first + i);
    return p;
}

} // namespace

const catalogue::ParamInfo& FrmGSM::info(int index) {
    static const catalogue::ParamInfo none{};
    const catalogue::ParamInfo* p = catalogue::find(index);
    return p ? *p : none;
}

FrmGSM::FrmGSM(editors::EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    editors::EditorDefinition d(QStringLiteral("FrmGSM"), Caption(859, "Dati GSM"));
    d.window().frame(QStringLiteral("FrameFile"), Caption(""), 1);
    d.window().frame(QStringLiteral("Frame1"), Caption(860, "Modulo"), 2);
    d.window().frame(QStringLiteral("Frame2"), Caption("EMAIL"), 2);
    d.window().frame(QStringLiteral("Frame3"), Caption(842, "Cancella Dati di Vendita"), 2);
    d.extraWatch = TelemetrySettingsOrder();
    texts_ = {
        {"Text3", pieces({{param::TelemetrySmtpServer, param::TelemetrySmtpServerCount}}),
         Caption(852, "Server SMTP"), false},
        {"Text10", pieces({{param::TelemetryDomainName, param::TelemetryDomainNameCount}}),
         Caption(853, "Nome Dominio"), false},
        {"Text6", pieces({{param::TelemetryUserName, param::TelemetryUserNameCount}}),
         Caption(840, "UserName"), false},
        {"Text7", pieces({{param::TelemetryMailPassword, param::TelemetryMailPasswordCount}}),
         Caption(839, "Password"), true},
        {"Text8", pieces({{param::TelemetryGprsPassword, param::TelemetryGprsPasswordCount}}),
         Caption(851, "Password GPRS"), true},
        {"Text2", pieces({{param::TelemetrySmsRecipient, 1}}), Caption(847, "N. Destinatario SMS"), false},
        {"Text1",
         pieces({{param::TelemetryMailRecipient, 1},
                 {param::TelemetryMailRecipientTail, param::TelemetryMailRecipientTailCount}}),
         Caption(846, "Indirizzo EMAIL Destinatario"), false},
        {"Text9",
         pieces({{param::TelemetryMailSender, param::TelemetryMailSenderCount},
                 {param::TelemetryMailSenderTail, 1}}),
         Caption(857, "Indirizzo EMAIL Mittente"), false},
        {"Text11", pieces({{param::TelemetrySenderName, param::TelemetrySenderNameCount}}),
         Caption(858, "Nome Mittente"), false},
        {"Text15", pieces({{param::TelemetryMailSubject, param::TelemetryMailSubjectCount}}),
         Caption(856, "Oggetto"), false},
    };
    // The time fields take their ranges from the catalogue.
    numbers_ = {
        {"Text14", param::TelemetrySmtpPort, Caption(841, "N° Porta SMTP")},
        {"Text12", param::TelemetrySimNumber, Caption(850, "Numero Telefono SIM")},
        {"Text13", param::TelemetryServiceCentre, Caption(848, "N. Centro Servizi")},
        {"Text5", param::TelemetryMailHours, {}}, // hours and minutes of "Orario Invio EMAIL"
        {"Text4", param::TelemetryMailMinutes, {}},
        {"Text24", param::TelemetryClearingHours, {}}, // hours and minutes of "Orario Cancella"
        {"Text25", param::TelemetryClearingMinutes, {}},
    };
    header_.boardType = ctx.state.BoardType;
    header_.software = ctx.state.BoardSoftware;
    setup(std::move(d));
    updateEnabling();
}

void FrmGSM::buildExtra() {
    buildToolBar(frame(QStringLiteral("FrameFile")));
    QWidget* module = frame(QStringLiteral("Frame1"));
    QWidget* mail = frame(QStringLiteral("Frame2"));
    QWidget* clearing = frame(QStringLiteral("Frame3"));

    const auto addSlider = [this](int i, const Caption& caption, QStringList positions, QWidget* container) {
        auto* sw = new SliderSwitch(container);
        sw->setPositions(positions);
        registerControl(QStringLiteral("iSwitchSliderX2"), i, sw);
        connect(sw, &SliderSwitch::valueChanged, this, [this, i](int position) {
            if (!isLoading()) writeSetting(kSliderParams[i], {static_cast<std::uint8_t>(position)});
        });
        addRow(container, captionLabel(caption, container), sw);
        requireValues(sw, {kSliderParams[i]});
        sliders_[i] = sw;
    };
    const auto addDay = [this](int i, QWidget* container) {
        auto* bar = new QScrollBar(Qt::Horizontal, container);
        bar->setRange(0, 31);
        bar->setMinimumWidth(160);
        auto* label = new QLabel(container); // empty until the day is read
        registerControl(QStringLiteral("HScroll1"), i, bar);
        registerControl(QStringLiteral("Label6"), i, label);
        connect(bar, &QScrollBar::valueChanged, this, [this, i, label](int day) {
            label->setNum(day);
            if (!isLoading()) writeSetting(kDayParams[i], {static_cast<std::uint8_t>(day)});
        });
        addRow(container, captionLabel(Caption(843, "Giorno"), container), bar, label);
        requireValues(bar, {kDayParams[i]});
        days_[i] = bar;
        dayLabels_[i] = label;
    };

    addSlider(3, Caption(861, "Modulo GSM"), {"Off", "On"}, module);
    addSlider(2, Caption(838, "Autenticazione"), {"None", "Plain", "Login"}, module);
    for (std::size_t g = 0; g < 5; ++g)
        addTextGroup(texts_[g], module);
    addNumberField(numbers_[0], module);
    addNumberField(numbers_[1], module);
    addNumberField(numbers_[2], module);
    showPasswords_ = new QCheckBox(module);
    registerControl(QStringLiteral("Check1"), 0, showPasswords_);
    addText(Caption(862, "Mostra Password"), [box = showPasswords_](const QString& s) { box->setText(s); });
    connect(showPasswords_, &QCheckBox::toggled, this, [this](bool shown) {
        for (TextGroup& g : texts_)
            if (g.secret) g.edit->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password);
    });
    addRow(module, nullptr, showPasswords_);

    addSlider(0, Caption(855, "Audit"), {kPeriods[0], kPeriods[1], kPeriods[2], kPeriods[3]}, mail);
    addDay(0, mail);
    addTimeFields(numbers_[3], numbers_[4], Caption(854, "Orario Invio EMAIL"), mail);
    for (std::size_t g = 5; g < texts_.size(); ++g)
        addTextGroup(texts_[g], mail);
    auto* alarms = new QWidget(mail);
    auto* alarmsLayout = new QHBoxLayout(alarms);
    alarmsLayout->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < 2; ++i) {
        auto* option = new QRadioButton(alarms);
        addText(i == 0 ? Caption("No") : Caption(863, "Si"),
                [option](const QString& s) { option->setText(s); });
        registerControl(QStringLiteral("Option1"), i, option);
        connect(option, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on && !isLoading()) writeSetting(kAlarmParam, {static_cast<std::uint8_t>(i)});
        });
        alarmsLayout->addWidget(option);
        requireValues(option, {kAlarmParam});
        alarms_[i] = option;
    }
    addRow(mail, captionLabel(Caption(845, "Allarmi"), mail), alarms);

    addSlider(1, Caption(842, "Cancella Dati di Vendita"),
              {kPeriods[0], kPeriods[1], kPeriods[2], kPeriods[3]}, clearing);
    addDay(1, clearing);
    addTimeFields(numbers_[5], numbers_[6], Caption(844, "Orario Cancella"), clearing);
}

void FrmGSM::addTextGroup(TextGroup& group, QWidget* container) {
    auto* edit = new CommitLineEdit(container);
    edit->setFlashMs(commitFlashMs());
    edit->setBlocked([this] { return isLoading(); });
    edit->setMaxLength(kTelemetryPiece * static_cast<int>(group.params.size()));
    edit->setMinimumWidth(group.params.size() > 1 ? 260 : 160);
    if (group.secret) edit->setEchoMode(QLineEdit::Password);
    registerControl(QString::fromLatin1(group.control), 0, edit);
    connect(edit, &CommitLineEdit::commitRequested, this, [this, &group](const QString& typed) {
        commitText(group, typed);
    });
    addRow(container, captionLabel(group.caption, container), edit);
    // A text split over several settings is typed whole: every piece must be known before it is edited.
    requireValues(edit, group.params);
    group.edit = edit;
}

CommitLineEdit* FrmGSM::numberBox(NumberField& field, QWidget* container) {
    auto* edit = new CommitLineEdit(container);
    edit->setFlashMs(commitFlashMs());
    edit->setBlocked([this] { return isLoading(); });
    const catalogue::ParamInfo& p = info(field.param);
    edit->setMaxLength(p.isText ? p.width : 3);
    registerControl(QString::fromLatin1(field.control), 0, edit);
    connect(edit, &CommitLineEdit::commitRequested, this,
            [this, &field](const QString& typed) { commitNumber(field, typed); });
    requireValues(edit, {field.param});
    field.edit = edit;
    return edit;
}

void FrmGSM::addNumberField(NumberField& field, QWidget* container) {
    addRow(container, captionLabel(field.caption, container), numberBox(field, container));
}

void FrmGSM::addTimeFields(NumberField& hours, NumberField& minutes, const Caption& caption,
                           QWidget* container) {
    auto* time = new QWidget(container);
    auto* row = new QHBoxLayout(time);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(numberBox(hours, time));
    row->addWidget(new QLabel(QStringLiteral(":"), time));
    row->addWidget(numberBox(minutes, time));
    row->addStretch();
    addRow(container, captionLabel(caption, container), time);
}

// --- values ---

void FrmGSM::afterDelivery(int index, const ParamData& value) {
    // While a file is edited the board's values do not replace the file's copy.
    if (fileMode_) return;
    const catalogue::ParamInfo& p = info(index);
    if (const auto* text = std::get_if<std::string>(&value)) {
        std::vector<std::uint8_t> bytes(text->begin(), text->end());
        bytes.resize(static_cast<std::size_t>(p.width), 0);
        storeAndShow(index, bytes);
    } else {
        storeAndShow(
            index, NumberBytes(static_cast<std::uint32_t>(std::max(0.0, std::get<double>(value))), p.width));
    }
}

void FrmGSM::storeAndShow(int index, const std::vector<std::uint8_t>& bytes) {
    StoreSettingBytes(buffer_, index, bytes);
    showSetting(index);
}

void FrmGSM::showSetting(int index) {
    const bool wasLoading = std::exchange(loading_, true);
    for (TextGroup& g : texts_) {
        if (std::find(g.params.begin(), g.params.end(), index) == g.params.end()) continue;
        QString text;
        for (int param : g.params)
            text += TextOfBytes(SettingBytes(buffer_, param));
        g.edit->showCommitted(text.trimmed());
    }
    for (NumberField& f : numbers_) {
        if (f.param != index) continue;
        f.edit->showCommitted(info(index).isText ? TextOfBytes(SettingBytes(buffer_, index)).trimmed()
                                                 : QString::number(SettingNumber(buffer_, index)));
    }
    const int value = static_cast<int>(SettingNumber(buffer_, index));
    for (int i = 0; i < 2; ++i)
        if (kDayParams[i] == index) {
            days_[i]->setValue(value);
            dayLabels_[i]->setNum(value);
        }
    for (int i = 0; i < 4; ++i)
        if (kSliderParams[i] == index) sliders_[i]->setValue(value);
    if (index == kAlarmParam && value <= 1) alarms_[value]->setChecked(true);
    loading_ = wasLoading;
}

void FrmGSM::writeSetting(int index, const std::vector<std::uint8_t>& bytes) {
    if (!state().Online || fileMode_) return storeAndShow(index, bytes);
    setBoardCell(index, bytes);
    // The board's answer is shown when it arrives; the copy holds the value already, for Save and WriteAll.
    storeAndShow(index, bytes);
}

void FrmGSM::setBoardCell(int index, const std::vector<std::uint8_t>& bytes) {
    ProgramState& state = context().state;
    state.CurrentBank = 0;
    if (info(index).isText) {
        state.SetParamValue(index,
                            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        return;
    }
    state.SetParamValue(index, static_cast<double>(BytesNumber(bytes)));
}

// --- commits ---

void FrmGSM::commitText(TextGroup& group, const QString& typed) {
    if (isLoading() || isClosed()) return;
    const auto bad =
        std::find_if(typed.begin(), typed.end(), [](QChar c) { return c.unicode() < 32 || c.unicode() > 126; });
    if (bad != typed.end()) {
        group.edit->rejectCommit();
        showError(QStringLiteral("The module cannot store the character \"%1\": use letters, digits, blanks and "
                                 "the signs of the keyboard.")
                      .arg(*bad));
        return;
    }
    const QString text = typed.trimmed();
    group.edit->acceptCommit();
    for (std::size_t i = 0; i < group.params.size(); ++i)
        writeSetting(group.params[i],
                     NulFilled(text.mid(static_cast<qsizetype>(i) * kTelemetryPiece, kTelemetryPiece),
                               kTelemetryPiece));
}

void FrmGSM::commitNumber(NumberField& field, const QString& typed) {
    if (isLoading() || isClosed()) return;
    const QString text = typed.trimmed();
    const catalogue::ParamInfo& p = info(field.param);
    const auto refuse = [&](const char* message) {
        field.edit->rejectCommit();
        editors::showMessage({this, editors::MessageIcon::Exclamation, editors::MessageButtons::Ok,
                              QString::fromLatin1(message), windowTitle()});
    };
    if (!AllDigits(text)) return refuse("Insert only number");
    if (p.isText ? text.size() > p.width : text.size() > 3 || (p.hasRange && text.toInt() > p.max))
        return refuse(" Value out of range");
    field.edit->acceptCommit();
    writeSetting(field.param, p.isText ? NulFilled(text, p.width) : NumberBytes(text.toUInt(), p.width));
}

} // namespace vm::remote
