#include "ops/TMapTools.h"

#include <vector>

#include "io/TTextWriter.h"

void TMapTools::WriteFlatFile(const TMap* PtrMap, std::ostream& Stream, char ChrSeparator)
{
    TTextWriter Text(Stream);
    for (long LngRow = 0; LngRow < PtrMap->GetYDim(); ++LngRow) {
        const std::vector<double> VecRow = PtrMap->GetRow(LngRow);
        Text.PutCells(VecRow.data(), VecRow.size(), ChrSeparator);
        Text.EndLine();
    }
    Text.Flush();
}

void TMapTools::WriteCSVFile(const TMap* PtrMap, std::ostream& Stream)
{
    const TAxis* PtrXAxis = PtrMap->GetXAxis();
    const TAxis* PtrYAxis = PtrMap->GetYAxis();
    TTextWriter Text(Stream);
    for (long LngCol = 0; LngCol < PtrMap->GetXDim(); ++LngCol) {
        const double DblX = PtrXAxis->GetPoint(LngCol)->GetX();
        for (long LngRow = 0; LngRow < PtrMap->GetYDim(); ++LngRow) {
            Text.PutNumber(DblX);
            Text.Put(',');
            Text.PutNumber(PtrYAxis->GetPoint(LngRow)->GetY());
            Text.Put(',');
            Text.PutNumber(PtrMap->GetPointVal(LngCol, LngRow));
            Text.EndLine();
        }
    }
    Text.Flush();
}
