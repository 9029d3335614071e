#pragma once
// A grid of double cell values with a cell size, a no-data value and four
// axes tying cell indices to map coordinates. Columns (X) run west to east;
// rows (Y) run in the order of the Y axes: north to south on a north-up map
// (falling Y edges, as every loaded map has), south to north on a south-up
// one (rising Y edges, which client code can build through centre axes).
// Every call taking two indices takes the column first. Cells are stored row
// by row from row 0: the north row first on a north-up map, the south row
// first on a south-up one.
//
// The map owns its axes. Every axis handed to it stays the caller's: the map
// keeps a copy and the derived companion axis. Every point or axis returned
// is new and the caller's, except the four axis accessors, which lend.

#include <memory>
#include <utility>
#include <vector>

#include "grid/TAxis.h"
#include "grid/TCellBlock.h"
#include "util/TError.h"
#include "grid/TPoint.h"

class TAxisLookup;

class TMap {
public:
    // An empty map: no cells, no axes; rows are then added with AddRow.
    explicit TMap(double DblResolution);
    // LngXDim columns by LngYDim rows, every cell no data (-9999), no axes.
    TMap(double DblResolution, long LngXDim, long LngYDim);
    // A map on copies of two centre axes, every cell no data. Throws "Axes
    // resolutions do not match in TMap::TMap" unless the two resolutions are
    // exactly equal; an empty axis throws from PointsToIntervals.
    TMap(const TAxis* PtrXAxis, const TAxis* PtrYAxis);
    // LngXDim columns by LngYDim rows holding Cells, row by row, no axes.
    // Throws "Cells do not match the dimensions in TMap::TMap" unless Cells
    // holds LngXDim x LngYDim.
    TMap(double DblResolution, long LngXDim, long LngYDim, TCellBlock Cells);
    ~TMap();
    TMap(const TMap&) = delete;
    TMap& operator=(const TMap&) = delete;

    // The one way to make a result that keeps an input's geometry: a map of
    // PtrSource's cell size and dimensions on exact copies of its four axes
    // (edges copied, never derived again from the centres, so the result has
    // the source's corner to the last digit). Every cell and the no-data
    // value are DblNoDataValue. Throws "Axes are not set in
    // TMap::OnGeometryOf" for a source without axes.
    static TMap* OnGeometryOf(const TMap* PtrSource, double DblNoDataValue = -9999.0);
    // The same for the block of PtrSource's columns LngX1 to LngX2 and rows
    // LngY1 to LngY2, both inclusive: its axes are segments of the source's.
    // Out-of-range indices throw the messages of TAxis::GetSegment.
    static TMap* OnBlockOf(const TMap* PtrSource, long LngX1, long LngY1, long LngX2, long LngY2);

    // Gives the map exactly the shape given: the resolution, LngXDim columns
    // by LngYDim rows, every cell DblNoDataValue, which becomes the no-data
    // value, and no axes; rows and axes held before are released. Throws
    // "Dimensions must not be negative in TMap::Init".
    void Init(double DblResolution, long LngXDim, long LngYDim, double DblNoDataValue);

    double GetResolution() const { return MbrDblResolution; }
    long GetXDim() const { return MbrLngXDim; }
    long GetYDim() const { return MbrLngYDim; }
    double GetNoDataValue() const { return MbrDblNoDataValue; }
    void SetNoDataValue(double DblValue) { MbrDblNoDataValue = DblValue; }

    // The map's own axes (null until set); they stay the map's, and are lent
    // for reading only: they change through the setters alone, which keep
    // each direction's two axes describing the same cells.
    const TAxis* GetXAxis() const { return MbrPtrXAxis.get(); }
    const TAxis* GetYAxis() const { return MbrPtrYAxis.get(); }
    const TAxis* GetXAxisInterval() const { return MbrPtrXAxisInterval.get(); }
    const TAxis* GetYAxisInterval() const { return MbrPtrYAxisInterval.get(); }
    // The one check of an operation that needs the axes: throws "Axes are not
    // set in " + StgWhere (say "TMapTools::Subdivide") unless all four are.
    void RequireAxes(const char* StgWhere) const;
    bool HasAxes() const
    {
        return MbrPtrXAxis && MbrPtrYAxis && MbrPtrXAxisInterval && MbrPtrYAxisInterval;
    }
    // Whether the map is south-up: its Y edges rise from row 0. False for a
    // map without axes.
    bool IsSouthUp() const;

