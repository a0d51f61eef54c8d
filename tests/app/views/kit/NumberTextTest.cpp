#include "app/views/kit/NumberText.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace Tessarine;

TEST(NumberText, PercentagesShowOneDecimalWithHalvesAwayFromZeroAndStoreNoLessThanZero) {
    const std::pair<double, QString> shown[] = {{0.04, "4"},     {0.085, "8.5"}, {0.12345, "12.3"}, {0.0125, "1.3"},
                                                {0.0045, "0.5"}, {1.0, "100"},   {-0.02, "-2"},     {-0.0125, "-1.3"}};
    for (const auto& [fraction, text] : shown)
        EXPECT_EQ(NumberText::text(NumberText::percentShown(fraction), 1), text) << fraction;

    EXPECT_EQ(NumberText::percentStored(12.5), 0.125);
    EXPECT_EQ(NumberText::percentStored(-3), -0.03) << "the tab refuses it, with a reason";
    // A typed typical value must store exactly the typical fraction, or a family never reads as unchanged.
    EXPECT_EQ(NumberText::percentStored(12), 0.12);
    EXPECT_EQ(NumberText::percentStored(35), 0.35);
    // Values too large to scale keep their digits instead of turning into a dash.
    EXPECT_EQ(NumberText::text(1e300, 1).size(), 301);
    EXPECT_EQ(NumberText::text(0.25, 1), "0.3");
    EXPECT_EQ(NumberText::text(0.125, 2), "0.13");
}

TEST(NumberText, OnlyOneFiniteNumberIsAcceptedInEitherNotation) {
    EXPECT_EQ(NumberText::parse(" 12.5 "), 12.5);
    EXPECT_EQ(NumberText::parse("-5"), -5);
    for (const char* refused : {"inf", "-inf", "nan", "NaN", "1e999", "abc", "", "4 %", "1,500", "1.2.3"})
        EXPECT_FALSE(NumberText::parse(QString::fromLatin1(refused))) << refused;

    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(NumberText::parse("1,5"), 1.5);
    EXPECT_EQ(NumberText::parse("1.5"), 1.5);
    EXPECT_FALSE(NumberText::parse("1.500,5")) << "group separators are refused";
    QLocale::setDefault(previous);
}
