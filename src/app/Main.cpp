#include "app/NewProjApp.h"
#include "framework/Trace.h"

CnewProjApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    TracePhase("winmain");
    const int code = AfxWinMain(instance);
    TracePhase("exit");
    return code;
}
