#include "app/TCommandSkeleton.h"

#include <new>

#include "app/TInterruptCleanup.h"

namespace {

void Report(const TCommandSkeleton::TReporting& Reporting, const char* StgMessage)
{
    TInterruptCleanup::EndIfPipeClosed();
    Reporting.Out << Reporting.StgPrefix << StgMessage << std::endl;
}

}  // namespace

int TCommandSkeleton::Run(const TReporting& Reporting, const std::function<void()>& Body)
{
    TInterruptCleanup::CatchWriteSignals();
    try {
        Body();
        return 0;
    } catch (const TUsageError& Error) {
        Report(Reporting, Error.what());
        if (!Error.Hint().empty())
            Reporting.Out << Error.Hint() << std::endl;
        return 2;
    } catch (const std::bad_alloc&) {
        Report(Reporting, "Out of memory");
    } catch (const std::exception& Error) {
        Report(Reporting, Error.what());
    } catch (...) {
        Report(Reporting, "Unexpected failure");
    }
    return 1;
}
