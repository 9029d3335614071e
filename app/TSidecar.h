#pragma once
// The coordinate-system file (".prj") that GIS programs keep beside a grid
// file: a command that writes an ASCII grid from an input grid copies the
// input's sidecar beside its output, byte for byte, or writes there the
// ESRI WKT of a raster's coordinate system, under the grid's own rules.
//
// Use, for every grid a command writes (a command reading several grids
// passes the first one's name as the input):
//
//     std::unique_ptr<TOutputFile> PtrGrid = ...;     // the grid's output file
//     TSidecar Sidecar(Crs, StgOutput);               // after it, failures alike
//     ... write the grid to PtrGrid->Stream() ...
//     Sidecar.CommitWith(*PtrGrid);                   // instead of PtrGrid->Commit()
//
// The sidecar is written through TOutputFile: complete or not at all, with
// "Unable to open file OUT.prj" / "Unable to write file OUT.prj" as the
// grid's failures are reported. Until CommitWith, a failure or destruction
// leaves neither file changed and no temporary file behind (an interrupt
// included). An output that gets no sidecar, or an input that has none,
// leaves an existing OUT.prj alone.

#include <memory>
#include <optional>
#include <string>

#include "app/TGridCrs.h"
#include "app/TInterruptCleanup.h"
#include "io/TOutputFile.h"

class TSidecar {
public:
    // The sidecar of an input grid: NAME.prj, else NAME.PRJ, beside NAME.asc
    // (NAME.asc's extension replaced, one added when it has none), if it is
    // a regular file (a link to one included). Empty when there is none, and
    // for "-" (standard input).
    static std::string OfInput(const std::string& StgGrid);

    // The sidecar name of an output grid: its extension replaced by ".prj",
    // added when it has none. Empty when the output gets no sidecar: "-"
    // (standard output), and a name whose folder is in /dev or /proc
    // (/dev/stdout, /dev/null, /proc/self/fd/1).
    static std::string OfOutput(const std::string& StgGrid);

    // The coordinate system of an ASCII grid: its sidecar, if any.
    static TGridCrs OfGrid(const std::string& StgGrid);
    // The text of a .prj for the coordinate system: the sidecar's bytes,
    // else the raster's ESRI WKT; empty for none. Throws TFileError "Unable
    // to open file " + the sidecar when it cannot be read, "Unable to read
    // file " + its name on a read error.
    static std::string Text(const TGridCrs& Crs);

    // Writes the coordinate system's .prj text, if any, to the output's
    // sidecar and closes it (not yet in place). Throws Text's failures and
    // the output sidecar's TOutputFile failures.
    TSidecar(const TGridCrs& Crs, const std::string& StgOutputGrid);
    ~TSidecar();
    TSidecar(const TSidecar&) = delete;
    TSidecar& operator=(const TSidecar&) = delete;

    // True when a sidecar is being written.
    bool Active() const { return MbrPtrFile != nullptr; }

    // Finishes the grid, then puts it in place and the sidecar after it. A failure to write either leaves both untouched (the grid's
    // TOutputFile failure, or "Unable to write file " + sidecar). Only if the
    // sidecar's final rename fails after the grid's has succeeded, which the
    // system all but rules out in one folder, is the new grid left beside the
    // old sidecar, and that failure thrown.
    void CommitWith(TOutputFile& Grid);

private:
    // Declared first so that it outlives the file it guards.
    std::optional<TInterruptCleanup> MbrCleanup;
    std::unique_ptr<TOutputFile> MbrPtrFile;
};
