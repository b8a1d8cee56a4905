// The live views' plumbing: watches shared between open views, nothing shown offline, and the bar charts that
// follow the delivered counts.

#include "EditorTestSupport.h"

#include "CounterChart.h"
#include "EditorRegistry.h"

#include <QLabel>

namespace vm::editors::test {
namespace {

class AuditViewsTest : public EditorFixture {
protected:
    std::unique_ptr<EditorBase> open(const char* form) {
        std::unique_ptr<EditorBase> e(createEditor(QString::fromLatin1(form), ctx));
        EXPECT_NE(e, nullptr) << form;
        return e;
    }
    static double bar(EditorBase& e, const char* chart, int i) {
        auto* c = e.findChild<CounterChart*>(QString::fromLatin1(chart));
        EXPECT_NE(c, nullptr) << chart;
        return c ? c->value(i) : -1;
    }
};

// Both views show money and watch the decimal point; the periodic re-watch keeps one watch per window, and
// closing one view leaves the other's watch in place.
TEST_F(AuditViewsTest, ClosingAViewKeepsTheWatchOfAnotherOpenView) {
    auto totals = open("FrmTotali");
    auto mdb = open("FrmMDBaudit");
    EXPECT_EQ(watchCount(state, 6605), 2);
    totals->rewatch();
    mdb->rewatch();
    totals->rewatch();
    EXPECT_EQ(watchCount(state, 6605), 2);
    EXPECT_EQ(watchCount(state, 11430), 1);
    mdb->close();
    EXPECT_EQ(watchCount(state, 6605), 1);
    EXPECT_EQ(watchCount(state, 11467), 0);
    EXPECT_EQ(watchCount(state, 11441), 1);
    totals->close();
    EXPECT_EQ(watchCount(state, 6605), 0);
    EXPECT_EQ(watchCount(state, 11441), 0);
}

// Offline the configuration holds no counters: the labels stay empty rather than show zeros. Online a count
// reaches its labels and the bar of every chart that shows it.
TEST_F(AuditViewsTest, OfflineLabelsStayEmptyAndChartsFollowTheDeliveredCounts) {
    auto vends = open("FrmBattute");
    EXPECT_EQ(get<QLabel>(*vends, "Label3", 5)->text(), "");
    EXPECT_EQ(get<QLabel>(*vends, "Label2", 0)->text(), "");

    state.Online = true;
    vends->deliver(8778, 42.0);  // block 0, counter 5: beverage 6 and sector 15 of the first unit
    vends->deliver(13779, 7.0);  // block 0, third range, counter 13
    vends->deliver(8954, 3.0);   // block 1, counter 5
    EXPECT_EQ(get<QLabel>(*vends, "Label3", 5)->text(), "42");
    EXPECT_EQ(get<QLabel>(*vends, "Label4", 5)->text(), "42");
    EXPECT_EQ(get<QLabel>(*vends, "Label4", 69)->text(), "7");
    EXPECT_EQ(bar(*vends, "Chart_0", 5), 42);
    EXPECT_EQ(bar(*vends, "Chart_1", 5), 42);
    EXPECT_EQ(bar(*vends, "Chart_1", 69), 7);
    EXPECT_EQ(bar(*vends, "Chart_2", 5), 3);
    EXPECT_EQ(bar(*vends, "Chart_3", 5), 0);

    auto jugs = open("FrmBriccoGratis");
    jugs->deliver(12023 + 31, 5.0); // slave 2, beverage 32
    EXPECT_EQ(get<QLabel>(*jugs, "Label2", 31)->text(), "5");
    EXPECT_EQ(bar(*jugs, "Chart_1", 31), 5);
    EXPECT_EQ(bar(*jugs, "Chart_0", 31), 0);
}

} // namespace
} // namespace vm::editors::test
