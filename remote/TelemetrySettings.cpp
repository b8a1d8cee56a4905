#include "TelemetrySettings.h"

#include "Catalogue.h"
#include "ParamNames.h"

#include <algorithm>

namespace vm::remote {

namespace {

const catalogue::ParamInfo& info(int index) {
    static const catalogue::ParamInfo none{};
    const catalogue::ParamInfo* p = catalogue::find(index);
    return p ? *p : none;
}

} // namespace

const std::vector<int>& TelemetrySettingsOrder() {
    static const std::vector<int> order = [] {
        std::vector<int> o;
        const auto add = [&o](int first, int count = 1) {
            for (int i = 0; i < count; ++i)
                o.push_back(first + i);
        };
        // The e-mail addresses first, each text in the order of its pieces.
        add(param::TelemetryMailRecipient);
        add(param::TelemetryMailRecipientTail, param::TelemetryMailRecipientTailCount);
        add(param::TelemetryMailSender, param::TelemetryMailSenderCount);
        add(param::TelemetryMailSenderTail);
        add(param::TelemetryHiddenSetting);
        add(param::TelemetryHiddenSettingTail);
        add(param::TelemetryHiddenCode);
        add(param::TelemetryOption);
        add(param::TelemetryAuthentication);
        add(param::TelemetrySmtpPort);
        add(param::TelemetrySmtpServer, param::TelemetrySmtpServerCount);
        add(param::TelemetryMailPassword, param::TelemetryMailPasswordCount);
        add(param::TelemetryGprsPassword, param::TelemetryGprsPasswordCount);
        add(param::TelemetrySenderName, param::TelemetrySenderNameCount);
        add(param::TelemetryMailMinutes);
        add(param::TelemetryMailHours);
        add(param::TelemetryAuditDay);
        add(param::TelemetryAuditPeriod);
        add(param::TelemetryClearingHours);
        add(param::TelemetryClearingMinutes);
        add(param::TelemetryClearingDay);
        add(param::TelemetryClearingPeriod);
        add(param::TelemetryUserName, param::TelemetryUserNameCount);
        add(param::TelemetrySimNumber);
        add(param::TelemetryServiceCentre);
        add(param::TelemetrySmsRecipient);
        add(param::TelemetryMailSubject, param::TelemetryMailSubjectCount);
        add(param::TelemetryHiddenWord);
        add(param::TelemetryModule);
        add(param::TelemetryDomainName, param::TelemetryDomainNameCount);
        add(param::TelemetryHiddenText);
        return o;
    }();
    return order;
}

std::vector<std::uint8_t> SettingBytes(const TelemetryRecord& record, int index) {
    const catalogue::ParamInfo& p = info(index);
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < p.width; ++i)
        if (IsTelemetryAddress(p.address + i))
            bytes.push_back(record[static_cast<std::size_t>(TelemetryOffset(p.address + i))]);
    return bytes;
}

std::uint32_t SettingNumber(const TelemetryRecord& record, int index) {
    return BytesNumber(SettingBytes(record, index));
}

void StoreSettingBytes(TelemetryRecord& record, int index, const std::vector<std::uint8_t>& bytes) {
    const catalogue::ParamInfo& p = info(index);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (IsTelemetryAddress(p.address + static_cast<int>(i)))
            record[static_cast<std::size_t>(TelemetryOffset(p.address + static_cast<int>(i)))] = bytes[i];
}

std::vector<std::uint8_t> NumberBytes(std::uint32_t value, int width) {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < width; ++i, value >>= 8)
        bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
    return bytes;
}

std::uint32_t BytesNumber(const std::vector<std::uint8_t>& bytes) {
    std::uint32_t value = 0;
    for (std::size_t i = bytes.size(); i-- > 0;)
        value = value * 256 + bytes[i];
    return value;
}

QString TextOfBytes(const std::vector<std::uint8_t>& bytes) {
    const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
    return QString::fromLatin1(reinterpret_cast<const char*>(bytes.data()), end - bytes.begin());
}

std::vector<std::uint8_t> NulFilled(const QString& text, int width) {
    const QByteArray latin = text.left(width).toLatin1();
    std::vector<std::uint8_t> bytes(latin.begin(), latin.end());
    bytes.resize(static_cast<std::size_t>(width), 0);
    return bytes;
}

bool AllDigits(const QString& text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit() && c.unicode() < 128; });
}

} // namespace vm::remote
