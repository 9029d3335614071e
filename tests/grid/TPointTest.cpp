#include <cmath>
#include <memory>

#include <gtest/gtest.h>

#include "grid/TPoint.h"

TEST(TPoint, MapPointClonesThroughTheBaseWithItsValue)
{
    // Owned and deleted through the base, as axes hold their points.
    const std::unique_ptr<TPoint> PtrSource(new TMapPoint(1.0, 2.0, 42.5));
    const std::unique_ptr<TPoint> PtrCopy(PtrSource->Clone());
    const auto* PtrMapCopy = dynamic_cast<const TMapPoint*>(PtrCopy.get());
    ASSERT_NE(PtrMapCopy, nullptr);
    EXPECT_EQ(PtrMapCopy->GetX(), 1.0);
    EXPECT_EQ(PtrMapCopy->GetY(), 2.0);
    EXPECT_EQ(PtrMapCopy->GetValue(), 42.5);
    EXPECT_EQ(TMapPoint(4.0, 5.0).GetValue(), 0.0);
}

TEST(TPoint, DistanceIsEuclideanAndSymmetric)
{
    const TPoint PointA(1.0, 2.0);
    const TPoint PointB(4.0, -2.0);
    EXPECT_EQ(PointA.Distance(&PointB), 5.0);
    EXPECT_EQ(PointB.Distance(&PointA), 5.0);
    // A map point's value takes no part.
    EXPECT_EQ(TMapPoint(0.0, 1.0, 100.0).Distance(&PointA), std::sqrt(2.0));
}
