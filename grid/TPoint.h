#pragma once
// Points of the grid model: a position, and a position carrying a cell value.

// A position (easting X, northing Y).
class TPoint {
public:
    TPoint(double DblX, double DblY) : MbrDblX(DblX), MbrDblY(DblY) {}
    // Virtual: axes own TPoint pointers that may point to TMapPoints.
    virtual ~TPoint() = default;

    // A new point with the same components; the caller owns it.
    virtual TPoint* Clone() const;

    double GetX() const { return MbrDblX; }
    double GetY() const { return MbrDblY; }
    // The component an axis letter names: X for 'X', Y for any other letter.
    double GetComponent(char ChrAxis) const { return ChrAxis == 'X' ? MbrDblX : MbrDblY; }

    // Euclidean distance to the other point.
    double Distance(const TPoint* PtrOther) const;

private:
    double MbrDblX;
    double MbrDblY;
};

// A position with the value of the cell it stands for.
class TMapPoint : public TPoint {
public:
    TMapPoint(double DblX, double DblY, double DblValue = 0.0)
        : TPoint(DblX, DblY), MbrDblValue(DblValue) {}

    // A new TMapPoint with the same components and value; the caller owns it.
    TMapPoint* Clone() const override;

    double GetValue() const { return MbrDblValue; }
    void SetValue(double DblValue) { MbrDblValue = DblValue; }

private:
    double MbrDblValue;
};
