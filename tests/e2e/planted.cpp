// A DLL a user may find beside Tavrel in a download folder. It does nothing:
// the end-to-end case only asks whether a load by its bare name finds it.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
