// Entry point of pvxOverlay.
#include <iostream>

#include "app/TScalarOverlay.h"

int main(int argc, char** argv)
{
    return TScalarOverlay::Main(argc, argv, std::cout);
}
