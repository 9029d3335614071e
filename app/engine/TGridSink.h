#pragma once
// A consumer of output cells that writes a grid file: the cells in order,
// then Finish, which completes the file and says how many data cells the
// file's cell type changed (0 where it keeps every double).

#include <cstdint>

#include "app/engine/TRowJob.h"

class TGridSink : public TRowConsumer {
public:
    virtual std::uint64_t Finish() = 0;
};
