#pragma once
// The formulas of gdaldem's slope, aspect and hillshades on one window of
// 3 x 3 Float32 cells (0..8 row by row from the north-west), with gdaldem's
// operations in gdaldem's order so that the results agree to its last bits.
// Each is a small value that works out its constants once; the calls are
// inline so that rows of them vectorise.

#include <algorithm>
#include <cmath>

#include "util/TNoData.h"

namespace TTerrainFormulas {

constexpr double Pi = 3.14159265358979323846;
constexpr double DegreesToRadians = Pi / 180.0;
constexpr double RadiansToDegrees = 180.0 / Pi;

// Horn's weighted sums, formed in Float32 as gdaldem forms them.
inline float WestMinusEast(const float* PtrW)
{
    return (PtrW[0] + PtrW[3] + PtrW[3] + PtrW[6]) - (PtrW[2] + PtrW[5] + PtrW[5] + PtrW[8]);
}
inline float SouthMinusNorth(const float* PtrW)
{
    return (PtrW[6] + PtrW[7] + PtrW[7] + PtrW[8]) - (PtrW[0] + PtrW[1] + PtrW[1] + PtrW[2]);
}

// A shade as gdaldem stores it in its Byte band: rounded half up from
// Float32, at most 255; NaN stays NaN.
inline double ShadeByte(double DblShade)
{
    const float FltShade = static_cast<float>(DblShade);
    return std::isnan(FltShade) ? DblShade
                                : static_cast<double>(static_cast<int>(std::min(FltShade + 0.5f, 255.0f)));
}

// The tangent of the slope over cells of DblRes (cell size times scale).
inline double SlopeTangent(const float* PtrW, double DblRes)
{
    const double DblX = WestMinusEast(PtrW) / DblRes;
    const double DblY = SouthMinusNorth(PtrW) / DblRes;
    return std::sqrt(DblX * DblX + DblY * DblY) / 8;
}

class TSlopeDegrees {
public:
    TSlopeDegrees(double DblCellSize, double DblScale) : MbrDblRes(DblCellSize * DblScale) {}
    double operator()(const float* PtrW) const { return std::atan(SlopeTangent(PtrW, MbrDblRes)) * RadiansToDegrees; }

private:
    double MbrDblRes;
};

class TSlopePercent {
public:
    TSlopePercent(double DblCellSize, double DblScale) : MbrDblRes(DblCellSize * DblScale) {}
    double operator()(const float* PtrW) const { return 100 * SlopeTangent(PtrW, MbrDblRes); }

private:
    double MbrDblRes;
};

// Azimuth of the downhill direction; no data on flat cells.
class TAspect {
public:
    double operator()(const float* PtrW) const
    {
        const double DblWestMinusEast = WestMinusEast(PtrW);
        const double DblSouthMinusNorth = SouthMinusNorth(PtrW);
        if (DblWestMinusEast == 0 && DblSouthMinusNorth == 0)
            return TNoData::Marker();
        const double DblAngle = std::atan2(DblSouthMinusNorth, DblWestMinusEast) / DegreesToRadians;
        const double DblAzimuth = DblAngle > 90 ? 450 - DblAngle : 90 - DblAngle;
        return DblAzimuth >= 360 ? DblAzimuth - 360 : DblAzimuth;
    }
};

// One light. gdaldem's form for square cells: differences of opposite
// cells first, the light's direction folded into two factors.
class THillshade {
public:
    THillshade(double DblCellSize, double DblScale, double DblZ, double DblAzimuth, double DblAltitude)
    {
        const double DblInvRes = 1.0 / (DblCellSize * DblScale);
        const double DblZFactor = DblZ / 8;
        const double DblAzimuthRadians = DblAzimuth * DegreesToRadians;
        const double DblCosAltZ = std::cos(DblAltitude * DegreesToRadians) * DblZFactor;
        MbrDblSinAlt254 = 254.0 * std::sin(DblAltitude * DegreesToRadians);
        MbrDblFactorX = 254.0 * (std::sin(DblAzimuthRadians) * DblCosAltZ) * DblInvRes;
        MbrDblFactorY = 254.0 * (std::cos(DblAzimuthRadians) * DblCosAltZ) * -DblInvRes;
        MbrDblSquareZ = DblZFactor * DblZFactor * DblInvRes * DblInvRes;
    }
    double operator()(const float* PtrW) const
    {
        float FltX = PtrW[0] - PtrW[8];
        const float FltSixMinusTwo = PtrW[6] - PtrW[2];
        float FltY = FltX;
        const float FltThreeMinusFive = PtrW[3] - PtrW[5];
        const float FltOneMinusSeven = PtrW[1] - PtrW[7];
        FltX += FltThreeMinusFive;
        FltY += FltOneMinusSeven;
        FltX += FltThreeMinusFive;
        FltY += FltOneMinusSeven;
        FltX += FltSixMinusTwo;
        FltY -= FltSixMinusTwo;
        const double DblX = FltX;
        const double DblY = FltY;
        const double DblShade = (MbrDblSinAlt254 + (DblX * MbrDblFactorX + DblY * MbrDblFactorY))
                                / std::sqrt(1 + MbrDblSquareZ * (DblX * DblX + DblY * DblY));
        return ShadeByte(DblShade <= 0.0 ? 1.0 : 1.0 + DblShade);
    }

private:
    double MbrDblSinAlt254;
    double MbrDblFactorX;
    double MbrDblFactorY;
    double MbrDblSquareZ;
};

// The gradient as gdaldem's hillshade variants take it: x west minus east,
// y north minus south, per unit of distance.
class TGradient {
public:
    TGradient(double DblCellSize, double DblScale)
        : MbrDblInvEastWest(1.0 / (DblCellSize * DblScale)),
          MbrDblInvNorthSouth(1.0 / (-DblCellSize * DblScale))
    {
    }
    double X(const float* PtrW) const { return WestMinusEast(PtrW) * MbrDblInvEastWest; }
    double Y(const float* PtrW) const { return SouthMinusNorth(PtrW) * MbrDblInvNorthSouth; }

private:
    double MbrDblInvEastWest;
    double MbrDblInvNorthSouth;
};

// Lights from 225, 270, 315 and 360 degrees, each weighted by how square
// the aspect stands to it (USGS open-file report 92-422); the azimuth is
// not used.
class TMultidirectional {
public:
    TMultidirectional(double DblCellSize, double DblScale, double DblZ, double DblAltitude)
        : MbrGradient(DblCellSize, DblScale)
    {
        const double DblZFactor = DblZ / 8;
        const double DblCosAltZ = std::cos(DblAltitude * DegreesToRadians) * DblZFactor;
        MbrDblSquareZ = DblZFactor * DblZFactor;
        MbrDblSinAlt127 = 127.0 * std::sin(DblAltitude * DegreesToRadians);
        MbrDblSinAlt254 = 254.0 * std::sin(DblAltitude * DegreesToRadians);
        MbrDblCosAltZ127 = 127.0 * DblCosAltZ;
        MbrDblCos225CosAltZ127 = 127.0 * std::cos(225 * DegreesToRadians) * DblCosAltZ;
    }
    double operator()(const float* PtrW) const
    {
        const double DblX = MbrGradient.X(PtrW);
        const double DblY = MbrGradient.Y(PtrW);
        const double DblXX = DblX * DblX;
        const double DblYY = DblY * DblY;
        const double DblSum = DblXX + DblYY;
        const double Dbl225 = Lit(MbrDblSinAlt127 + (DblX - DblY) * MbrDblCos225CosAltZ127);
        const double Dbl270 = Lit(MbrDblSinAlt127 - DblX * MbrDblCosAltZ127);
        const double Dbl315 = Lit(MbrDblSinAlt127 + (DblX + DblY) * MbrDblCos225CosAltZ127);
        const double Dbl360 = Lit(MbrDblSinAlt127 - DblY * MbrDblCosAltZ127);
        const double DblWeight225 = 0.5 * DblSum - DblX * DblY;
        const double DblWeight315 = DblSum - DblWeight225;
        const double DblShade =
            ((DblWeight225 * Dbl225 + DblXX * Dbl270 + DblWeight315 * Dbl315 + DblYY * Dbl360) / DblSum)
            / std::sqrt(1 + MbrDblSquareZ * DblSum);
        // A flat cell faces up: its shade is the sine of the altitude.
        return ShadeByte(1.0 + (DblSum == 0.0 ? MbrDblSinAlt254 : DblShade));
    }

private:
    static double Lit(double DblValue) { return DblValue <= 0.0 ? 0.0 : DblValue; }

