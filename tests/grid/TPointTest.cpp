#include <cmath>
#include <memory>

#include <gtest/gtest.h>

#include "grid/TPoint.h"

TEST(TPointClone, CopiesComponentsIntoANewPoint)
{
    const TPoint Point(3.5, -2.25);
    std::unique_ptr<TPoint> PtrCopy(Point.Clone());
    EXPECT_NE(PtrCopy.get(), &Point);
    EXPECT_EQ(PtrCopy->GetX(), 3.5);
    EXPECT_EQ(PtrCopy->GetY(), -2.25);
}

TEST(TPointClone, MapPointStaysMapPointThroughTheBase)
{
    // Owned and deleted through the base, as axes hold their points.
    std::unique_ptr<TPoint> PtrSource(new TMapPoint(1.0, 2.0, 42.5));
    std::unique_ptr<TPoint> PtrCopy(PtrSource->Clone());
    const auto* PtrMapCopy = dynamic_cast<const TMapPoint*>(PtrCopy.get());
    ASSERT_NE(PtrMapCopy, nullptr);
    EXPECT_EQ(PtrMapCopy->GetX(), 1.0);
    EXPECT_EQ(PtrMapCopy->GetY(), 2.0);
    EXPECT_EQ(PtrMapCopy->GetValue(), 42.5);

    static_cast<TMapPoint*>(PtrSource.get())->SetValue(7.0);
    EXPECT_EQ(PtrMapCopy->GetValue(), 42.5);
}

TEST(TMapPoint, ValueDefaultsToZero)
{
    TMapPoint Point(4.0, 5.0);
    EXPECT_EQ(Point.GetValue(), 0.0);
    Point.SetValue(-9999.0);
    EXPECT_EQ(Point.GetValue(), -9999.0);
}

TEST(TPointDistance, IsEuclideanAndSymmetric)
{
    const TPoint PointA(1.0, 2.0);
    const TPoint PointB(4.0, -2.0);
    EXPECT_EQ(PointA.Distance(&PointB), 5.0);
    EXPECT_EQ(PointB.Distance(&PointA), 5.0);
    EXPECT_EQ(PointA.Distance(&PointA), 0.0);

    const TMapPoint MapPoint(0.0, 1.0, 100.0);
    EXPECT_EQ(MapPoint.Distance(&PointA), std::sqrt(2.0));
}
