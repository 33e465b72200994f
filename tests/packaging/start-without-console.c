/* Starts the program named on its command line the way Explorer and the Start menu start a
   Windows program: with no standard handles and no console to attach to. Ends with the
   program's exit status. */
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show)
{
    (void)instance;
    (void)previous;
    (void)show;
    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES; /* all three handles null */
    PROCESS_INFORMATION process;
    if (!CreateProcessW(NULL, commandLine, NULL, NULL, FALSE, DETACHED_PROCESS, NULL, NULL,
                        &startup, &process))
        return 255;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 255;
    GetExitCodeProcess(process.hProcess, &status);
    return (int)status;
}
