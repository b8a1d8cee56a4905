// The registry the main window opens windows through, and the check of every declared binding against the
// parameter catalogue of the board.

#include "EditorTestSupport.h"

#include "EditorRegistry.h"

#include "Catalogue.h"

#include <set>
#include <string>

namespace vm::editors::test {
namespace {

class RegistryTest : public EditorFixture {};

TEST_F(RegistryTest, EveryEntryCreatesItsWindowAndEveryBindingNamesAParameterOfItsWidth) {
    std::set<QString> names;
    // Bindings whose width or twin is not the catalogue's: "window control(i) width twin".
    std::set<std::string> declaredOtherwise;
    ASSERT_FALSE(editorEntries().empty());
    for (const EditorEntry& entry : editorEntries()) {
        EXPECT_TRUE(names.insert(entry.formName).second) << entry.formName.toStdString() << " listed twice";
        std::unique_ptr<EditorBase> e(createEditor(entry.formName, ctx));
        ASSERT_NE(e, nullptr) << entry.formName.toStdString();
        EXPECT_EQ(e->formName(), entry.formName);
        for (const BindingInfo& b : e->bindingInfo()) {
            const std::string where = entry.formName.toStdString() + " " + b.control.toStdString() + "(" +
                                      std::to_string(b.controlIndex) + ")";
            const catalogue::ParamInfo* info = catalogue::find(b.index);
            ASSERT_NE(info, nullptr) << where << ": no parameter " << b.index;
            if (b.width == 0)
                EXPECT_TRUE(info->isText) << where;
            else
                EXPECT_EQ(info->width, b.width) << where << ": parameter " << b.index;
            if (b.width != (info->isText ? 0 : std::min(info->width, 4)) || b.mirror != info->mirror)
                declaredOtherwise.insert(where + " " + std::to_string(b.width) + " " + std::to_string(b.mirror));
            // Every bound control says what it edits.
            EXPECT_TRUE(b.toolTip.startsWith(QString::fromLatin1(info->name.data(), info->name.size()) +
                                             QStringLiteral(" (parameter %1)\n").arg(b.index)))
                << where << ": " << b.toolTip.toStdString();
            EXPECT_TRUE(b.toolTip.contains(QLatin1String("\nRange: ")) || b.toolTip.contains(QLatin1String("\nSends ")))
                << where << ": " << b.toolTip.toStdString();
            if (b.mirror != 0) {
                const catalogue::ParamInfo* twin = catalogue::find(b.mirror);
                ASSERT_NE(twin, nullptr) << where << ": no twin " << b.mirror;
                EXPECT_EQ(twin->width, info->width) << where << ": twin " << b.mirror;
            }
        }
    }
    EXPECT_TRUE(forms.forms().empty());
    EXPECT_EQ(createEditor(QStringLiteral("FrmNotThere"), ctx), nullptr);
    // The key type is only shown, so it has no twin; each unit's decounter switches also go into the copy of
    // the unit's decounter table 700 parameters higher.
    const std::set<std::string> expected = {
        "FrmDosi Label5(0) 1 0",          "FrmDeco SliderX1(0) 2 10827", "FrmDeco SliderX1(1) 2 10827",
        "FrmDeco SliderX2(0) 2 11002",    "FrmDeco SliderX2(1) 2 11002", "FrmDeco SliderX3(0) 2 11177",
        "FrmDeco SliderX3(1) 2 11177",    "FrmDeco SliderX4(0) 2 11352", "FrmDeco SliderX4(1) 2 11352"};
    EXPECT_EQ(declaredOtherwise, expected);
}

TEST_F(RegistryTest, AToolTipGivesTheParametersNameIndexRangeUnitAndMeaning) {
    const auto tipOf = [&](const char* form, const char* control, int index) {
        std::unique_ptr<EditorBase> e(createEditor(QString::fromLatin1(form), ctx));
        for (const BindingInfo& b : e->bindingInfo())
            if (b.control == QLatin1String(control) && b.controlIndex == index) return b.toolTip.section('\n', 0, 3);
        return QString();
    };
    EXPECT_EQ(tipOf("FrmPagamento", "HScroll11", 0).toStdString(),
              "maximum change (parameter 1827)\n"
              "Range: 0..9999 in the smallest currency unit\n"
              "Unit: an amount, shown with the machine's decimal point\n"
              "The largest change the coin changer pays out.");
}

TEST_F(RegistryTest, OneInstancePerWindowUntilItCloses) {
    const QString name = QStringLiteral("FrmItemNumber");
    EditorInstances instances;
    bool created = false;
    EditorBase* first = instances.open(name, ctx, nullptr, &created);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(created);
    EXPECT_EQ(instances.open(name, ctx, nullptr, &created), first);
    EXPECT_FALSE(created);
    EXPECT_EQ(instances.open(QStringLiteral("FrmNotThere"), ctx, nullptr, &created), nullptr);

    first->close();
    EXPECT_EQ(instances.find(name), nullptr);
    EditorBase* second = instances.open(name, ctx, nullptr, &created);
    EXPECT_TRUE(created);
    EXPECT_FALSE(second->isClosed());
    delete second;
    EXPECT_EQ(instances.find(name), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the closed first instance goes
    EXPECT_TRUE(forms.forms().empty());
}

} // namespace
} // namespace vm::editors::test
