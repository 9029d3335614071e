#include "ops/TMapTools.h"

#include "util/TRowWriter.h"
#include "util/TTextWriter.h"

void TMapTools::WriteFlatFile(const TMap* PtrMap, std::ostream& Stream, char ChrSeparator)
{
    TRowWriter::WriteRows(Stream, PtrMap->GetCells(), static_cast<std::size_t>(PtrMap->GetXDim()),
                          static_cast<std::size_t>(PtrMap->GetYDim()), ChrSeparator,
                          PtrMap->IsSouthUp());
}

void TMapTools::WriteCSVFile(const TMap* PtrMap, std::ostream& Stream)
{
    PtrMap->RequireAxes("TMapTools::WriteCSVFile");
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
