#include "app/torvex_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CTorvexApp app;
    return app.Run();
}
