#include "app/StartUp.h"

int main(int argc, char* argv[]) {
    int status = 0;
    {
        StartUp system(argc, argv);
        status = system.Run();
    }
    return status;
}