    TGradient MbrGradient;
    double MbrDblSquareZ;
    double MbrDblSinAlt127;
    double MbrDblSinAlt254;
    double MbrDblCosAltZ127;
    double MbrDblCos225CosAltZ127;
};

// One light, darkened further by the slope itself.
class TCombined {
public:
    TCombined(double DblCellSize, double DblScale, double DblZ, double DblAzimuth, double DblAltitude)
        : MbrGradient(DblCellSize, DblScale)
    {
        const double DblZFactor = DblZ / 8;
        const double DblAzimuthRadians = DblAzimuth * DegreesToRadians;
        const double DblCosAltZ = std::cos(DblAltitude * DegreesToRadians) * DblZFactor;
        MbrDblSinAlt = std::sin(DblAltitude * DegreesToRadians);
        MbrDblCosAz = std::cos(DblAzimuthRadians) * DblCosAltZ;
        MbrDblSinAz = std::sin(DblAzimuthRadians) * DblCosAltZ;
        MbrDblSquareZ = DblZFactor * DblZFactor;
    }
    double operator()(const float* PtrW) const
    {
        const double DblX = MbrGradient.X(PtrW);
        const double DblY = MbrGradient.Y(PtrW);
        const double DblSlope = (DblX * DblX + DblY * DblY) * MbrDblSquareZ;
        const double DblCosine =
            (MbrDblSinAlt - (DblY * MbrDblCosAz - DblX * MbrDblSinAz)) / std::sqrt(1 + DblSlope);
        const double DblAngle = std::acos(std::clamp(DblCosine, -1.0, 1.0));
        const double DblShade = 1 - DblAngle * std::atan(std::sqrt(DblSlope)) * InvSquareOfHalfPi;
        return ShadeByte(DblShade <= 0.0 ? 1.0 : 1.0 + 254.0 * DblShade);
    }

private:
    static constexpr double InvSquareOfHalfPi = 1.0 / ((Pi * Pi) / 4);

    TGradient MbrGradient;
    double MbrDblSinAlt;
    double MbrDblCosAz;
    double MbrDblSinAz;
    double MbrDblSquareZ;
};

}  // namespace TTerrainFormulas
