#pragma once
// The command pvxMap: every map operation of the toolkit behind one
// interface, "pvxMap COMMAND ARGUMENT... [OPTION...]". Failures go to
// standard error as "pvxMap: " and the message.

class TMapMain {
public:
    // Runs the command on argv-style arguments and returns the exit status.
    static int Main(int argc, const char* const* argv);
};
