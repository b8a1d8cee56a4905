#include "BuiltInTexts.h"

#include "TextLines.h"

#include <QFile>

namespace vm::app {

const LanguageTexts& BuiltInTexts() {
    static const LanguageTexts texts = [] {
        QFile file(":/lang/Italiano.lng");
        if (!file.open(QIODevice::ReadOnly)) return LanguageTexts{};
        const QByteArray bytes = file.readAll();
        return SplitTextLines(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                              kMaxLanguageLines);
    }();
    return texts;
}

} // namespace vm::app
