#pragma once
// Small builders and checks shared by the grid model tests.

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "grid/TAxis.h"
#include "util/TError.h"
#include "grid/TMap.h"

// Expects Statement to throw an ErrorType whose message is exactly Message.
#define EXPECT_ERROR(ErrorType, Statement, Message)                         \
    do {                                                                    \
        try {                                                               \
            Statement;                                                      \
            ADD_FAILURE() << "nothing thrown by " #Statement;               \
        } catch (const ErrorType& Error) {                                  \
            EXPECT_EQ(std::string(Error.what()), Message);                  \
        }                                                                   \
    } while (false)
#define EXPECT_TERROR(Statement, Message) EXPECT_ERROR(TError, Statement, Message)

// An axis whose points carry VecValues in the component ChrAxis names and
// DblFixed in the other one.
inline std::unique_ptr<TAxis> MakeAxis(double DblResolution, const std::vector<double>& VecValues,
                                       char ChrAxis, double DblFixed = 0.0)
{
    auto PtrAxis = std::make_unique<TAxis>(DblResolution, static_cast<long>(VecValues.size()));
    for (std::size_t Index = 0; Index < VecValues.size(); ++Index)
        PtrAxis->SetPoint(static_cast<long>(Index),
                          ChrAxis == 'X' ? new TPoint(VecValues[Index], DblFixed)
                                         : new TPoint(DblFixed, VecValues[Index]));
    return PtrAxis;
}

// The X (ChrAxis 'X') or Y components of every point of the axis, in order.
inline std::vector<double> Components(const TAxis& Axis, char ChrAxis)
{
    std::vector<double> VecValues;
    for (long LngIndex = 0; LngIndex < Axis.GetSize(); ++LngIndex) {
        const TPoint& Point = Axis.GetFilledPoint(LngIndex);
        VecValues.push_back(ChrAxis == 'X' ? Point.GetX() : Point.GetY());
    }
    return VecValues;
}

// Three columns by two rows of cell size 1, X edges 0..3 rising, Y edges
// 2..0 falling; cell (column c, row r) holds 10 * r + c.
inline std::unique_ptr<TMap> MakeThreeByTwoMap()
{
    auto PtrMap = std::make_unique<TMap>(1.0, 3, 2);
    PtrMap->SetXAxisInterval(MakeAxis(1.0, {0.0, 1.0, 2.0, 3.0}, 'X', 2.0).get());
    PtrMap->SetYAxisInterval(MakeAxis(1.0, {2.0, 1.0, 0.0}, 'Y', 0.0).get());
    for (long LngY = 0; LngY < 2; ++LngY)
        for (long LngX = 0; LngX < 3; ++LngX)
            PtrMap->SetPoint(LngX, LngY, 10.0 * LngY + LngX);
    return PtrMap;
}
