// Entry point of pvxMap.
#include "app/map/TMapMain.h"

int main(int argc, char** argv)
{
    return TMapMain::Main(argc, argv);
}
