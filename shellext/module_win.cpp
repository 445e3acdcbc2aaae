// The library's entry points. There is no self-registration: the program writes the keys that
// make the shell load this library.
#include "shellext/module_win.h"

#include "shellext/shell_commands_win.h"
#include "shellext/shell_extension_win.h"

#include <new>

namespace shellext {

namespace {
HINSTANCE moduleInstance = nullptr;
LONG liveObjects = 0;
} // namespace

HINSTANCE ModuleInstance()
{
    return moduleInstance;
}

void ObjectCreated()
{
    InterlockedIncrement(&liveObjects);
}

void ObjectDestroyed()
{
    InterlockedDecrement(&liveObjects);
}

} // namespace shellext

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        shellext::moduleInstance = instance;
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        shellext::FreeMenuBitmap();
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID classId, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!IsEqualCLSID(classId, shellext::kShellExtensionClassId))
        return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new (std::nothrow) shellext::ClassFactory();
    if (!factory)
        return E_OUTOFMEMORY;
    // As in CreateInstance: a factory nobody could query must not keep the library loaded.
    factory->AddRef();
    HRESULT result = factory->QueryInterface(iid, object);
    factory->Release();
    return result;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return shellext::liveObjects == 0 ? S_OK : S_FALSE;
}