    // --- Cells by index ---
    // Throws "X-ordinate is out of range in TMap::GetPointVal", then the
    // Y-ordinate message.
    double GetPointVal(long LngX, long LngY) const
    {
        if (LngX < 0 || LngX >= MbrLngXDim)
            throw TError("X-ordinate is out of range in TMap::GetPointVal");
        if (LngY < 0 || LngY >= MbrLngYDim)
            throw TError("Y-ordinate is out of range in TMap::GetPointVal");
        return MbrCells.Data()[LngY * MbrLngXDim + LngX];
    }
    // Throws "LngX is out of range in TMap::SetPoint (long,long)", then the
    // LngY message, rather than write outside the grid.
    void SetPoint(long LngX, long LngY, double DblValue)
    {
        if (LngX < 0 || LngX >= MbrLngXDim)
            throw TError("LngX is out of range in TMap::SetPoint (long,long)");
        if (LngY < 0 || LngY >= MbrLngYDim)
            throw TError("LngY is out of range in TMap::SetPoint (long,long)");
        MbrCells.Data()[LngY * MbrLngXDim + LngX] = DblValue;
    }
    void InitValues(double DblValue);
    // A new point at the cell centre.
    TPoint* GetCoordinates(long LngX, long LngY) const;
    // A new point at the cell centre carrying the cell value.
    TMapPoint* GetPoint(long LngX, long LngY) const;

    // --- Cells by position (through the edge axes) ---
    // Column index ('X') or row index (any other letter) of the position, as
    // TAxis::GetIndex of the edge axis gives it, by bisection: -1 where it
    // lies in no cell (the east or north edge). Throws "Axes are not set in
    // TMap::GetIndex" for a map without axes.
    long GetIndex(double DblValue, char ChrAxis) const;
    double GetPointVal(const TPoint* PtrPosition) const;
    // A new point at the given position carrying its cell's value.
    TMapPoint* GetPoint(const TPoint* PtrPosition) const;
    // Throws "LngX is out of range in TMap::SetPoint (TPoint*)", then the LngY
    // message, for a position in no cell.
    void SetPoint(const TPoint* PtrPosition, double DblValue);
    std::vector<double> GetPointValues(const std::vector<TPoint*>& VecPositions) const;

    // Every cell, row by row from row 0 (the north row of a north-up map, the
    // south row of a south-up one): the cell at column x and row y is element
    // y * GetXDim() + x. Valid until the next AddRow or Init.
    double* GetCells() { return MbrCells.Data(); }
    const double* GetCells() const { return MbrCells.Data(); }

    // --- Rows ---
    // A copy of row LngY, west to east.
    std::vector<double> GetRow(long LngY) const;
    // Appends a row after the last (the south row, once north-up axes are
    // set). The first row of a map with neither columns nor
    // rows sets the columns; any other row must have MbrLngXDim values, else
    // "Length of new row does not match the X dimension of the map in
    // TMap::AddRow". A map with axes takes no row ("Rows cannot be added to
    // a map that has axes in TMap::AddRow"): its axes fix its rows.
    void AddRow(std::vector<double> VecValues);

    // --- Axes ---
    // Each setter checks the size, then replaces the axis of that kind by a
    // copy of the argument and its companion by the conversion of the
    // argument. An argument with an empty slot throws "Point is not set in
    // TAxis::GetPoint". On any failure the map keeps the axes it had.
    void SetXAxis(const TAxis* PtrAxis);
    void SetYAxis(const TAxis* PtrAxis);
    void SetXAxisInterval(const TAxis* PtrAxis);
    void SetYAxisInterval(const TAxis* PtrAxis);

private:
    enum class TAxisKind { Centres, Edges };
    // A map of the cell size on exact copies of four axes (centres and edges
    // of X, then of Y); every cell and the no-data value DblNoDataValue.
    TMap(double DblResolution, const TAxis& XAxis, const TAxis& XEdges, const TAxis& YAxis,
         const TAxis& YEdges, double DblNoDataValue);
    // The work of the four axis setters for one direction (ChrAxis) and kind.
    void ReplaceAxes(const TAxis* PtrAxis, char ChrAxis, TAxisKind Kind,
                     const char* StgSizeMismatch);
    // The cell that holds the position, checked in the words of StgOperation
    // ("TMap::GetPointVal").
    std::pair<long, long> CellAt(const TPoint* PtrPosition, const char* StgOperation) const;

    double MbrDblResolution;
    long MbrLngXDim = 0;
    long MbrLngYDim = 0;
    TCellBlock MbrCells;
    std::unique_ptr<TAxis> MbrPtrXAxis;
    std::unique_ptr<TAxis> MbrPtrYAxis;
    std::unique_ptr<TAxis> MbrPtrXAxisInterval;
    std::unique_ptr<TAxis> MbrPtrYAxisInterval;
    std::unique_ptr<const TAxisLookup> MbrPtrColumns;
    std::unique_ptr<const TAxisLookup> MbrPtrRows;
    double MbrDblNoDataValue = -9999.0;
};
