#include "db/Placement.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

// Readable failures: gtest finds these next to QRect and QPoint.
static void PrintTo(const QRect& r, std::ostream* os)
{
    *os << r.x() << ',' << r.y() << ' ' << r.width() << 'x' << r.height();
}
static void PrintTo(const QPoint& p, std::ostream* os)
{
    *os << p.x() << ',' << p.y();
}

namespace torvm {
namespace {

StoredRect at(int x, int y)
{
    StoredRect r;
    r.x = x;
    r.y = y;
    return r;
}

StoredRect rect(int x, int y, int xend, int yend)
{
    StoredRect r = at(x, y);
    r.xend = xend;
    r.yend = yend;
    return r;
}

struct FixedCase {
    const char* what;
    QSize screen;
    QSize dialog;
    StoredRect stored;
    QPoint expected;
};

TEST(Placement, FixedSizeDialogs)
{
    const FixedCase cases[] = {
        {"default 200 up-left of the centre", {1024, 768}, {300, 200}, {}, {312, 184}},
        {"odd screen sizes divide down", {1025, 769}, {300, 200}, {}, {312, 184}},
        {"stored position kept", {1024, 768}, {300, 200}, at(40, 60), {40, 60}},
        {"negative becomes 0", {1024, 768}, {300, 200}, at(-50, -1), {0, 0}},
        {"off to the right: flush with the right edge", {1024, 768}, {300, 200}, at(900, 100), {724, 100}},
        {"off the bottom: flush with the bottom edge", {1024, 768}, {300, 200}, at(100, 700), {100, 568}},
        {"far away on a vanished second screen", {800, 600}, {300, 200}, at(2500, 1400), {500, 400}},
    };
    for (const FixedCase& c : cases)
        EXPECT_EQ(fixedDialogPosition(c.screen, c.dialog, c.stored), c.expected) << c.what;
}

struct SizedCase {
    const char* what;
    QSize screen;
    QSize wanted;
    StoredRect stored;
    QRect expected;
};

TEST(Placement, SizedDialogs)
{
    const SizedCase cases[] = {
        {"default centred", {1024, 768}, {600, 400}, {}, {212, 184, 600, 400}},
        {"stored position with the caller's size", {1024, 768}, {600, 400}, rect(10, 20, 900, 900), {10, 20, 600, 400}},
        {"negative becomes 0", {1024, 768}, {600, 400}, at(-10, -10), {0, 0, 600, 400}},
        {"off to the right: one pixel inside", {1024, 768}, {600, 400}, at(500, 10), {423, 10, 600, 400}},
        {"off the bottom: one pixel inside", {1024, 768}, {600, 400}, at(10, 600), {10, 367, 600, 400}},
        {"exactly fitting stays", {1024, 768}, {600, 400}, at(424, 368), {424, 368, 600, 400}},
    };
    for (const SizedCase& c : cases)
        EXPECT_EQ(sizedDialogGeometry(c.screen, c.wanted, c.stored), c.expected) << c.what;
}

TEST(Placement, MainWindow)
{
    const SizedCase cases[] = {
        {"first start: 640 x 440 centred", {1024, 768}, {}, {}, {192, 164, 640, 440}},
        {"stored rectangle kept", {1024, 768}, {}, rect(10, 20, 810, 620), {10, 20, 800, 600}},
        {"smaller screen: right and bottom cut, left and top kept",
         {800, 600},
         {},
         rect(100, 50, 1200, 900),
         {100, 50, 699, 549}},
        {"negative left and top become 0, the size grows by as much",
         {1024, 768},
         {},
         rect(-8, -8, 500, 400),
         {0, 0, 500, 400}},
    };
    for (const SizedCase& c : cases)
        EXPECT_EQ(mainWindowGeometry(c.screen, c.stored), c.expected) << c.what;
}

TEST(Placement, FirstStartTakesFourFifthsOfTheAvailableAreaCentred)
{
    const struct {
        const char* what;
        QRect available;
        QRect expected;
    } cases[] = {
        {"the screen of the report", {0, 0, 1600, 1000}, {160, 100, 1280, 800}},
        {"a panel on the left and at the top", {64, 32, 1856, 1048}, {250, 137, 1484, 838}},
        {"odd sizes round down, the window stays inside", {0, 0, 1366, 767}, {137, 77, 1092, 613}},
    };
    for (const auto& c : cases) {
        const QRect rect = firstStartGeometry(c.available);
        EXPECT_EQ(rect, c.expected) << c.what;
        EXPECT_TRUE(c.available.contains(rect)) << c.what;
    }
    EXPECT_TRUE(isEmpty(StoredRect{}));
    EXPECT_FALSE(isEmpty(at(0, 0)));
}

TEST(Placement, StoredRectanglesRoundTripThroughTheSettings)
{
    test::ScopedSettings settings;
    EXPECT_FALSE(loadStoredRect(QStringLiteral("VMVereinPosition")).x.has_value());
    storeRect(QStringLiteral("VMVereinPosition"), QRect(12, 34, 300, 200));
    const StoredRect loaded = loadStoredRect(QStringLiteral("VMVereinPosition"));
    EXPECT_EQ(loaded.x, 12);
    EXPECT_EQ(loaded.y, 34);
    EXPECT_EQ(loaded.xend, 312);
    EXPECT_EQ(loaded.yend, 234);
    // Sections do not leak into each other.
    EXPECT_FALSE(loadStoredRect(QStringLiteral("VMNewPosition")).x.has_value());
}

} // namespace
} // namespace torvm
