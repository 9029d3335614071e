#pragma once
// The command pvxOverlay: scales every data cell of an ASCII grid file by a
// number and writes the result as a new ASCII grid file.
//
// The command streams: it reads, scales and writes the body in blocks and
// never holds the whole grid, yet writes exactly the bytes that loading the
// file, TMapTools::Multiply or Divide, and writing the result would write,
// and reports the same failure in the same order.

#include <istream>
#include <ostream>
#include <string>

class TProgress;

class TScalarOverlay {
public:
    // Runs the command on argv-style arguments (argv[0] the program) and
    // returns the exit status: 0 on success, 2 after the usage message, 1
    // after any other failure. A failure's message and a line end go to Out.
    static int Main(int argc, const char* const* argv, std::ostream& Out);

    // Scales the grid read from StgInput into StgOutput ("-": standard
    // input and output), replacing it only once complete. ChrOperation 'x'
    // multiplies, '/' divides; any other character is reported as "Unknown
    // operation" once the input has read completely. The work is shared
    // among the toolkit's threads (TSlices). Progress, when given, shows the
    // rows written.
    static void Run(const std::string& StgInput, const std::string& StgOutput, char ChrOperation,
                    double DblScalar, TProgress* PtrProgress = nullptr);

    // The same from stream to stream; nothing is written to Output unless
    // the header reads and the operation is known.
    static void Run(std::istream& Input, std::ostream& Output, char ChrOperation, double DblScalar);
};
